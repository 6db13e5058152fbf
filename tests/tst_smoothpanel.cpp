// The gradient fill and the smooth panel with the result area's values: the worked
// example in pixels, the change rules of the fill, and the panel's image cache.
#include "AdvSmoothPanel.h"
#include "GDIPFill.h"
#include "Graphics.h"

#include <QPainter>
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
            QCOMPARE(f.Fill(g, r), r);
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
        QRectF body;
        {
            QPainter p(&img);
            TGPGraphics g(&p);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            body = f.Fill(g, QRectF(0, 0, 639, 168));
        }
        QCOMPARE(body, QRectF(0, 0, 629, 158));
        QCOMPARE(f.FocusRect(), QRectF(1, 1, 627, 156));
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
            QCOMPARE(f.Fill(g, QRectF(0, 4, 30, 1)), QRectF(0, 4, 30, 1));
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

    void outerRectangleWithoutBorder()
    {
        m_panel->Fill()->SetBorderColor(clNone);
        m_panel->repaint();
        QCOMPARE(m_panel->BodyRect(), QRectF(-1, -1, 631, 160));
    }
};

QTEST_MAIN(TestSmoothPanel)
#include "tst_smoothpanel.moc"
