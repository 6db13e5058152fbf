#pragma once
// Where the main window may be put back, and whether the platform can say where it is.
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// True when a window of `size` whose outer top-left corner stands at `topLeft` keeps a
// usable part on one of the `available` screen areas: a piece of its title bar wide
// enough to grab, or the whole of `exitButton` (given relative to the window).
bool PlacementUsable(const QPoint &topLeft, const QSize &size, const QRect &exitButton,
                     const QList<QRect> &available);

// False on platforms where a client cannot learn its window's position (native Wayland):
// what Qt reports there is an offset of its own, not a place on the screen.
bool PlatformReportsWindowPosition();

// The frame's extents in X pixels. `reported` is _NET_FRAME_EXTENTS, when the window
// manager sets it; `enclosing` the frame window measured around the client, when there is
// one. They usually agree, or the frame window is the larger by resize borders the
// extents leave out (mutter). But kwin with Xwayland scaling reports the extents in its
// own units, a fraction of the X pixels its frame takes on every side (top 37 for a title
// bar of 74): then the frame window counts, as it does where no extents are reported.
QMargins FrameExtentsInXPixels(const std::optional<QMargins> &reported, const std::optional<QMargins> &enclosing);

// The window's outer top-left corner in the program's pixels, from the client area's
// corner and the frame extents, both in X pixels, at `scale` X pixels to one of ours on a
// screen whose corner is `screenOrigin`. Converted once, with Qt's rounding, so that Qt
// puts a window moved there back at the same X pixel.
QPoint FrameTopLeft(const QPoint &clientInXPixels, const QMargins &extentsInXPixels, qreal scale,
                    const QPoint &screenOrigin);
