#include "X11Frame.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef KANAVOX_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {
struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

std::optional<QMargins> ReportedExtents(xcb_connection_t *c, xcb_window_t window)
{
    static constexpr char kName[] = "_NET_FRAME_EXTENTS";
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    const Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) != 16)
        return {};
    // left, right, top, bottom
    const auto *v = static_cast<const quint32 *>(xcb_get_property_value(property.get()));
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
}
} // namespace

std::optional<TX11Frame> ReadX11Frame(const QWindow *window)
{
    if (!window || !window->handle() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return {};
    xcb_connection_t *c = x11->connection();
    const auto client = xcb_window_t(window->winId());
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, client), nullptr));
    if (!geometry)
        return {};
    const xcb_window_t root = geometry->root;
    const Reply<xcb_translate_coordinates_reply_t> corner(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, client, root, 0, 0), nullptr));
    if (!corner)
        return {};
    TX11Frame frame;
    frame.clientTopLeft = QPoint(corner->dst_x, corner->dst_y);
    frame.clientSize = QSize(geometry->width, geometry->height);
    frame.reported = ReportedExtents(c, client);

    xcb_window_t top = client;
    // Window managers nest a client two or three deep; the bound only guards a broken tree.
    for (int depth = 0; depth < 16; ++depth) {
        const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, top), nullptr));
        if (!tree || tree->parent == root || tree->parent == XCB_WINDOW_NONE)
            break;
        top = tree->parent;
    }
    if (top == client)
        return frame;
    const Reply<xcb_get_geometry_reply_t> outer(xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr));
    if (!outer)
        return frame;
    // The frame's own X border (openbox draws its border so) is part of the frame.
    const int border = outer->border_width;
    const QPoint topLeft(outer->x, outer->y);
    const QPoint bottomRight = topLeft + QPoint(outer->width + 2 * border, outer->height + 2 * border);
    const QPoint clientBottomRight = frame.clientTopLeft + QPoint(frame.clientSize.width(), frame.clientSize.height());
    frame.enclosing = QMargins(frame.clientTopLeft.x() - topLeft.x(), frame.clientTopLeft.y() - topLeft.y(),
                               bottomRight.x() - clientBottomRight.x(), bottomRight.y() - clientBottomRight.y());
    return frame;
}

#else

std::optional<TX11Frame> ReadX11Frame(const QWindow *)
{
    return {};
}

#endif
