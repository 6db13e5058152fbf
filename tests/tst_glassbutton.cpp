// The glass button over a coloured parent: the plate's pixels, the glow while held,
// the click rules for mouse, Space and Enter, corner-radius clamping and a hover that
// leaves the process idle.
#include "AdvGlassButton.h"
#include "Graphics.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QColor kBar(134, 194, 217);   // the bottom bar's blue
constexpr TColor kExitBack = 0x00C08000; // RGB 0, 128, 192
const QPoint kAt(20, 14);           // the button's place in its parent

// A parent that paints the bar colour and counts the keys that reach it.
class TBar : public QWidget {
public:
    TBar()
    {
        resize(260, 60);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kBar);
        setPalette(pal);
        setAutoFillBackground(true);
    }
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        const int k = e->key();
        if (k != Qt::Key_Shift && k != Qt::Key_Control && k != Qt::Key_Alt && k != Qt::Key_Meta)
            ++keys;
        e->accept();
    }
};

// A parent with a design font of its own, as the window is.
class TFontedParent : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TFont *Font READ Font)
public:
    TFontedParent() : m_font(new TFont(this))
    {
        connect(m_font, &TFont::Changed, this, [this] { m_font->ApplyTo(this); });
    }
    TFont *Font() const { return m_font; }

private:
    TFont *m_font;
};

// Counts the timer events that reach an object.
class TTickCounter : public QObject {
public:
    int ticks = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Timer)
            ++ticks;
        return false;
    }
};

QColor Over(const QColor &base, const QColor &top, qreal alpha)
{
    auto ch = [alpha](int b, int t) { return int(std::lround(b * (1 - alpha) + t * alpha)); };
    return QColor(ch(base.red(), top.red()), ch(base.green(), top.green()), ch(base.blue(), top.blue()));
}

bool Close(const QColor &a, const QColor &b, int tol)
{
    return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol
           && std::abs(a.blue() - b.blue()) <= tol;
}

QString Rgb(const QColor &c) { return QStringLiteral("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue()); }

// The body: the bar seen through BackColor at alpha 127.
QColor Body() { return Over(kBar, QColor(0, 128, 192), 127 / 255.0); }

} // namespace

class TestGlassButton : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaults();
    void plate_data();
    void plate();
    void glowWhileHeld();
    void disabledCaptionGrey();
    void foreColorNeverDrawn();
    void mouseClicks_data();
    void mouseClicks();
    void pressTakesFocus();
    void keys_data();
    void keys();
    void disabledTakesNoInput();
    void cornerRadius_data();
    void cornerRadius();
    void hoverLeavesProcessIdle();
    void captionRightOfCentre();
    void doubleClickClicksTwice();
    void shineNeedsHeight_data();
    void shineNeedsHeight();
    void accelerator_data();
    void accelerator();
    void focusOutline();
    void parentFontName();

private:
    QImage Grab() const { return m_bar->grab().toImage().copy(QRect(kAt, m_button->size())); }

    std::unique_ptr<TBar> m_bar;
    TAdvGlassButton *m_button = nullptr;
};

void TestGlassButton::init()
{
    m_bar = std::make_unique<TBar>();
    m_button = new TAdvGlassButton(m_bar.get());
    m_button->move(kAt);
    m_button->SetCaption(QStringLiteral("終了"));
    m_button->SetBackColor(kExitBack);
    m_button->Font()->SetName(QStringLiteral("ＭＳ ゴシック"));
    m_button->Font()->SetHeight(-16);
    m_button->Font()->SetColor(clBlack);
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
}

void TestGlassButton::cleanup()
{
    m_bar.reset();
    m_button = nullptr;
}

