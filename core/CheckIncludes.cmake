# Fails when a core file includes anything but a core header, a header of the platform's
# QtCore half, a QtCore header or a standard one.
#   cmake -DFILES=<files> -DALLOWED=<platform headers> -DQTCORE_DIR=<QtCore include dir>
#         -P CheckIncludes.cmake
# (FILES and ALLOWED joined by '|').
cmake_minimum_required(VERSION 3.21)
string(REPLACE "|" ";" FILES "${FILES}")
string(REPLACE "|" ";" ALLOWED "${ALLOWED}")
if(NOT IS_DIRECTORY "${QTCORE_DIR}")
    message(FATAL_ERROR "QtCore's include folder not found: '${QTCORE_DIR}'")
endif()
set(faults "")
foreach(file IN LISTS FILES)
    get_filename_component(dir "${file}" DIRECTORY)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "include[ \t]*\"([^\"]+)\"")
            # A header of the core's own folder, or one of the platform's QtCore half.
            set(header "${CMAKE_MATCH_1}")
            get_filename_component(name "${header}" NAME)
            if(NOT (header STREQUAL name AND (EXISTS "${dir}/${header}" OR name IN_LIST ALLOWED)))
                list(APPEND faults "${file}: ${header}")
            endif()
        elseif(line MATCHES "include[ \t]*<((Qt[A-Za-z]*)/[^>]*)>")
            if(NOT CMAKE_MATCH_2 STREQUAL "QtCore")
                list(APPEND faults "${file}: <${CMAKE_MATCH_1}>")
            endif()
        elseif(line MATCHES "include[ \t]*<(Q[A-Za-z0-9_]*|q[a-z0-9_]*\\.h)>")
            # Qt's class headers (<QString>) and its lower-case ones (<qglobal.h>).
            if(NOT EXISTS "${QTCORE_DIR}/${CMAKE_MATCH_1}")
                list(APPEND faults "${file}: <${CMAKE_MATCH_1}> is not QtCore's")
            endif()
        endif()
    endforeach()
endforeach()
if(faults)
    list(JOIN faults "\n  " report)
    message(FATAL_ERROR "The core includes more than QtCore:\n  ${report}")
endif()
