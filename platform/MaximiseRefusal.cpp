#include "MaximiseRefusal.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {
// Full screen too: X11 window managers give it on request (xfwm4 and openbox offer it in
// their window menu, kwin takes a pager's), xfwm4 and kwin at the screen's size whatever
// the size hints say, which leaves the layout in the corner of an empty screen and the
// position stored as 0,0.
constexpr Qt::WindowStates kStretching = Qt::WindowMaximized | Qt::WindowFullScreen;
} // namespace

TMaximiseRefusal::TMaximiseRefusal(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

void TMaximiseRefusal::Watch(QWindow *native)
{
    if (m_native) {
        m_native->removeEventFilter(this);
        disconnect(m_native, nullptr, this, nullptr);
    }
    m_native = native;
    if (!native)
        return;
    native->installEventFilter(this);
    connect(native, &QWindow::windowStateChanged, this, &TMaximiseRefusal::Asked);
}

// The title bar's click sets the state on the native window before anything comes back
// from the compositor: the only moment at which Qt can still be let to take the size the
// compositor is about to configure.
void TMaximiseRefusal::Asked(Qt::WindowState state)
{
    if (state != Qt::WindowMaximized || !m_fixed.isEmpty() || m_window->minimumSize() != m_window->maximumSize() ||
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    m_fixed = m_window->maximumSize();
    m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool TMaximiseRefusal::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && m_window->windowHandle() != m_native)
            Watch(m_window->windowHandle());
        const bool fixed = !m_fixed.isEmpty() || m_window->minimumSize() == m_window->maximumSize();
        if (event->type() == QEvent::WindowStateChange && (m_window->windowState() & kStretching) && fixed)
            // Asked from within the state's own event, Qt would not send it on.
            QMetaObject::invokeMethod(m_window, [w = m_window] {
                if (w->windowState() & kStretching)
                    w->setWindowState(w->windowState() & ~kStretching);
            }, Qt::QueuedConnection);
    } else if (watched == m_native && event->type() == QEvent::WindowStateChange && event->spontaneous() &&
               !(m_native->windowStates() & Qt::WindowMaximized) && !m_fixed.isEmpty()) {
        // The compositor's answer, the window already back at its size: the fixed size
        // goes with the next buffer.
        m_window->setMaximumSize(m_fixed);
        m_fixed = QSize();
    }
    return false;
}
