#pragma once
// Which Qt platform plugin the program starts on, decided before the application object
// exists: Qt ends the process with an abort when none of the plugins it tries is there.
#include <QByteArray>
#include <QString>

struct TPlatformChoice {
    QByteArray platform; // for QT_QPA_PLATFORM; plugins in the order to try them
    QString error;       // one line for the terminal when nothing can start
};

// QT_QPA_PLATFORM as the user set it; otherwise X11 when there is a DISPLAY (window
// positions can be restored there), then Wayland when there is a WAYLAND_DISPLAY.
// Only installed plugins are named, and only displays that answer: Qt aborts on one
// it cannot connect to, as it does without plugins.
TPlatformChoice ChoosePlatform();

// False only when nothing can answer on the X display `display` (a DISPLAY value): no
// server listens on its local socket (abstract or in /tmp/.X11-unix) nor, where the X
// library would fall back to it, on its TCP port. Forms these checks cannot judge (a
// socket path, a protocol prefix) count as answering, and so does a server that would
// then refuse us: Qt says why itself.
bool XDisplayAnswers(const QByteArray &display);

// False only when nothing listens on the Wayland socket `name` (a WAYLAND_DISPLAY value,
// a path or a name in XDG_RUNTIME_DIR). A socket handed over in WAYLAND_SOCKET answers.
bool WaylandDisplayAnswers(const QByteArray &name);

// True when a platform plugin answering to `name` is installed where Qt looks for one.
bool PlatformPluginInstalled(const QByteArray &name);
