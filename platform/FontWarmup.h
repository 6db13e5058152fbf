#pragma once
// Loads the system's font configuration on a thread of its own while the application
// object connects to the display. Both take milliseconds at start-up, one of them
// mostly waiting on the display server, so the first frame comes that much sooner.
// Where the font configuration is not fontconfig, the thread only does the work given.
#include <functional>
#include <thread>

class TFontWarmup {
public:
    // `andThen` runs on the same thread once the configuration is loaded: more work that
    // needs no application object. Without a thread it runs here, at once.
    explicit TFontWarmup(const std::function<void()> &andThen = {});
    ~TFontWarmup();
    TFontWarmup(const TFontWarmup &) = delete;
    TFontWarmup &operator=(const TFontWarmup &) = delete;

    // Waits for the load to end; call it before the first font is asked for, so that the
    // configuration is never loaded twice at once.
    void Wait();

private:
    std::thread m_thread;
};
