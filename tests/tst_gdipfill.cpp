#include "HatchBrush.h"
#include "PathGradient.h"

#include <QPainter>
#include <QTest>

class tst_GDIPFill : public QObject {
    Q_OBJECT
private slots:
    void pathGradientValue_data();
    void pathGradientValue();
    void pathGradientRenderClampsOutside();
    void pathGradientRenderMatchesValues_data();
    void pathGradientRenderMatchesValues();
    void hatchBits_data();
    void hatchBits();
};

void tst_GDIPFill::pathGradientValue_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<double>("value");
    // The panel's shadow outline: centre (319.5, 84); a tenth inwards is 31.95 px at the
    // right edge and 8.4 px at the bottom edge.
    QTest::newRow("centre") << QPointF(319.5, 84) << 1.0;
    QTest::newRow("right edge") << QPointF(639, 84) << 0.0;
    QTest::newRow("tenth from right") << QPointF(639 - 31.95, 84) << 0.1;
    QTest::newRow("tenth from bottom") << QPointF(319.5, 168 - 8.4) << 0.1;
    QTest::newRow("body meets right strip") << QPointF(629, 84) << 10 / 319.5;
    QTest::newRow("outside") << QPointF(700, 84) << 1.0 - (700 - 319.5) / 319.5;
}

void tst_GDIPFill::pathGradientValue()
{
    QFETCH(QPointF, point);
    QFETCH(double, value);
    QPainterPath outline;
    outline.addRect(0, 0, 639, 168);
    const TPathGradient g(outline);
    QVERIFY(qAbs(g.ValueAt(point) - value) < 1e-6);
}

void tst_GDIPFill::pathGradientRenderClampsOutside()
{
    QPainterPath outline;
    outline.addEllipse(QRectF(0, 0, 20, 20));
    TPathGradient g(outline);
    g.SetColors(QColor(255, 0, 0, 255), QColor(0, 0, 255, 0));
    const QImage img = g.Render(QTransform(), QRect(0, 0, 20, 20));
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0);          // corner is outside the ellipse
    QVERIFY(qAlpha(img.pixel(10, 10)) > 220); // sampled 0.7 px from the centre: value 0.93
    QVERIFY(qAlpha(img.pixel(2, 10)) < qAlpha(img.pixel(6, 10)));
}

void tst_GDIPFill::pathGradientRenderMatchesValues_data()
{
    QTest::addColumn<QPainterPath>("outline");
    QTest::addColumn<QTransform>("toDevice");
    QTest::addColumn<QRect>("deviceRect");
    QPainterPath shadow;
    shadow.addRoundedRect(QRectF(0, 0, 640, 169), 10, 10);
    QPainterPath ellipse;
    ellipse.addEllipse(QRectF(0, 0, 60, 30));
    QPainterPath rect;
    rect.addRect(0, 0, 50, 20);
    // Rendering skips the pixels of the solid core row by row: a wrong span would show
    // here as core colour outside the core, or as holes in it.
    QTest::newRow("panel shadow") << shadow << QTransform() << QRect(-1, -1, 642, 171);
    QTest::newRow("ellipse, shifted") << ellipse << QTransform::fromTranslate(7, 3) << QRect(5, 1, 64, 34);
    QTest::newRow("ellipse, clipped box") << ellipse << QTransform() << QRect(20, 4, 30, 12);
    QTest::newRow("rectangle scaled") << rect << QTransform::fromScale(2, 2) << QRect(0, 0, 100, 40);
}

void tst_GDIPFill::pathGradientRenderMatchesValues()
{
    QFETCH(QPainterPath, outline);
    QFETCH(QTransform, toDevice);
    QFETCH(QRect, deviceRect);
    TPathGradient g(outline);
    // The smooth panel's shadow stops: a ramp over the outer tenth, then one colour.
    g.SetStops({{0.0, QColor(0, 0, 0, 0)}, {0.1, QColor(20, 40, 60, 128)}, {1.0, QColor(20, 40, 60, 128)}});
    const QImage img = g.Render(toDevice, deviceRect);
    const QTransform toOutline = toDevice.inverted();
    int checked = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QPointF centre = toOutline.map(QPointF(deviceRect.x() + x + 0.5, deviceRect.y() + y + 0.5));
            const qreal value = g.ValueAt(centre);
            if (qAbs(value) < 1e-3)
                continue; // on the outline: either side is right
            const QRgb want = value < 0 ? 0 : qPremultiply(g.ColorAt(value).rgba());
            const QRgb got = img.pixel(x, y);
            // One colour-table step apart at most (2.5 alpha levels on this ramp).
            const bool near = qAbs(qAlpha(got) - qAlpha(want)) <= 3 && qAbs(qRed(got) - qRed(want)) <= 3
                              && qAbs(qGreen(got) - qGreen(want)) <= 3 && qAbs(qBlue(got) - qBlue(want)) <= 3;
            if (!near)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2): %3 instead of %4")
                                     .arg(x).arg(y).arg(got, 8, 16, QLatin1Char('0')).arg(want, 8, 16, QLatin1Char('0'))));
            ++checked;
        }
    }
    QVERIFY(checked > img.width() * img.height() / 2);
}

void tst_GDIPFill::hatchBits_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("fore");
    QTest::newRow("horizontal row 0") << 0 << 5 << 0 << true;
    QTest::newRow("horizontal row 1") << 0 << 5 << 1 << false;
    QTest::newRow("vertical col 0") << 1 << 0 << 6 << true;
    QTest::newRow("vertical col 1") << 1 << 1 << 6 << false;
    QTest::newRow("forward diagonal") << 2 << 3 << 3 << true;
    QTest::newRow("forward off") << 2 << 4 << 3 << false;
    QTest::newRow("backward diagonal") << 3 << 4 << 3 << true;
    QTest::newRow("cross") << 4 << 0 << 4 << true;
    QTest::newRow("diagonal cross") << 5 << 7 << 0 << true;
    QTest::newRow("50 percent half") << 12 << 2 << 0 << true;
}

void tst_GDIPFill::hatchBits()
{
    QFETCH(int, style);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, fore);
    const QImage tile = HatchTile(style, Qt::red, Qt::white);
    QCOMPARE(tile.pixelColor(x, y) == QColor(Qt::red), fore);
}

QTEST_MAIN(tst_GDIPFill)
#include "tst_gdipfill.moc"
