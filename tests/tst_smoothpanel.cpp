// The gradient fill and the smooth panel with the result area's values: the worked
// example in pixels, the change rules of the fill, and the panel's image cache.
#include "AdvSmoothPanel.h"
#include "GDIPFill.h"
#include "Graphics.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor kWindow(240, 240, 240);

int Diff(QColor a, QColor b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

void ApplyResultArea(TGDIPFill *f)
{
    f->SetColor(16445929);
    f->SetColorTo(15587527);
    f->SetColorMirror(15587527);
    f->SetColorMirrorTo(16773863);
    f->SetGradientType(TGDIPFill::gtVertical);
    f->SetGradientMirrorType(TGDIPFill::gtVertical);
    f->SetBorderColor(14922381);
    f->SetRounding(10);
    f->SetShadowOffset(10);
}

} // namespace

class TestSmoothPanel : public QObject {
    Q_OBJECT

    QWidget *m_parent = nullptr;
    TAdvSmoothPanel *m_panel = nullptr;

    QImage Grab() const { return m_parent->grab(QRect(m_panel->pos(), m_panel->size())).toImage(); }

private slots:
    void init()
    {
        m_parent = new QWidget;
        m_parent->setAutoFillBackground(true);
        QPalette pal = m_parent->palette();
        pal.setColor(QPalette::Window, kWindow);
        m_parent->setPalette(pal);
        m_parent->resize(680, 200);
        m_panel = new TAdvSmoothPanel(m_parent);
        m_panel->setGeometry(16, 16, 640, 169);
        ApplyResultArea(m_panel->Fill());
        m_panel->Caption()->SetText(QStringLiteral("結果"));
        m_panel->Caption()->SetLocation(TAdvSmoothPanelCaption::plTopCenter);
        m_panel->Caption()->Font()->SetName(QStringLiteral("Tahoma"));
        m_panel->Caption()->Font()->SetHeight(-16);
        m_parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_parent));
    }
    void cleanup()
    {
        delete m_parent;
        m_parent = nullptr;
    }

    void newFillDefaults()
    {
        TGDIPFill f;
        QCOMPARE(f.Color(), clSilver);
        QCOMPARE(f.ColorTo(), clGray);
        QCOMPARE(f.ColorMirror(), clNone);
        QCOMPARE(f.GradientType(), TGDIPFill::gtVertical);
        QCOMPARE(f.GradientMirrorType(), TGDIPFill::gtSolid);
        QCOMPARE(f.BorderColor(), clNone);
        QCOMPARE(f.BorderWidth(), 1);
        QCOMPARE(f.Rounding(), 0);
        QCOMPARE(f.RoundingType(), TGDIPFill::rtBoth);
        QCOMPARE(f.ShadowColor(), clGray);
        QCOMPARE(f.ShadowOffset(), 0);
        QCOMPARE(f.Opacity(), 255);
        QCOMPARE(int(TGDIPFill::gtNone), 10);
        QCOMPARE(int(TGDIPFill::gmRadialGradient), 3);
    }

    // A new fill paints a plain top-to-bottom gradient from silver to grey and returns R.
    void newFillPaintsPlainGradient()
    {
        QImage img(20, 101, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        TGDIPFill f;
        const QRectF r(0, 0, 20, 101);
        {
            QPainter p(&img);
            TGPGraphics g(&p);
            QCOMPARE(f.Fill(g, r).Body, r);
        }
        QVERIFY(Diff(img.pixelColor(10, 1), QColor(192, 192, 192)) < 6);
        QVERIFY(Diff(img.pixelColor(10, 99), QColor(128, 128, 128)) < 6);
        QVERIFY(img.pixelColor(10, 50).red() < 192 && img.pixelColor(10, 50).red() > 128);
    }

    // Changes fire once each, none during an update, and EndUpdate fires nothing.
    void changeNotification()
    {
        TGDIPFill f;
        QSignalSpy spy(&f, &TGDIPFill::OnChange);
        f.SetRounding(3);
        f.SetRounding(3);
        QCOMPARE(spy.count(), 1);
        f.BeginUpdate();
        f.SetRounding(4);
        f.SetColor(clRed);
        f.EndUpdate();
        QCOMPARE(spy.count(), 1);
        f.EndUpdate();
        QCOMPARE(f.UpdateCount(), 0);
        TGDIPFill other;
        ApplyResultArea(&other);
        other.SetFocus(true);
        f.Assign(&other);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(f.ColorMirror(), TColor(15587527));
        QVERIFY(!f.Focus());
        QObject notAFill;
        f.Assign(&notAFill);
        QCOMPARE(spy.count(), 2);
    }

    // The worked example: body, seam, border, focus and returned rectangles, shadow strips.
    void workedExample()
    {
        QImage img(640, 169, QImage::Format_ARGB32_Premultiplied);
        img.fill(kWindow);
        TGDIPFill f;
        ApplyResultArea(&f);
        TGDIPFill::TFillAreas areas;
        {
            QPainter p(&img);
            TGPGraphics g(&p);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            areas = f.Fill(g, QRectF(0, 0, 639, 168));
        }
        QCOMPARE(areas.Body, QRectF(0, 0, 629, 158));
        QCOMPARE(areas.Focus, QRectF(1, 1, 627, 156));
        QVERIFY2(Diff(img.pixelColor(300, 2), QColor(233, 241, 250)) < 8, qPrintable(img.pixelColor(300, 2).name()));
        QVERIFY2(Diff(img.pixelColor(300, 78), QColor(199, 216, 237)) < 4, qPrintable(img.pixelColor(300, 78).name()));
        QVERIFY2(Diff(img.pixelColor(300, 156), QColor(231, 242, 255)) < 8, qPrintable(img.pixelColor(300, 156).name()));
        // The border on the straight part of the top edge and of the left edge.
        QVERIFY(Diff(img.pixelColor(300, 0), QColor(141, 178, 227)) < 40);
        QVERIFY(Diff(img.pixelColor(0, 80), QColor(141, 178, 227)) < 40);
        // Shadow: dark below the body, lighter at its right, none outside R.
        const QColor below = img.pixelColor(300, 163), right = img.pixelColor(634, 80);
        QVERIFY2(below.lightness() < kWindow.lightness() - 40, qPrintable(below.name()));
        QVERIFY(right.lightness() < kWindow.lightness());
        QVERIFY(right.lightness() > below.lightness());
        QCOMPARE(img.pixelColor(639, 168), kWindow);
    }

    void thinCaseDrawsOnlyTheBorderLine()
    {
        QImage img(40, 10, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        TGDIPFill f;
        f.SetBorderColor(clBlack);
        f.SetShadowOffset(5);
        {
            QPainter p(&img);
            TGPGraphics g(&p);
            QCOMPARE(f.Fill(g, QRectF(0, 4, 30, 1)).Body, QRectF(0, 4, 30, 1));
        }
        QVERIFY(img.pixelColor(10, 4).lightness() < 200);
        QCOMPARE(img.pixelColor(10, 7), QColor(Qt::white));
    }

    // The panel shows the window through its corners and shadow, and a caption at the top.
    void panelOverTheWindow()
    {
        const QImage img = Grab();
        QCOMPARE(img.pixelColor(639, 0), kWindow); // outside the rounded outline
        QVERIFY(Diff(img.pixelColor(300, 120), QColor(220, 232, 246)) < 30);
        // "結果" in blue near the top centre, and the underline below it.
        bool blue = false;
        for (int x = 290; x < 340 && !blue; ++x)
            for (int y = 0; y < 20 && !blue; ++y) {
                const QColor c = img.pixelColor(x, y);
                blue = c.blue() > c.red() + 60;
            }
        QVERIFY(blue);
        QVERIFY(m_panel->BodyRect() == QRectF(0, 0, 629, 158));
    }

    // The image is rendered once and reused; only changes and resizes render again.
    void cacheRules()
    {
        const int n = m_panel->RenderCount();
        QVERIFY(n >= 1);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n);
        m_panel->Fill()->SetRounding(8);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + 1);
        m_panel->resize(600, 160);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + 2);
        m_panel->Caption()->SetText(QStringLiteral("x"));
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + 3);
    }

    // A caption setting that is drawn renders the image again; the band colours, which are
    // kept but not drawn, render nothing.
    void captionSettingsRenderWhatIsDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("band colour") << "BackgroundColor" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("band end colour") << "BackgroundColorTo" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("text colour") << "ColorStart" << QVariant::fromValue<TColor>(clRed) << true;
        QTest::newRow("underline") << "Line" << QVariant(false) << true;
    }
    void captionSettingsRenderWhatIsDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(bool, drawn);
        m_panel->repaint();
        const int n = m_panel->RenderCount();
        QVERIFY(m_panel->Caption()->setProperty(name.toLatin1(), value));
        QCOMPARE(m_panel->Caption()->property(name.toLatin1()), value);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + (drawn ? 1 : 0));
    }

    // The cached image holds system colours as they resolved: a new colour scheme or
    // style renders it again, and the body shows the new colour.
    void cacheFollowsColourScheme()
    {
        m_panel->Fill()->SetColor(clBtnFace);
        m_panel->Fill()->SetColorTo(clNone);
        m_panel->Fill()->SetColorMirror(clNone);
        m_panel->repaint();
        const QPalette saved = QGuiApplication::palette();
        QPalette pal = saved;
        pal.setColor(QPalette::Button, QColor(20, 160, 40));
        QGuiApplication::setPalette(pal);
        QApplication::processEvents();
        const QColor body = Grab().pixelColor(300, 100);
        QGuiApplication::setPalette(saved);
        QApplication::processEvents();
        QVERIFY2(Diff(body, QColor(20, 160, 40)) <= 2, qPrintable(body.name()));
        const int n = m_panel->RenderCount();
        m_panel->setStyle(m_panel->style()); // a style change alone renders again too
        QEvent styleChange(QEvent::StyleChange);
        QApplication::sendEvent(m_panel, &styleChange);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + 1);
    }

    // The image holds the pixel ratio it was rendered at: moved to a screen of another
    // ratio, the panel renders again even where its device size rounds the same.
    void cacheFollowsPixelRatio()
    {
        QScreen *other = nullptr;
        for (QScreen *screen : QGuiApplication::screens())
            if (screen->devicePixelRatio() != m_parent->devicePixelRatioF())
                other = screen;
        if (!other)
            QSKIP("needs screens of different pixel ratios (the two-screen run)");
        m_panel->resize(2, 2); // 2 device pixels at 1 and 2.4 at 1.2 round to the same 2
        m_panel->repaint();
        const int n = m_panel->RenderCount();
        m_parent->move(other->geometry().topLeft() + QPoint(10, 10));
        QTRY_VERIFY(qAbs(m_panel->devicePixelRatioF() - other->devicePixelRatio()) < 0.01);
        m_panel->repaint();
        QCOMPARE(m_panel->RenderCount(), n + 1);
    }

    // Not transparent: the panel first erases in its own colour, so the parent no longer
    // shows outside the rounded outline.
    void opaquePanel()
    {
        QPalette pal = m_panel->palette();
        pal.setColor(QPalette::Window, QColor(10, 200, 10));
        m_panel->setPalette(pal);
        QCOMPARE(Grab().pixelColor(639, 0), kWindow);
        m_panel->SetTransparent(false);
        QCOMPARE(Grab().pixelColor(639, 0), QColor(10, 200, 10));
        QVERIFY(Diff(Grab().pixelColor(300, 120), QColor(220, 232, 246)) < 30); // the body as before
    }

    // The caption's text brush for each gradient kind, with red as the start colour and
    // blue as the end, probed inside the ink of large solid squares.
    void captionBrush_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("opacity");
        // Expected colours at the ink's left, right, top and bottom probes.
        QTest::addColumn<QColor>("left");
        QTest::addColumn<QColor>("right");
        QTest::addColumn<QColor>("top");
        QTest::addColumn<QColor>("bottom");
        const QColor red(255, 0, 0), blue(0, 0, 255), mid(128, 0, 128);
        // Gradient rows give only which probes match; the ink lies inside the text box,
        // so its ends do not reach the gradient's end colours.
        QTest::newRow("solid") << int(TGDIPFill::gtSolid) << 255 << red << red << red << red;
        QTest::newRow("vertical") << int(TGDIPFill::gtVertical) << 255 << mid << mid << red << blue;
        QTest::newRow("horizontal") << int(TGDIPFill::gtHorizontal) << 255 << red << blue << mid << mid;
        QTest::newRow("forward diagonal") << int(TGDIPFill::gtForwardDiagonal) << 255 << QColor() << QColor() << QColor() << QColor();
        QTest::newRow("backward diagonal") << int(TGDIPFill::gtBackwardDiagonal) << 255 << QColor() << QColor() << QColor() << QColor();
        QTest::newRow("solid at half opacity") << int(TGDIPFill::gtSolid) << 128 << QColor() << QColor() << QColor() << QColor();
        QTest::newRow("hatch") << int(TGDIPFill::gtHatch) << 255 << QColor() << QColor() << QColor() << QColor();
        QTest::newRow("texture draws no text") << int(TGDIPFill::gtTexture) << 255 << QColor() << QColor() << QColor() << QColor();
    }
    void captionBrush()
    {
        QFETCH(int, type);
        QFETCH(int, opacity);
        QFETCH(QColor, left);
        QFETCH(QColor, right);
        QFETCH(QColor, top);
        QFETCH(QColor, bottom);
        TAdvSmoothPanelCaption *c = m_panel->Caption();
        c->SetText(QStringLiteral("■■■"));
        c->Font()->SetHeight(-60);
        c->SetColorStart(0x0000FF);
        c->SetColorEnd(0xFF0000);
        c->SetOpacityStart(opacity);
        c->SetLine(false);
        c->SetGradientType(TGDIPFill::TAdvGradientType(type));
        c->SetHatchStyle(4); // cross: row 0 and column 0 of every 8 x 8 tile
        const QImage img = Grab();
        // Ink: what differs from the body left of the caption on the same row.
        QRect ink;
        for (int y = 0; y < 100; ++y)
            for (int x = 40; x < 600; ++x)
                if (Diff(img.pixelColor(x, y), img.pixelColor(20, y)) > 60)
                    ink |= QRect(x, y, 1, 1);
        if (type == TGDIPFill::gtTexture) {
            QVERIFY(ink.isNull());
            return;
        }
        QVERIFY(ink.width() > 60 && ink.height() > 20);
        const QPoint l(ink.left() + 4, ink.center().y()), r(ink.right() - 4, ink.center().y());
        const QPoint t(ink.center().x(), ink.top() + 4), b(ink.center().x(), ink.bottom() - 4);
        auto near = [&](const QPoint &p, const QColor &want, int tol) {
            const QColor got = img.pixelColor(p);
            QVERIFY2(Diff(got, want) <= tol, qPrintable(QStringLiteral("(%1,%2) %3, want %4")
                                                            .arg(p.x()).arg(p.y()).arg(got.name(), want.name())));
        };
        if (left.isValid()) {
            if (left == right)
                near(r, img.pixelColor(l), 6);
            if (top == bottom)
                near(b, img.pixelColor(t), 6);
            if (left == top && top == bottom)
                near(l, left, 2);
            if (left != right)
                QVERIFY(img.pixelColor(l).red() > img.pixelColor(r).red() + 100);
            if (top != bottom)
                QVERIFY(img.pixelColor(t).red() > img.pixelColor(b).red() + 100);
        } else if (type == TGDIPFill::gtForwardDiagonal) {
            QVERIFY(img.pixelColor(ink.topLeft() + QPoint(4, 4)).red() > img.pixelColor(ink.bottomRight() - QPoint(4, 4)).red() + 100);
        } else if (type == TGDIPFill::gtBackwardDiagonal) {
            // From the bottom-left corner in the end colour to the top-right in the start colour.
            QVERIFY(img.pixelColor(ink.topRight() + QPoint(-4, 4)).red() > img.pixelColor(ink.bottomLeft() + QPoint(4, -4)).red() + 100);
        } else if (type == TGDIPFill::gtSolid) {
            const QColor under = img.pixelColor(l.x(), ink.bottom() + 30); // the body below the caption
            const QColor want((255 * 128 + under.red() * 127) / 255, (under.green() * 127) / 255, (under.blue() * 127) / 255);
            near(l, want, 6);
        } else { // hatch: start-colour lines on an end-colour ground, 8 pixels apart
            int reds = 0, blues = 0;
            for (int x = l.x(); x < l.x() + 16; ++x) {
                const QColor p = img.pixelColor(x, t.y() + 1);
                reds += p.red() > 200 && p.blue() < 60;
                blues += p.blue() > 200 && p.red() < 60;
            }
            QVERIFY2(reds >= 1 && reds <= 4 && blues >= 10, qPrintable(QStringLiteral("%1 %2").arg(reds).arg(blues)));
        }
    }

    // Several lines inside the caption box follow the caption's alignment.
    void captionAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::newRow("left") << int(TAdvSmoothPanelCaption::taLeftJustify);
        QTest::newRow("centre") << int(TAdvSmoothPanelCaption::taCenter);
        QTest::newRow("right") << int(TAdvSmoothPanelCaption::taRightJustify);
    }
    void captionAlignment()
    {
        QFETCH(int, alignment);
        TAdvSmoothPanelCaption *c = m_panel->Caption();
        c->SetText(QStringLiteral("■\n■■■"));
        c->Font()->SetHeight(-40);
        c->SetColorStart(0x0000FF);
        c->SetColorEnd(clNone);
        c->SetGradientType(TGDIPFill::gtSolid);
        c->SetLine(false);
        c->SetTextAlignment(TAdvSmoothPanelCaption::TAlignment(alignment));
        const QImage img = Grab();
        auto inkRow = [&](int y0, int y1) {
            QRect ink;
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < 629; ++x)
                    if (img.pixelColor(x, y).green() < 100)
                        ink |= QRect(x, y, 1, 1);
            return ink;
        };
        const QRect all = inkRow(0, 150);
        const int split = all.top() + all.height() / 2;
        const QRect first = inkRow(all.top(), split), second = inkRow(split, all.bottom() + 1);
        QVERIFY(second.width() > 2 * first.width());
        const int tolerance = 3;
        if (alignment == TAdvSmoothPanelCaption::taLeftJustify)
            QVERIFY2(qAbs(first.left() - second.left()) <= tolerance, qPrintable(QString::number(first.left() - second.left())));
        else if (alignment == TAdvSmoothPanelCaption::taRightJustify)
            QVERIFY2(qAbs(first.right() - second.right()) <= tolerance, qPrintable(QString::number(first.right() - second.right())));
        else
            QVERIFY(qAbs(first.center().x() - second.center().x()) <= tolerance);
    }

    // Assigning a caption copies everything but the underline colour, the text rendering
    // and the band colours; the second font comes along.
    void captionAssign()
    {
        TAdvSmoothPanelCaption from;
        from.SetText(QStringLiteral("t"));
        from.SetOpacityStart(10);
        from.SetOpacityEnd(20);
        from.SetGradientType(TGDIPFill::gtHatch);
        from.SetHatchStyle(5);
        from.SetTextAlignment(TAdvSmoothPanelCaption::taCenter);
        from.HTMLFont()->SetName(QStringLiteral("Arial"));
        from.HTMLFont()->SetHeight(-20);
        from.SetLineColor(clRed);
        from.SetTextRendering(TAdvSmoothPanelCaption::tClearType);
        from.SetBackgroundColor(clRed);
        from.SetBackgroundColorTo(clBlue);
        TAdvSmoothPanelCaption to;
        QSignalSpy spy(&to, &TAdvSmoothPanelCaption::OnChange);
        to.Assign(from);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(to.Text(), QStringLiteral("t"));
        QCOMPARE(to.OpacityStart(), 10);
        QCOMPARE(to.OpacityEnd(), 20);
        QCOMPARE(to.GradientType(), TGDIPFill::gtHatch);
        QCOMPARE(to.HatchStyle(), 5);
        QCOMPARE(to.TextAlignment(), TAdvSmoothPanelCaption::taCenter);
        QCOMPARE(to.HTMLFont()->Name(), QStringLiteral("Arial"));
        QCOMPARE(to.HTMLFont()->Height(), -20);
        QCOMPARE(to.LineColor(), TColor(11563548));
        QCOMPARE(to.TextRendering(), TAdvSmoothPanelCaption::tAntiAliasGridFit);
        QCOMPARE(to.BackgroundColor(), clNone);
        QCOMPARE(to.BackgroundColorTo(), clNone);
    }

    void outerRectangleWithoutBorder()
    {
        m_panel->Fill()->SetBorderColor(clNone);
        m_panel->repaint();
        QCOMPARE(m_panel->BodyRect(), QRectF(-1, -1, 631, 160));
    }
};

QTEST_MAIN(TestSmoothPanel)
#include "tst_smoothpanel.moc"
