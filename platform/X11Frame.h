#pragma once
// Where an X11 window manager has put a top-level window and its frame, read from the X
// server in its own pixels, before Qt rounds any of it to the program's pixels.
#include <QMargins>
#include <QPoint>
#include <QSize>

#include <optional>

class QWindow;

struct TX11Frame {
    QPoint clientTopLeft;             // the client area's corner on the root window
    QSize clientSize;
    std::optional<QMargins> reported; // _NET_FRAME_EXTENTS, as the window manager set it
    // The frame window the window manager put the client into (the client's ancestor
    // just below the root), measured around the client; none when not reparented.
    std::optional<QMargins> enclosing;
};

// Nothing when the program does not run on X11 or the window has no native window yet.
std::optional<TX11Frame> ReadX11Frame(const QWindow *window);