void TestGlassButton::defaults()
{
    TAdvGlassButton b;
    QCOMPARE(b.size(), QSize(100, 32));
    QCOMPARE(b.Font()->Name(), QStringLiteral("Tahoma"));
    QVERIFY(!b.ParentFont());
    QCOMPARE(b.focusPolicy(), Qt::StrongFocus);
    QCOMPARE(b.BackColor(), clBlack);
    QCOMPARE(b.GlowColor(), TColor(16760205));
    QCOMPARE(b.BackgroundColor(), clNone);
    QCOMPARE(b.CornerRadius(), 4);
    QCOMPARE(b.AntiAlias(), TAdvCustomGlassButton::aaClearType);
    QCOMPARE(b.BackGroundSymbol(), TAdvCustomGlassButton::bsNone);
    QCOMPARE(b.ShortCutHintPos(), TAdvCustomGlassButton::shpTop);
    QCOMPARE(b.property("Version").toString(), QStringLiteral("1.3.1.0"));
    b.setProperty("Version", QStringLiteral("9.9.9.9"));
    QCOMPARE(b.property("Version").toString(), QStringLiteral("1.3.1.0"));
    // A transparent control must not paint a background of its own.
    QVERIFY(!b.autoFillBackground());
    QVERIFY(!b.testAttribute(Qt::WA_OpaquePaintEvent));
    // The glow ellipse of the 100 × 32 button.
    const QRectF e = GlowEllipse(100, 32);
    QVERIFY(qAbs(e.x() + 32.6) < 1e-4 && qAbs(e.y() + 3.2) < 1e-4);
    QVERIFY(qAbs(e.width() - 163.2) < 1e-4 && qAbs(e.height() - 64.4) < 1e-4);
    QVERIFY(qAbs(e.center().x() - 49) < 1e-4 && qAbs(e.center().y() - 29) < 1e-4);
}

void TestGlassButton::plate_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");

    const QColor white(255, 255, 255), black(0, 0, 0);
    QTest::newRow("outer outline top") << QPoint(50, 0) << white;
    QTest::newRow("outer outline left") << QPoint(0, 20) << white;
    QTest::newRow("outer outline right") << QPoint(99, 20) << white;
    QTest::newRow("outer outline bottom") << QPoint(50, 31) << white;
    QTest::newRow("inner outline top") << QPoint(50, 1) << black;
    QTest::newRow("inner outline left") << QPoint(1, 20) << black;
    QTest::newRow("inner outline right") << QPoint(98, 20) << black;
    QTest::newRow("inner outline bottom") << QPoint(50, 30) << black;
    QTest::newRow("rounded corner shows the bar") << QPoint(0, 0) << kBar;
    QTest::newRow("body below the shine") << QPoint(10, 24) << Body();
    QTest::newRow("body under the bottom-right") << QPoint(90, 27) << Body();
    // The shine: alpha 153 at y = 1 down to 51 at y = 16, white over the body.
    QTest::newRow("shine y 2") << QPoint(10, 2) << Over(Body(), white, (153 - 102 * 1 / 15.0) / 255);
    QTest::newRow("shine y 8") << QPoint(10, 8) << Over(Body(), white, (153 - 102 * 7 / 15.0) / 255);
    QTest::newRow("shine y 15") << QPoint(10, 15) << Over(Body(), white, (153 - 102 * 14 / 15.0) / 255);
    QTest::newRow("no shine at y 17") << QPoint(10, 17) << Body();
    QTest::newRow("no glow while up") << QPoint(49, 28) << Body();
}

void TestGlassButton::plate()
{
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    const QColor got = Grab().pixelColor(at);
    QVERIFY2(Close(got, expected, 4), qPrintable(Rgb(got) + QStringLiteral(" vs ") + Rgb(expected)));
}

void TestGlassButton::glowWhileHeld()
{
    const QColor glow(141, 189, 255);
    QTest::mousePress(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 16));
    QImage held = Grab();
    // Centre colour at alpha 173 at the middle of the inner bottom edge.
    QColor c = held.pixelColor(49, 29);
    QVERIFY2(Close(c, Over(Body(), glow, 173 / 255.0), 5), qPrintable(Rgb(c)));
    // Centred on x = 49: equal either side, fading outwards.
    QVERIFY(Close(held.pixelColor(19, 29), held.pixelColor(79, 29), 2));
    QVERIFY(held.pixelColor(19, 29).red() < c.red() - 10);
    // Halfway to the rim along the bottom edge (the ellipse's half-width is 81.6).
    const QColor half = held.pixelColor(49 - 41, 29);
    QVERIFY2(Close(half, Over(Body(), glow, 173 * (1 - 41 / 81.6) / 255.0), 5), qPrintable(Rgb(half)));

    // Dragged off the button, the glow stays until the release.
    QTest::mouseMove(m_button, QPoint(200, 16));
    QVERIFY(Close(Grab().pixelColor(49, 29), c, 2));
    QCOMPARE(m_button->State(), TAdvCustomGlassButton::absUp);
    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(200, 16));
    QVERIFY(Close(Grab().pixelColor(49, 29), Body(), 4));
}

