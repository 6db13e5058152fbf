#include "Application.h"
#include "Main.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Without a display Qt would abort with a long message; say it in one line instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.\n", stderr);
        return EXIT_FAILURE;
    }
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
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
