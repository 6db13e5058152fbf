#pragma once
// The start-up as the program runs it, shared with its benchmark so that what is measured
// is what ships: the font configuration and the icon load on a thread of their own while
// the application object connects to the display, and the window is built while they do.
#include "FontWarmup.h"

#include <QImage>
#include <QList>
#include <QThread>
#include <future>

class TKanavoxApplication;
class TfmKanavox;

class TStartup {
public:
    // Starts the font thread; make it before the application object.
    TStartup();
    // Lets the font thread go on to the icon if no window was asked for.
    ~TStartup();
    TStartup(const TStartup &) = delete;
    TStartup &operator=(const TStartup &) = delete;

    // Once the application object exists: its title and icon, the accessibility bridge,
    // then the main window, built and shown. Throws what building the window throws, with
    // the fonts loaded, so that the failure can be shown.
    TfmKanavox *ShowMainWindow(TKanavoxApplication &app);

private:
    // First: Qt takes the first thread that asks for its thread data as its main thread.
    // Had the font thread asked first (it reads the icon through Qt), the window would
    // never become active nor take a key; the claim holds whatever that thread comes to do.
    [[maybe_unused]] QThread *m_mainThread = QThread::currentThread();
    // Opens the way to the icon once the application object exists.
    void ApplicationBuilt();

    // Qt's image readers look up their plugins through the library paths, which the
    // application object's constructor resets without a lock: the icon waits for it.
    std::promise<void> m_applicationBuilt;
    bool m_applicationBuiltSet = false;
    std::packaged_task<QList<QImage>()> m_decodeIcon;
    std::future<QList<QImage>> m_iconImages;
    TFontWarmup m_fonts; // last: its thread uses the members above, and ends first
};
