#include "FontWarmup.h"

#include "Allocator.h"

#include <system_error>

#ifdef KANAVOX_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

TFontWarmup::TFontWarmup(const std::function<void()> &andThen)
{
    try {
        m_thread = std::thread([andThen] {
#ifdef KANAVOX_HAVE_FONTCONFIG
            // Loading the configuration (and the icon after it) writes about 140 fresh
            // pages of this thread's own heap. Mapping 512 kB ahead raised the peak
            // memory at the first frame; 384 kB did not.
            ReserveHeap(384 * 1024);
            // fontconfig keeps the loaded configuration as its current one; Qt's font
            // database finds it there instead of loading its own.
            FcInit();
#endif
            if (andThen)
                andThen();
        });
    } catch (const std::system_error &) {
        // No thread to be had: Qt loads the configuration itself when it needs it.
        if (andThen)
            andThen();
    }
}

TFontWarmup::~TFontWarmup() { Wait(); }

void TFontWarmup::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
