// The reference: a bare Qt window of Kanavox's client size with one painted bar, which
// shows what was typed or pasted. Same Qt, same build, same modes.
#include "BenchMode.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

constexpr int kWidth = 664;
constexpr int kHeight = 443;
constexpr int kBarHeight = 41;

class Bar : public QWidget {
public:
    using QWidget::QWidget;
    QString text;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x86, 0xC2, 0xD9));
        p.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::number(text.size()) + QLatin1Char(' ') + text.left(64));
    }
};

class Window : public QWidget {
public:
    Window()
    {
        setFixedSize(kWidth, kHeight);
        setWindowTitle(QStringLiteral("Reference"));
        setFocusPolicy(Qt::StrongFocus);
        bar = new Bar(this);
        bar->setGeometry(0, kHeight - kBarHeight, kWidth, kBarHeight);
    }
    Bar *bar;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_V && (e->modifiers() & Qt::ControlModifier))
            bar->text = QGuiApplication::clipboard()->text();
        else
            bar->text += e->text();
        bar->update();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    auto *window = new Window;
    window->show();
    Bench::Target target;
    target.window = window;
    target.input = window;
    target.result = window->bar;
    return Bench::RunMode(argc, argv, target);
}
