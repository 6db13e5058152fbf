// The glass button over a coloured parent: its plate as pixels, and its click rules
// through real mouse and key events.
#include "AdvGlassButton.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QColor kParent(134, 194, 217); // the bar's blue

int Diff(QColor a, QColor b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

QColor Blend(QColor under, QColor over, int alpha)
{
    auto mix = [alpha](int u, int o) { return (o * alpha + u * (255 - alpha) + 127) / 255; };
    return QColor(mix(under.red(), over.red()), mix(under.green(), over.green()), mix(under.blue(), over.blue()));
}

} // namespace

class TestGlassButton : public QObject {
    Q_OBJECT

    QWidget *m_parent = nullptr;
    TAdvGlassButton *m_button = nullptr;

    QImage Grab() const
    {
        return m_parent->grab(QRect(m_button->pos(), m_button->size())).toImage();
    }

private slots:
    void init()
    {
        m_parent = new QWidget;
        m_parent->setAutoFillBackground(true);
        QPalette pal = m_parent->palette();
        pal.setColor(QPalette::Window, kParent);
        m_parent->setPalette(pal);
        m_parent->resize(200, 80);
        m_button = new TAdvGlassButton(m_parent);
        m_button->setGeometry(20, 20, 100, 32);
        m_button->SetBackColor(0x00C08000); // RGB 0, 128, 192
        m_button->SetCaption(QString());
        m_parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_parent));
    }
    void cleanup()
    {
        delete m_parent;
        m_parent = nullptr;
    }

    void defaults()
    {
        TAdvGlassButton b;
        QCOMPARE(b.size(), QSize(100, 32));
        QCOMPARE(b.CornerRadius(), 4);
        QCOMPARE(b.BackColor(), TColor(0));
        QCOMPARE(b.GlowColor(), TColor(16760205));
        QCOMPARE(b.property("Version").toString(), QStringLiteral("1.3.1.0"));
        b.setProperty("Version", QStringLiteral("9.9.9.9"));
        QCOMPARE(b.property("Version").toString(), QStringLiteral("1.3.1.0"));
        QVERIFY(b.focusPolicy() & Qt::TabFocus);
    }

    // Outlines, translucent body over the parent's colour, and the shine fading downward.
    void plate()
    {
        const QImage img = Grab();
        QVERIFY2(Diff(img.pixelColor(50, 0), Qt::white) < 40, qPrintable(img.pixelColor(50, 0).name()));
        QVERIFY2(Diff(img.pixelColor(50, 1), Qt::black) < 60, qPrintable(img.pixelColor(50, 1).name()));
        // Below the shine the body is the parent blended with the body colour at 127.
        const QColor body = Blend(kParent, QColor(0, 128, 192), 127);
        QVERIFY2(Diff(img.pixelColor(50, 24), body) <= 3, qPrintable(img.pixelColor(50, 24).name() + " vs " + body.name()));
        // The shine is whiter at its top than at its bottom, and whiter than the body.
        const QColor top = img.pixelColor(50, 3), bottom = img.pixelColor(50, 15);
        QVERIFY(top.lightness() > bottom.lightness());
        QVERIFY(bottom.lightness() > img.pixelColor(50, 24).lightness());
        // Outside the rounded corner the parent shows unchanged.
        QVERIFY(Diff(img.pixelColor(0, 0), kParent) < 60);
    }

    // The glow appears while the button is held, wherever the pointer goes, and goes on release.
    void glowWhilePressed()
    {
        const QColor up = Grab().pixelColor(49, 28);
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 16));
        const QColor down = Grab().pixelColor(49, 28);
        QVERIFY2(Diff(up, down) > 20, qPrintable(up.name() + " " + down.name()));
        QVERIFY(Diff(down, QColor(141, 189, 255)) < Diff(up, QColor(141, 189, 255)));
        QTest::mouseMove(m_button, QPoint(150, 16));
        QVERIFY(Diff(Grab().pixelColor(49, 28), down) < 8);
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(150, 16));
        QVERIFY(Diff(Grab().pixelColor(49, 28), up) < 8);
    }

    void disabledCaptionIsGrey()
    {
        m_button->SetCaption(QStringLiteral("■■■■"));
        m_button->setEnabled(false);
        const QImage img = Grab();
        bool grey = false;
        for (int x = 20; x < 80 && !grey; ++x)
            for (int y = 8; y < 24 && !grey; ++y)
                grey = Diff(img.pixelColor(x, y), QColor(128, 128, 128)) < 12;
        QVERIFY(grey);
        QSignalSpy clicks(m_button, &TAdvCustomGlassButton::OnClick);
        QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(50, 16));
        QCOMPARE(clicks.count(), 0);
    }

    void mouseClicks_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("clicks");
        QTest::newRow("inside") << QPoint(50, 16) << 1;
        QTest::newRow("last column") << QPoint(99, 16) << 1;
        QTest::newRow("x = W") << QPoint(100, 16) << 0;
        QTest::newRow("y = H") << QPoint(50, 32) << 0;
        QTest::newRow("far outside") << QPoint(150, 60) << 0;
    }
    void mouseClicks()
    {
        QFETCH(QPoint, release);
        QFETCH(int, clicks);
        QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 16));
        QTest::mouseMove(m_button, release);
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, release);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_button));
    }

    // Dragged off and back before the release still clicks once.
    void dragOffAndBack()
    {
        QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 16));
        QTest::mouseMove(m_button, QPoint(150, 16));
        QTest::mouseMove(m_button, QPoint(60, 16));
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(60, 16));
        QCOMPARE(spy.count(), 1);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << 0 << 1;
        QTest::newRow("Space held") << int(Qt::Key_Space) << 0 << 3 << 4;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 0 << 1;
        QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0 << 0;
        QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 0 << 0;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, repeats);
        QFETCH(int, clicks);
        m_button->setFocus();
        QTRY_VERIFY(m_button->hasFocus());
        QSignalSpy spy(m_button, &TAdvCustomGlassButton::OnClick);
        const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QStringLiteral("\r");
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QTest::sendKeyEvent(QTest::Press, m_button, Qt::Key(key), text, mods);
        for (int i = 0; i < repeats; ++i) {
            QKeyEvent ev(QEvent::KeyPress, key, mods, text, true);
            QApplication::sendEvent(m_button, &ev);
        }
        QTest::sendKeyEvent(QTest::Release, m_button, Qt::Key(key), text, mods);
        QCOMPARE(spy.count(), clicks);
    }

    void cornerRadiusClamped()
    {
        m_button->SetCornerRadius(40);
        QCOMPARE(m_button->CornerRadius(), 16); // half of the 32-pixel height
        m_button->resize(100, 10);
        QCOMPARE(m_button->CornerRadius(), 5);
        m_button->SetCornerRadius(-3); // ignored
        QCOMPARE(m_button->CornerRadius(), 5);
    }
};

QTEST_MAIN(TestGlassButton)
#include "tst_glassbutton.moc"