void TestGlassButton::disabledCaptionGrey()
{
    // The caption "終了" lies around the centre; look for its darkest pixel.
    auto darkest = [this] {
        const QImage img = Grab();
        QColor best(255, 255, 255);
        for (int y = 6; y < 26; ++y)
            for (int x = 30; x < 72; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() + c.green() + c.blue() < best.red() + best.green() + best.blue())
                    best = c;
            }
        return best;
    };
    const QColor enabledInk = darkest();
    QVERIFY2(Close(enabledInk, QColor(0, 0, 0), 30), qPrintable(Rgb(enabledInk)));
    const QColor bodyBefore = Grab().pixelColor(10, 24);
    m_button->setEnabled(false);
    const QColor disabledInk = darkest();
    QVERIFY2(Close(disabledInk, QColor(128, 128, 128), 12), qPrintable(Rgb(disabledInk)));
    QCOMPARE(Grab().pixelColor(10, 24), bodyBefore); // the plate is unchanged
}

void TestGlassButton::foreColorNeverDrawn()
{
    const QImage before = Grab();
    m_button->SetForeColor(clRed);
    QCOMPARE(m_button->ForeColor(), clRed);
    QCOMPARE(Grab(), before);
}

void TestGlassButton::mouseClicks_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QList<QPoint>>("moves");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<int>("clicks");

    QTest::newRow("release inside") << QPoint(50, 16) << QList<QPoint>{} << QPoint(50, 16) << 1;
    QTest::newRow("release at the last column") << QPoint(50, 16) << QList<QPoint>{QPoint(99, 16)} << QPoint(99, 16) << 1;
    QTest::newRow("release at x = W") << QPoint(50, 16) << QList<QPoint>{QPoint(100, 16)} << QPoint(100, 16) << 0;
    QTest::newRow("release at y = H") << QPoint(50, 16) << QList<QPoint>{QPoint(50, 32)} << QPoint(50, 32) << 0;
    QTest::newRow("release outside") << QPoint(50, 16) << QList<QPoint>{QPoint(180, 40)} << QPoint(180, 40) << 0;
    QTest::newRow("drag off and back")
        << QPoint(50, 16) << QList<QPoint>{QPoint(180, 16), QPoint(60, 20)} << QPoint(60, 20) << 1;
    QTest::newRow("press at the top-left pixel") << QPoint(0, 0) << QList<QPoint>{} << QPoint(0, 0) << 1;
}

void TestGlassButton::mouseClicks()
{
    QFETCH(QPoint, press);
    QFETCH(QList<QPoint>, moves);
    QFETCH(QPoint, release);
    QFETCH(int, clicks);

    QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
    int stateAtClick = -1;
    connect(m_button, &TAdvCustomGlassButton::OnClick, this, [&] { stateAtClick = m_button->State(); });
    QTest::mousePress(m_button, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(m_button->State(), TAdvCustomGlassButton::absDown);
    for (const QPoint &p : moves)
        QTest::mouseMove(m_button, p);
    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, release);
    QCOMPARE(spy.count(), clicks);
    if (clicks) {
        QCOMPARE(spy.at(0).at(0).value<QObject *>(), static_cast<QObject *>(m_button));
        QCOMPARE(stateAtClick, int(TAdvCustomGlassButton::absUp)); // reset before the click fires
    }
    QCOMPARE(m_button->State(), TAdvCustomGlassButton::absUp);
}

void TestGlassButton::pressTakesFocus()
{
    auto *edit = new QLineEdit(m_bar.get());
    edit->move(150, 20);
    edit->show();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::mouseClick(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 16));
    QTRY_VERIFY(m_button->hasFocus());
}

void TestGlassButton::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("reachParent");

    QTest::newRow("Space") << int(Qt::Key_Space) << QStringLiteral(" ") << int(Qt::NoModifier) << 0 << 1 << 0;
    QTest::newRow("Space held auto-repeats") << int(Qt::Key_Space) << QStringLiteral(" ") << int(Qt::NoModifier) << 3 << 4 << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("\r") << int(Qt::NoModifier) << 0 << 1 << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << QStringLiteral("\r") << int(Qt::KeypadModifier) << 0 << 1 << 0;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << QStringLiteral("\r") << int(Qt::ControlModifier) << 0 << 0 << 1;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << QStringLiteral("\r") << int(Qt::ShiftModifier) << 0 << 0 << 1;
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << QStringLiteral("\r") << int(Qt::AltModifier) << 0 << 0 << 1;
    QTest::newRow("a letter") << int(Qt::Key_A) << QStringLiteral("a") << int(Qt::NoModifier) << 0 << 0 << 1;
}

