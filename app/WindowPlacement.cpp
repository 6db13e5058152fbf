#include "WindowPlacement.h"

#include <QGuiApplication>

namespace {
// The frame is not known before the window is shown; a title bar is about this tall.
constexpr int kTitleBarHeight = 24;
// Enough of the title bar to take hold of it with the mouse: more than a frame's own
// buttons take at one end.
constexpr int kMinGripWidth = 120;
constexpr int kMinGripHeight = 8;
} // namespace

bool PlacementUsable(const QPoint &topLeft, const QSize &size, const QRect &exitButton,
                     const QList<QRect> &available)
{
    const QRect titleBar(topLeft, QSize(size.width(), kTitleBarHeight));
    const QRect button = exitButton.translated(topLeft);
    for (const QRect &area : available) {
        const QRect grip = area.intersected(titleBar);
        if (grip.width() >= kMinGripWidth && grip.height() >= kMinGripHeight)
            return true;
        if (!button.isEmpty() && area.contains(button))
            return true;
    }
    return false;
}

bool PlatformReportsWindowPosition()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
