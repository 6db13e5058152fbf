#pragma once
// Where the main window may be put back, and whether the platform can say where it is.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// True when a window of `size` whose outer top-left corner stands at `topLeft` keeps a
// usable part on one of the `available` screen areas: a piece of its title bar wide
// enough to grab, or the whole of `exitButton` (given relative to the window).
bool PlacementUsable(const QPoint &topLeft, const QSize &size, const QRect &exitButton,
                     const QList<QRect> &available);

// False on platforms where a client cannot learn its window's position (native Wayland):
// what Qt reports there is an offset of its own, not a place on the screen.
bool PlatformReportsWindowPosition();
