#pragma once
// A window of fixed size has nothing to maximise to, nor to fill a screen with (a state
// handed back the same way), and its frame offers no maximise button; but Qt's own
// Wayland title bar does: its click sets the state on the window, and Qt asks
// the compositor, which configures the window maximised at the screen's size. Such a
// state is handed back at once. On Wayland the maximised configure must be obeyed before
// it can be handed back: Qt keeps a fixed window at its size, and a buffer of another size
// than the one configured maximised is a protocol error that weston ends the program for
// (mutter instead moves the window to the screen's corner). So while a maximise asked for
// by Qt is under way, the largest size is lifted; the window shows maximised for a frame,
// asks to be unmaximised and takes its fixed size back with the compositor's answer.
// A maximised configure that nothing in the program asked for still meets the fixed size:
// Qt gives no word of it before it draws (weston sends none of its own).
#include <QObject>
#include <QSize>

class QWidget;
class QWindow;

class TMaximiseRefusal : public QObject {
public:
    // Watches `window`, a top-level widget; refuses only while its size is fixed.
    explicit TMaximiseRefusal(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Watch(QWindow *native);
    void Asked(Qt::WindowState state);
    QWidget *m_window;
    QWindow *m_native = nullptr;
    QSize m_fixed; // the fixed size while its largest size is lifted; empty otherwise
};
