#include "Startup.h"

#include "Application.h"
#include "BackingStore.h"
#include "Fonts.h"
#include "Icon.h"
#include "Main.h"

#include <QAccessible>

#include <thread>
#include <utility>

TStartup::TStartup()
    : m_decodeIcon(KanavoxIconImages), m_iconImages(m_decodeIcon.get_future()),
      // The icon is decoded on the font thread too, while the window is built.
      // Without a thread of its own the work runs here, before there is an application
      // object to wait for, and with no other thread to race.
      m_fonts([this, built = m_applicationBuilt.get_future().share(), caller = std::this_thread::get_id()] {
          if (std::this_thread::get_id() != caller)
              built.wait();
          m_decodeIcon();
      })
{
}

TStartup::~TStartup()
{
    ApplicationBuilt();
}

void TStartup::ApplicationBuilt()
{
    if (std::exchange(m_applicationBuiltSet, true))
        return;
    m_applicationBuilt.set_value();
}

TfmKanavox *TStartup::ShowMainWindow(TKanavoxApplication &app)
{
    ApplicationBuilt();
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
