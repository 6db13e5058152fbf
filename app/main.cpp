#include "Allocator.h"
#include "Application.h"
#include "Main.h"
#include "PlatformChoice.h"
#include "ProcessPrivacy.h"
#include "Startup.h"
#include "Version.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    // Before anything could hold a password: no core file, no reading of our memory.
    KeepMemoryPrivate();
    RetainFreedMemory();
    // The one switch, for packagers and bug reports; any other argument is ignored as before.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts(KANAVOX_VERSION_TEXT);
        return EXIT_SUCCESS;
    }
    // Without a usable platform plugin Qt would abort with a long message; say it in one
    // line instead.
    const TPlatformChoice platform = ChoosePlatform();
    if (!platform.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", platform.error.toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    qputenv("QT_QPA_PLATFORM", platform.platform);
    TStartup startup;
    TKanavoxApplication app(argc, argv);
    TfmKanavox *form = nullptr;
    try {
        form = startup.ShowMainWindow(app);
    } catch (const std::exception &e) {
        ShowFailure(e);
        return EXIT_FAILURE;
    }
    const int rc = app.exec();
    delete form;
    // Qt's Wayland client (6.4) can hang for good tearing down its connection at exit, its
    // event thread waiting in wl_display_read_events for a read that never comes (about one
    // close in ten on a loaded machine). The settings are written by now: end here.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(rc);
    }
    return rc;
}
