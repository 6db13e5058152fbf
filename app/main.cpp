#include "Application.h"
#include "FontWarmup.h"
#include "Icon.h"
#include "Main.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    // The one switch, for packagers and bug reports; any other argument is ignored as before.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Kanavox Ver.0.07");
        return EXIT_SUCCESS;
    }
    // Without a display Qt would abort with a long message; say it in one line instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.\n", stderr);
        return EXIT_FAILURE;
    }
    TFontWarmup fonts;
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    app.setWindowIcon(KanavoxIcon());
    fonts.Wait();
    TfmKanavox *form = nullptr;
    try {
        form = new TfmKanavox;
    } catch (const std::exception &e) {
        ShowFailure(e);
        return EXIT_FAILURE;
    }
    form->show();
    const int rc = app.exec();
    delete form;
    return rc;
}
