#pragma once
// The program's settings file "Kanavox.ini": beside the executable when the user may
// write it there (the portable program keeps its settings with it), otherwise in the
// user's configuration folder.
#include "ReadingComposer.h"

#include <QString>

struct TKanavoxSettings {
    int MainTop = 0;
    int MainLeft = 0;
    // Stored under the keys of kOptionRows (OptionTable.h); absent keys keep these defaults.
    ReadingOptions Options;
    // False where the platform cannot tell where the window is: the save then leaves
    // the stored position as it stands instead of writing an invented one.
    bool HasPosition = true;
};

// AddPath(directory of the running executable, "Kanavox.ini"), computed afresh each call.
QString SettingsFilePath();
// $XDG_CONFIG_HOME/Kanavox/Kanavox.ini (~/.config/Kanavox/Kanavox.ini).
QString UserSettingsFilePath();
// The file the close writes: the one beside the executable when that file or its folder
// is writable, otherwise the user's.
QString SettingsWritePath();
// The file start-up reads: the one written, or, while the user's does not exist yet,
// the one beside the executable (a packaged default).
QString SettingsReadPath();
// Tests point the program at a directory of their own instead of the executable's (an
// empty one restores it); returns the override it replaces.
QString SetSettingsDirectoryOverride(QString dir);

// Throws EFOpenError when the file exists but cannot be read.
TKanavoxSettings LoadSettings();
// Throws EFOpenError (existing file unreadable) or EFCreateError (cannot be written);
// after a failure the file on disk is unchanged.
void SaveSettings(const TKanavoxSettings &settings);
