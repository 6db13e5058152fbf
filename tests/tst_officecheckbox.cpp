// The office check box: its glyph pixels over a coloured parent, and its click rules
// through real mouse and key events.
#include "AdvOfficeButtons.h"
#include "Fonts.h"
#include "PaintCount.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor kParent(200, 60, 60); // far from every glyph colour

int Diff(QColor a, QColor b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

} // namespace

class TestOfficeCheckBox : public QObject {
    Q_OBJECT

    QWidget *m_parent = nullptr;
    TAdvOfficeCheckBox *m_box = nullptr;

    QImage Grab() const { return m_parent->grab(QRect(m_box->pos(), m_box->size())).toImage(); }
    int Clicks(QSignalSpy &spy) const { return int(spy.count()); }

private slots:
    void init()
    {
        m_parent = new QWidget;
        m_parent->setAutoFillBackground(true);
        QPalette pal = m_parent->palette();
        pal.setColor(QPalette::Window, kParent);
        pal.setColor(QPalette::WindowText, Qt::black);
        m_parent->setPalette(pal);
        m_parent->setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        m_parent->resize(400, 60);
        m_box = new TAdvOfficeCheckBox(m_parent);
        m_box->setGeometry(10, 10, 355, 20);
        m_box->SetCaption(QStringLiteral("数字はそのまま"));
        m_parent->show();
        m_parent->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_parent));
    }
    void cleanup()
    {
        delete m_parent;
        m_parent = nullptr;
    }

    void defaults()
    {
        TAdvOfficeCheckBox b;
        QCOMPARE(b.size(), QSize(120, 20));
        QVERIFY(!b.GetChecked());
        QCOMPARE(b.GetState(), TCustomAdvOfficeCheckBox::cbUnchecked);
        QVERIFY(!b.TabStop());
        QVERIFY(b.ShowFocus());
        QCOMPARE(b.DisabledFontColor(), TColor(8421504));
        QCOMPARE(b.property("Version").toString(), QStringLiteral("1.7.0.0"));
    }

    // The stored images follow the colour table: key ring, light ring, inner corner, tick.
    void glyphImages_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("look");
        QTest::addColumn<QColor>("key");
        QTest::addColumn<QColor>("ring");
        QTest::addColumn<QColor>("corner");
        QTest::newRow("unchecked normal") << 0 << 0 << QColor(0x8E8F8F) << QColor(0xF4F4F4) << QColor(0xAEB3B9);
        QTest::newRow("unchecked hot") << 0 << 1 << QColor(0x5586A3) << QColor(0xDEF9FA) << QColor(0x79C6F9);
        QTest::newRow("unchecked down") << 0 << 2 << QColor(0x2C628B) << QColor(0xC2E4F6) << QColor(0x5EB6F7);
        QTest::newRow("checked normal") << 1 << 0 << QColor(0x8E8F8F) << QColor(0xF4F4F4) << QColor(0xAEB3B9);
        QTest::newRow("checked hot") << 1 << 1 << QColor(0x5586A3) << QColor(0xDEF9FA) << QColor(0x79C6F9);
        QTest::newRow("checked down") << 1 << 2 << QColor(0x2C628B) << QColor(0xC2E4F6) << QColor(0x54A6D5);
        QTest::newRow("grayed normal") << 2 << 0 << QColor(0x8E8F8F) << QColor(0xF4F4F4) << QColor(0xAEB3B9);
    }
    void glyphImages()
    {
        QFETCH(int, state);
        QFETCH(int, look);
        QFETCH(QColor, key);
        QFETCH(QColor, ring);
        QFETCH(QColor, corner);
        const QImage g = TCustomAdvOfficeCheckBox::GlyphImage(TCustomAdvOfficeCheckBox::TCheckBoxState(state),
                                                              TCustomAdvOfficeCheckBox::TGlyphLook(look));
        QCOMPARE(g.size(), QSize(13, 13));
        for (int i = 0; i < 13; ++i) {
            QCOMPARE(g.pixelColor(i, 0), key);
            QCOMPARE(g.pixelColor(0, i), key);
            QCOMPARE(g.pixelColor(i, 12), key);
            QCOMPARE(g.pixelColor(12, i), key);
        }
        QCOMPARE(g.pixelColor(1, 5), ring);
        QCOMPARE(g.pixelColor(2, 2), corner);
        if (state == 1) // the tick's darkest pixel is far darker than the gradient
            QVERIFY(g.pixelColor(5, 8).lightness() < 140);
        else if (state == 0)
            QVERIFY(g.pixelColor(5, 8).lightness() > 150);
    }

    // The marks where the design has them: the tick from column 3, row 7 down to column 5,
    // row 9 and up to column 9, row 2, its edge reaching the light ring at the top right
    // and the bottom; the grayed square a border on columns and rows 3 and 9 around a 5 x 5
    // fill. Ink pixels are anti-aliased (within 12 levels of the darkest colour).
    void marks_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("look");
        QTest::addColumn<QColor>("dark");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("checked normal") << 1 << 0 << QColor(0x445A92) << QColor();
        QTest::newRow("checked hot") << 1 << 1 << QColor(0x042271) << QColor();
        QTest::newRow("checked down") << 1 << 2 << QColor(0x2C5394) << QColor();
        QTest::newRow("grayed normal") << 2 << 0 << QColor(0x3366CC) << QColor(0x6699FF);
        QTest::newRow("grayed hot") << 2 << 1 << QColor(0x3366FF) << QColor(0x3399FF);
        QTest::newRow("grayed down") << 2 << 2 << QColor(0x0000CC) << QColor(0x3366FF);
    }
    void marks()
    {
        QFETCH(int, state);
        QFETCH(int, look);
        QFETCH(QColor, dark);
        QFETCH(QColor, fill);
        const auto st = TCustomAdvOfficeCheckBox::TCheckBoxState(state);
        const auto lk = TCustomAdvOfficeCheckBox::TGlyphLook(look);
        const QImage g = TCustomAdvOfficeCheckBox::GlyphImage(st, lk);
        const QImage bare = TCustomAdvOfficeCheckBox::GlyphImage(TCustomAdvOfficeCheckBox::cbUnchecked, lk);
        if (state == 1) {
            for (const QPoint &ink : {QPoint(3, 7), QPoint(4, 8), QPoint(5, 9), QPoint(6, 7), QPoint(7, 5), QPoint(8, 4), QPoint(9, 2)})
                QVERIFY2(Diff(g.pixelColor(ink), dark) <= 12, qPrintable(QStringLiteral("(%1,%2)").arg(ink.x()).arg(ink.y())));
            for (const QPoint &clear : {QPoint(3, 3), QPoint(3, 4), QPoint(9, 9), QPoint(8, 8), QPoint(10, 7)})
                QVERIFY2(g.pixelColor(clear).lightness() > 150,
                         qPrintable(QStringLiteral("(%1,%2)").arg(clear.x()).arg(clear.y())));
            QVERIFY(Diff(g.pixelColor(9, 1), bare.pixelColor(9, 1)) >= 20); // the ring, top right
            QVERIFY(Diff(g.pixelColor(5, 11), bare.pixelColor(5, 11)) >= 1); // the ring, bottom
        } else {
            for (int y = 2; y <= 10; ++y)
                for (int x = 2; x <= 10; ++x) {
                    const bool in = x >= 3 && x <= 9 && y >= 3 && y <= 9;
                    const bool border = in && (x == 3 || y == 3 || x == 9 || y == 9);
                    QCOMPARE(g.pixelColor(x, y), border ? dark : in ? fill : bare.pixelColor(x, y));
                }
        }
    }

    // The 26 x 26 images are drawn at twice the resolution, not enlarged: same colours
    // and layout, but most 2 x 2 blocks along the tick hold more than one colour.
    void doubleResolutionImages()
    {
        using B = TCustomAdvOfficeCheckBox;
        const QImage g = B::GlyphImage(B::cbChecked, B::glNormal, 2);
        const QImage bare = B::GlyphImage(B::cbUnchecked, B::glNormal, 2);
        QCOMPARE(g.size(), QSize(26, 26));
        for (int i = 0; i < 26; ++i)
            for (int t = 0; t < 2; ++t) {
                QCOMPARE(g.pixelColor(i, t), QColor(0x8E8F8F));
                QCOMPARE(g.pixelColor(25 - t, i), QColor(0x8E8F8F));
            }
        QCOMPARE(g.pixelColor(3, 12), QColor(0xF4F4F4));
        QCOMPARE(B::GlyphImage(B::cbGrayed, B::glNormal, 2).pixelColor(13, 13), QColor(0x6699FF));
        int touched = 0, mixed = 0;
        for (int by = 0; by < 26; by += 2)
            for (int bx = 0; bx < 26; bx += 2) {
                bool ink = false;
                int spread = 0;
                for (int j = 0; j < 2; ++j)
                    for (int i = 0; i < 2; ++i) {
                        ink = ink || Diff(g.pixelColor(bx + i, by + j), bare.pixelColor(bx + i, by + j)) > 8;
                        spread = qMax(spread, Diff(g.pixelColor(bx + i, by + j), g.pixelColor(bx, by)));
                    }
                touched += ink;
                mixed += ink && spread > 2;
            }
        QVERIFY2(touched >= 30 && mixed * 2 >= touched, qPrintable(QStringLiteral("%1 of %2").arg(mixed).arg(touched)));
        // On a screen of ratio 2 the box draws it at the glyph's device size; at 1 the
        // 13 x 13 image as it is stored.
        const QImage dense = B::GlyphForScreen(B::cbChecked, B::glNormal, 12, 2.0);
        QCOMPARE(dense.size(), QSize(24, 24));
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(B::GlyphForScreen(B::cbChecked, B::glNormal, 12, 1.0),
                 B::ScaledGlyph(B::GlyphImage(B::cbChecked, B::glNormal), 12));
    }

    // At 96 ppi the glyph is 12 x 12 at x 0..11, y 6..17; the key ring is transparent.
    void glyphOnScreen()
    {
        QCOMPARE(m_box->GlyphRect(), QRect(0, 6, 12, 12));
        QCOMPARE(m_box->TextRect().left(), 16);
        const QImage unchecked = Grab();
        QVERIFY(Diff(unchecked.pixelColor(0, 6), kParent) < 10);  // key ring shows the parent
        QVERIFY(Diff(unchecked.pixelColor(11, 17), kParent) < 10);
        QVERIFY(Diff(unchecked.pixelColor(0, 5), kParent) < 10);   // nothing above the glyph
        QVERIFY(Diff(unchecked.pixelColor(6, 11), kParent) > 60);  // the glyph's body
        QVERIFY(Diff(unchecked.pixelColor(13, 11), kParent) < 10); // the gap before the caption
        m_box->SetChecked(true);
        const QImage checked = Grab();
        QVERIFY(checked.pixelColor(5, 13).lightness() < unchecked.pixelColor(5, 13).lightness() - 30);
    }

    void forcedScale()
    {
        m_box->ForceDPIScale(1.5f);
        QCOMPARE(m_box->GlyphSide(), 18);
        QCOMPARE(m_box->TextRect().left(), 22);
    }

    void disabledCaptionGrey()
    {
        m_box->SetCaption(QStringLiteral("■■■"));
        const QImage before = Grab();
        m_box->setEnabled(false);
        const QImage img = Grab();
        bool grey = false;
        for (int x = 16; x < 60 && !grey; ++x)
            for (int y = 4; y < 20 && !grey; ++y)
                grey = Diff(img.pixelColor(x, y), QColor(128, 128, 128)) < 6;
        QVERIFY(grey);
        for (int x = 0; x < 12; ++x) // the glyph is unchanged
            for (int y = 6; y < 18; ++y)
                QCOMPARE(img.pixelColor(x, y), before.pixelColor(x, y));
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(Clicks(spy), 0);
        QVERIFY(!m_box->GetChecked());
    }

    // A setting the box keeps but never draws repaints nothing; one it draws repaints once.
    void settingsRepaintWhatIsDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("Themed") << "Themed" << QVariant(true) << false;
        QTest::newRow("Ellipsis") << "Ellipsis" << QVariant(true) << false;
        QTest::newRow("URLColor") << "URLColor" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("ShadowColor") << "ShadowColor" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("ShadowOffset") << "ShadowOffset" << QVariant(3) << false;
        QTest::newRow("Images") << "Images" << QVariant::fromValue<QObject *>(qApp) << false;
        QTest::newRow("PictureContainer") << "PictureContainer" << QVariant::fromValue<QObject *>(qApp) << false;
        QTest::newRow("ShowFocus") << "ShowFocus" << QVariant(false) << true;
        QTest::newRow("Caption") << "Caption" << QVariant(QStringLiteral("記号")) << true;
        QTest::newRow("ButtonVertAlign") << "ButtonVertAlign" << QVariant::fromValue(TCustomAdvOfficeCheckBox::tlBottom) << true;
    }
    void settingsRepaintWhatIsDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(bool, drawn);
        PaintCount paints(m_box);
        QVERIFY(m_box->setProperty(name.toLatin1(), value));
        QCOMPARE(m_box->property(name.toLatin1()), value);
        if (drawn)
            QTRY_COMPARE(paints.count, 1);
        QTest::qWait(50);
        QCOMPARE(paints.count, drawn ? 1 : 0);
    }

    // Code setters never click.
    void settersFireNothing()
    {
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        m_box->SetChecked(true);
        m_box->SetChecked(true);
        m_box->SetState(TCustomAdvOfficeCheckBox::cbUnchecked);
        QCOMPARE(Clicks(spy), 0);
    }

    void releasePoints_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("on the caption") << QPoint(200, 10) << true;
        QTest::newRow("one past the right edge") << QPoint(355, 10) << true;
        QTest::newRow("one past the bottom") << QPoint(50, 20) << true;
        QTest::newRow("two past the right") << QPoint(356, 10) << false;
        QTest::newRow("two past the bottom") << QPoint(50, 21) << false;
    }
    void releasePoints()
    {
        QFETCH(QPoint, release);
        QFETCH(bool, toggles);
        QList<bool> seen;
        connect(m_box, &TCustomAdvOfficeCheckBox::OnClick, this, [&] { seen << m_box->GetChecked(); });
        QTest::mousePress(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QVERIFY(m_box->Down());
        QTest::mouseMove(m_box, release);
        QTest::mouseRelease(m_box, Qt::LeftButton, {}, release);
        QVERIFY(!m_box->Down());
        QCOMPARE(m_box->GetChecked(), toggles);
        // One click, with the new state already set.
        QCOMPARE(seen, toggles ? QList<bool>{true} : QList<bool>{});
        QVERIFY(m_box->hasFocus());
    }

    void doubleClickTogglesTwice()
    {
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        // press, release, double-click press, release: as a real double click arrives
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 10), m_box->mapToGlobal(QPointF(5, 10)),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_box, &dbl);
        QTest::mouseRelease(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(Clicks(spy), 2);
        QVERIFY(!m_box->GetChecked());
    }

    // Held Space: one toggle at the release, no pressed glyph.
    void spaceHeld()
    {
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10)); // focus (and toggle)
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        const QImage before = Grab();
        QTest::sendKeyEvent(QTest::Press, m_box, Qt::Key_Space, QStringLiteral(" "), {});
        for (int i = 0; i < 3; ++i) {
            QKeyEvent ev(QEvent::KeyPress, Qt::Key_Space, {}, QStringLiteral(" "), true);
            QApplication::sendEvent(m_box, &ev);
        }
        QCOMPARE(Clicks(spy), 0);
        const QImage held = m_parent->grab(QRect(m_box->pos(), m_box->size())).toImage();
        for (int x = 0; x < 12; ++x)
            QCOMPARE(held.pixelColor(x, 12), before.pixelColor(x, 12));
        QTest::sendKeyEvent(QTest::Release, m_box, Qt::Key_Space, QStringLiteral(" "), {});
        QCOMPARE(Clicks(spy), 1);
        QVERIFY(!m_box->GetChecked());
    }

    void readOnlyStillClicks()
    {
        m_box->SetReadOnly(true);
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(Clicks(spy), 1);
        QVERIFY(!m_box->GetChecked());
    }

    void hoverChangesOnlyTheGlyph()
    {
        const QImage normal = Grab();
        QEnterEvent enter(QPointF(5, 10), QPointF(5, 10), QPointF(5, 10));
        QApplication::sendEvent(m_box, &enter);
        const QImage hot = Grab();
        QVERIFY(Diff(hot.pixelColor(2, 8), normal.pixelColor(2, 8)) > 20);
        for (int x = 16; x < 200; ++x)
            for (int y = 4; y < 20; ++y)
                QCOMPARE(hot.pixelColor(x, y), normal.pixelColor(x, y));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(m_box, &leave);
        QCOMPARE(Grab(), normal);
    }

    // Qt reports the pointer to a disabled box as well; its glyph must keep its look.
    void noHoverWhileDisabled()
    {
        m_box->setEnabled(false);
        const QImage normal = Grab();
        QEnterEvent enter(QPointF(5, 10), QPointF(5, 10), QPointF(5, 10));
        QApplication::sendEvent(m_box, &enter);
        QCOMPARE(Grab(), normal);
    }

    // The press asks for the focus, but the platform may deliver it after the release
    // (X11 without a window manager): the click toggles all the same, once.
    void clickBeforeTheFocusArrives()
    {
        QWidget other;
        other.resize(50, 50);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QSignalSpy spy(m_box, &TCustomAdvOfficeCheckBox::OnClick);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QVERIFY(!m_box->hasFocus());
        QCOMPARE(Clicks(spy), 1);
        QVERIFY(m_box->GetChecked());
        m_parent->activateWindow();
        QTRY_VERIFY(m_box->hasFocus());
        QCOMPARE(Clicks(spy), 1);
    }

    // The focus rectangle as the platform draws four lines with an alternate-pixel pen:
    // each line has its own dot phase from its start and leaves its end point out.
    void focusRectangle_data()
    {
        QTest::addColumn<QString>("caption");
        // Ideographic spaces keep the ink off the rectangle's left and right edges.
        QTest::newRow("even width") << QStringLiteral("　数字はそのまま　");
        QTest::newRow("odd width") << QStringLiteral("　数字はそのまま　a　");
    }
    void focusRectangle()
    {
        QFETCH(QString, caption);
        m_box->resize(355, 30); // room below the caption for the bottom line
        m_box->SetCaption(caption);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(5, 10));
        QVERIFY(m_box->hasFocus());
        const QImage img = Grab();
        const int w = m_box->CtrlWidth() - 16;
        const int x1 = 16, y1 = 4, x2 = 16 + w + 3, y2 = 4 + QFontMetrics(m_box->font()).height();
        QSet<QPoint> dots;
        for (int x = x1; x < x2; x += 2) dots << QPoint(x, y1);
        for (int y = y1; y < y2; y += 2) dots << QPoint(x2, y);
        for (int x = x2; x > x1; x -= 2) dots << QPoint(x, y2);
        for (int y = y2; y > y1; y -= 2) dots << QPoint(x1, y);
        auto check = [&](int x, int y) {
            const bool dot = dots.contains(QPoint(x, y));
            const QColor c = img.pixelColor(x, y);
            QVERIFY2(dot ? Diff(c, Qt::black) == 0 : Diff(c, kParent) == 0,
                     qPrintable(QStringLiteral("(%1,%2) %3").arg(x).arg(y).arg(c.name())));
        };
        for (int x = x1; x <= x2; ++x) { check(x, y1); check(x, y2); }
        for (int y = y1; y <= y2; ++y) { check(x1, y); check(x2, y); }
    }

    void captionLines()
    {
        const QFontMetrics fm(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        QCOMPARE(TCustomAdvOfficeCheckBox::CaptionLines(QStringLiteral("  ab cd  "), fm, 1000), QStringList{"ab cd"});
        QCOMPARE(TCustomAdvOfficeCheckBox::CaptionLines(QStringLiteral("ab cd"), fm, 20), (QStringList{"ab", "cd"}));
        QCOMPARE(TCustomAdvOfficeCheckBox::CaptionLines(QStringLiteral("abcdefgh"), fm, 8), QStringList{"abcdefgh"});
    }
};

QTEST_MAIN(TestOfficeCheckBox)
#include "tst_officecheckbox.moc"
