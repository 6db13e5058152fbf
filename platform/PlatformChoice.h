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
// Only installed plugins are named.
TPlatformChoice ChoosePlatform();

// True when a platform plugin answering to `name` is installed where Qt looks for one.
bool PlatformPluginInstalled(const QByteArray &name);
