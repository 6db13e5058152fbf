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
