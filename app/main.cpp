#include "Allocator.h"
#include "Application.h"
#include "BackingStore.h"
#include "FontWarmup.h"
#include "Fonts.h"
#include "Icon.h"
#include "Main.h"
#include "PlatformChoice.h"
#include "Version.h"

#include <QAccessible>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>

int main(int argc, char **argv)
{
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
    // The icon is decoded on the font thread too: it needs no application object.
    std::packaged_task<QList<QImage>()> decodeIcon(KanavoxIconImages);
    std::future<QList<QImage>> iconImages = decodeIcon.get_future();
    TFontWarmup fonts([&decodeIcon] { decodeIcon(); });
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    app.setWindowIcon(KanavoxIcon(iconImages.get()));
    // The accessibility bridge comes up with the first accessibility query; asked here,
    // while the process is still small. Where no session bus runs, the bridge forks to
    // launch one, and the fork and the copy-on-write faults after it cost in proportion
    // to the memory then in use.
    QAccessible::isActive();
    // The window is built while the font configuration loads; its first font waits.
    SetFontConfigurationPending([&fonts] { fonts.Wait(); });
    const auto fontsLoaded = [&fonts] {
        SetFontConfigurationPending({});
        fonts.Wait();
    };
    TfmKanavox *form = nullptr;
    try {
        form = new TfmKanavox;
    } catch (const std::exception &e) {
        fontsLoaded();
        ShowFailure(e);
        return EXIT_FAILURE;
    }
    fontsLoaded();
    form->show();
    PrepareBackingStore(form);
    const int rc = app.exec();
    delete form;
    return rc;
}