void TestGlassButton::keys()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(int, repeats);
    QFETCH(int, clicks);
    QFETCH(int, reachParent);

    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());
    QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QTest::keyPress(m_button, Qt::Key(key), mods);
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, key, mods, text, true);
        QApplication::sendEvent(m_button, &repeat);
        QCOMPARE(m_button->State(), TAdvCustomGlassButton::absUp); // no pressed look
    }
    QTest::keyRelease(m_button, Qt::Key(key), mods);
    QCOMPARE(spy.count(), clicks);
    QCOMPARE(m_bar->keys, reachParent);
}

void TestGlassButton::disabledTakesNoInput()
{
    QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());
    m_button->setEnabled(false);
    QTest::mouseClick(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 16));
    QTest::keyClick(m_button, Qt::Key_Space);
    QTest::keyClick(m_button, Qt::Key_Return);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m_button->State(), TAdvCustomGlassButton::absDisabled); // set where enabled changed
    Grab(); // a paint only reads it
    QCOMPARE(m_button->State(), TAdvCustomGlassButton::absDisabled);
}

void TestGlassButton::cornerRadius_data()
{
    QTest::addColumn<int>("loadedRadius"); // value read from the layout
    QTest::addColumn<QSize>("loadedSize");
    QTest::addColumn<int>("afterLoad");
    QTest::addColumn<QSize>("resizeTo");
    QTest::addColumn<int>("setAfter");     // -1: none
    QTest::addColumn<int>("final");

    QTest::newRow("main window buttons keep 4") << 4 << QSize(100, 32) << 4 << QSize(214, 32) << -1 << 4;
    QTest::newRow("too large is halved height") << 40 << QSize(100, 32) << 16 << QSize(100, 32) << -1 << 16;
    QTest::newRow("width is the smaller side") << 40 << QSize(21, 60) << 10 << QSize(21, 60) << -1 << 10;
    QTest::newRow("resize clamps") << 16 << QSize(100, 32) << 16 << QSize(100, 10) << -1 << 5;
    QTest::newRow("resize larger keeps the clamped value") << 16 << QSize(100, 10) << 5 << QSize(100, 60) << -1 << 5;
    QTest::newRow("setter clamps after load") << 4 << QSize(100, 32) << 4 << QSize(100, 32) << 30 << 16;
    QTest::newRow("negative is ignored") << 4 << QSize(100, 32) << 4 << QSize(100, 32) << -5 << 4;
}

void TestGlassButton::cornerRadius()
{
    QFETCH(int, loadedRadius);
    QFETCH(QSize, loadedSize);
    QFETCH(int, afterLoad);
    QFETCH(QSize, resizeTo);
    QFETCH(int, setAfter);
    QFETCH(int, final);

    TAdvGlassButton b;
    b.BeginLoad();
    b.setProperty("CornerRadius", loadedRadius);
    b.resize(loadedSize);
    // Values while the layout loads are taken as they are.
    QCOMPARE(b.CornerRadius(), loadedRadius);
    b.Loaded();
    QCOMPARE(b.CornerRadius(), afterLoad);
    b.SetBounds(0, 0, resizeTo.width(), resizeTo.height());
    if (setAfter != -1)
        b.SetCornerRadius(setAfter);
    QCOMPARE(b.CornerRadius(), final);
}

void TestGlassButton::hoverLeavesProcessIdle()
{
    QSignalSpy enter(m_button, &TAdvCustomGlassButton::OnMouseEnter);
    QSignalSpy leave(m_button, &TAdvCustomGlassButton::OnMouseLeave);
    auto *timer = m_button->findChild<QTimer *>();
    QVERIFY(timer);
    TTickCounter counter;
    timer->installEventFilter(&counter);
    const QImage before = Grab();

    QTest::mouseMove(m_bar.get(), kAt + QPoint(50, 16));
    QTRY_COMPARE(enter.count(), 1);
    // The poll stops by itself while the pointer rests on the button...
    QTRY_VERIFY(!timer->isActive());
    const int ticks = counter.ticks;
    QTest::qWait(300);
    QCOMPARE(counter.ticks, ticks); // ...and nothing ticks afterwards
    QVERIFY(ticks <= 2);
    QCOMPARE(Grab(), before);       // hover changes nothing on screen

    QTest::mouseMove(m_bar.get(), QPoint(200, 50));
    QTRY_COMPARE(leave.count(), 1);
    QVERIFY(!timer->isActive());
}

