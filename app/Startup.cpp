#include "Startup.h"

#include "Application.h"
#include "BackingStore.h"
#include "Fonts.h"
#include "Icon.h"
#include "Main.h"

#include <QAccessible>

TStartup::TStartup()
    : m_decodeIcon(KanavoxIconImages), m_iconImages(m_decodeIcon.get_future()),
      // The icon is decoded on the font thread too: it needs no application object.
      m_fonts([this] { m_decodeIcon(); })
{
}

TfmKanavox *TStartup::ShowMainWindow(TKanavoxApplication &app)
{
    app.SetTitle(QStringLiteral("Kanavox"));
    app.setWindowIcon(KanavoxIcon(m_iconImages.get()));
    // The accessibility bridge comes up with the first accessibility query; asked here,
    // while the process is still small. Where no session bus runs, the bridge forks to
    // launch one, and the fork and the copy-on-write faults after it cost in proportion
    // to the memory then in use.
    QAccessible::isActive();
    // The window is built while the font configuration loads; its first font waits.
    SetFontConfigurationPending([this] { m_fonts.Wait(); });
    const auto fontsLoaded = [this] {
        SetFontConfigurationPending({});
        m_fonts.Wait();
    };
    TfmKanavox *form = nullptr;
    try {
        form = new TfmKanavox;
    } catch (...) {
        fontsLoaded();
        throw;
    }
    fontsLoaded();
    form->show();
    PrepareBackingStore(form);
    return form;
}
