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

QMargins FrameExtentsInXPixels(const std::optional<QMargins> &reportedExtents, const std::optional<QMargins> &enclosing)
{
    if (!reportedExtents)
        return enclosing.value_or(QMargins());
    const QMargins reported = *reportedExtents;
    if (!enclosing || *enclosing == reported)
        return reported;
    const int sides[4][2] = {{reported.left(), enclosing->left()},
                             {reported.top(), enclosing->top()},
                             {reported.right(), enclosing->right()},
                             {reported.bottom(), enclosing->bottom()}};
    // The widest reported side gives the window manager's scale; every side must bear it
    // out, to a pixel of rounding.
    int widest = 0;
    for (int i = 1; i < 4; ++i)
        if (sides[i][0] > sides[widest][0])
            widest = i;
    if (sides[widest][0] <= 0)
        return reported;
    const qreal scale = qreal(sides[widest][1]) / sides[widest][0];
    if (scale < 1.1)
        return reported;
    for (const auto &side : sides)
        if (qAbs(side[0] * scale - side[1]) > 1.0)
            return reported;
    return *enclosing;
}

QPoint FrameTopLeft(const QPoint &clientInXPixels, const QMargins &extentsInXPixels, qreal scale,
                    const QPoint &screenOrigin)
{
    const QPoint frame = clientInXPixels - QPoint(extentsInXPixels.left(), extentsInXPixels.top());
    // QPoint / qreal rounds each coordinate to the nearest, as Qt does between the two.
    return (frame - screenOrigin) / scale + screenOrigin;
}