QTEST_MAIN(TestGlassButton)
#include "tst_glassbutton.moc"

// The caption is centred in (2, 0, W - 2, H): one pixel right of the button's centre.
// The darkness-weighted centre of a symmetric caption's ink gives it to a fraction.
void TestGlassButton::captionRightOfCentre()
{
    m_button->SetCaption(QStringLiteral("■"));
    const QImage img = Grab();
    double sum = 0, weighted = 0;
    for (int y = 4; y < 28; ++y) {
        const int ground = img.pixelColor(5, y).lightness();
        for (int x = 20; x < 80; ++x) {
            const int d = qMax(0, ground - img.pixelColor(x, y).lightness());
            sum += d;
            weighted += d * x;
        }
    }
    QVERIFY(sum > 0);
    const double centre = weighted / sum;
    // Pixel x covers [x, x + 1): the centre line x = 51 is index 50.5 (49.5 when centred).
    QVERIFY2(qAbs(centre - 50.5) <= 0.3, qPrintable(QString::number(centre)));
}

// The second press of a double click is an ordinary press: two clicks.
void TestGlassButton::doubleClickClicksTwice()
{
    QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
    const QPoint at(50, 16);
    QTest::mouseClick(m_button, Qt::LeftButton, Qt::NoModifier, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, m_button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &dbl);
    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(spy.count(), 2);
}

// (H - 3) / 2 must be positive for a shine: none at heights 3 and 4, one from 5 on. A
// shine colour change shows exactly when there is a shine.
void TestGlassButton::shineNeedsHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("shine");
    QTest::newRow("3") << 3 << false;
    QTest::newRow("4") << 4 << false;
    QTest::newRow("5") << 5 << true;
}

void TestGlassButton::shineNeedsHeight()
{
    QFETCH(int, height);
    QFETCH(bool, shine);
    m_button->resize(100, height);
    const QImage white = Grab();
    m_button->SetShineColor(clRed);
    const QImage red = Grab();
    QCOMPARE(white != red, shine);
    // The outlines and the body are there at any height.
    QVERIFY(Close(white.pixelColor(50, 0), QColor(255, 255, 255), 40));
}

// An ampersand in the caption makes the next character an accelerator of the window:
// Alt with it clicks once; "&&" is a plain ampersand.
void TestGlassButton::accelerator_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("clicks");
    QTest::newRow("&Copy") << QStringLiteral("&Copy") << 1;
    QTest::newRow("C&&D") << QStringLiteral("C&&D") << 0;
    QTest::newRow("no ampersand") << QStringLiteral("Copy") << 0;
}

void TestGlassButton::accelerator()
{
    QFETCH(QString, caption);
    QFETCH(int, clicks);
    m_button->SetCaption(caption);
    m_bar->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_bar.get()));
    QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
    QTest::keyClick(m_bar.get(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(spy.count(), clicks);
}

// With ShowFocusRect and the focus, a grey rounded outline over (4, 4)-(96, 28).
void TestGlassButton::focusOutline()
{
    auto *edit = new QLineEdit(m_bar.get());
    edit->move(150, 20);
    edit->show();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    const QImage plain = Grab();
    m_button->SetShowFocusRect(true);
    QCOMPARE(Grab(), plain); // no focus, no outline
    m_button->setFocus();
    QTRY_VERIFY(m_button->hasFocus());
    const QImage focused = Grab();
    for (const QPoint &p : {QPoint(50, 4), QPoint(4, 16), QPoint(96, 16), QPoint(50, 28)}) {
        const QColor c = focused.pixelColor(p);
        QVERIFY2(Close(c, QColor(128, 128, 128), 24) && !Close(c, plain.pixelColor(p), 10),
                 qPrintable(Rgb(c) + QStringLiteral(" at %1,%2").arg(p.x()).arg(p.y())));
    }
    QCOMPARE(focused.pixelColor(50, 8), plain.pixelColor(50, 8));
}

// With ParentFont the button reports its parent's design font, name included.
void TestGlassButton::parentFontName()
{
    TFontedParent parent;
    parent.Font()->SetName(QStringLiteral("ＭＳ ゴシック"));
    parent.Font()->SetHeight(-16);
    auto *button = new TAdvGlassButton(&parent);
    button->SetParentFont(true);
    QCOMPARE(button->Font()->Name(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(button->Font()->Height(), -16);
    parent.Font()->SetName(QStringLiteral("Arial"));
    QCOMPARE(button->Font()->Name(), QStringLiteral("Arial"));
}
