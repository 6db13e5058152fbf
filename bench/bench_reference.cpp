// The references: a bare Qt window of Kanavox's client size with one painted bar, which
// shows what was typed or pasted. Built twice from this file: with one line of Japanese
// text in the face Kanavox's window font resolves to (the least any Japanese UI must do:
// load a CJK face and draw with it), and without any text until something is typed.
// Same Qt, same build, same modes.
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
const QColor kBarColour(0x86, 0xC2, 0xD9);

class Bar : public QWidget {
public:
    using QWidget::QWidget;
    QString text;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), kBarColour);
        // Nothing typed yet draws no text, so the textless window loads no face at all.
        if (!text.isEmpty())
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
#ifdef BENCH_JAPANESE_TEXT
        // What "ＭＳ ゴシック" resolves to here, 16 pixels, hinted and unkerned as
        // Kanavox draws it.
        QFont f(QStringLiteral("IPAGothic"));
        f.setPixelSize(16);
        f.setHintingPreference(QFont::PreferFullHinting);
        f.setKerning(false);
        setFont(f);
#endif
        bar = new Bar(this);
        bar->setGeometry(0, kHeight - kBarHeight, kWidth, kBarHeight);
    }
    Bar *bar;

protected:
#ifdef BENCH_JAPANESE_TEXT
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.drawText(QPoint(16, 40), QStringLiteral("文字種を挿入（大文字、小文字、数字、記号）"));
    }
#endif
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
