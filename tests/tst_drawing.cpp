// The drawing layer's own numbers: arc geometry in clockwise screen angles, gamma-
// corrected gradients, angle scaling, tiling, ellipse path gradients, dashes, the
// pixel-centre convention, clipping and the two colour rules.
#include "Accelerator.h"
#include "Colors.h"
#include "Fonts.h"
#include "Graphics.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QPainter>
#include <QTest>
#include <cmath>

class TestDrawing : public QObject {
    Q_OBJECT

private slots:
    void arcEnds_data();
    void arcEnds();
    void figureJoins_data();
    void figureJoins();
    void gradientMidpoint_data();
    void gradientMidpoint();
    void angleGradientCorners_data();
    void angleGradientCorners();
    void gradientTilesBeyondRectangle();
    void ellipsePathGradient_data();
    void ellipsePathGradient();
    void dotPenAlternatesPixels();
    void onePixelPenCoversOnePixel();
    void resetClipKeepsPaintersClip();
    void colourRules_data();
    void colourRules();
    void designPaletteIsQtsOwn();
    void fonts();
    void hotkeyPrefix_data();
    void hotkeyPrefix();
    void acceleratorKey_data();
    void acceleratorKey();
};

namespace {

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

bool Near(qreal a, qreal b, qreal tol) { return std::abs(a - b) <= tol; }

QString Pt(const QPointF &p) { return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y()); }

} // namespace

void TestDrawing::arcEnds_data()
{
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<qreal>("start");
    QTest::addColumn<qreal>("sweep");
    QTest::addColumn<QPointF>("first");
    QTest::addColumn<QPointF>("last");
    QTest::addColumn<QPointF>("middle");

    const qreal h = 4.0 / std::sqrt(2.0); // 45° on a radius-4 circle
    // The four corner arcs of a rounded rectangle, box 8 × 8 at (10, 20), centre (14, 24).
    QTest::newRow("top-left 180+90") << QRectF(10, 20, 8, 8) << 180.0 << 90.0 << QPointF(10, 24)
                                     << QPointF(14, 20) << QPointF(14 - h, 24 - h);
    QTest::newRow("top-right 270+90") << QRectF(10, 20, 8, 8) << 270.0 << 90.0 << QPointF(14, 20)
                                      << QPointF(18, 24) << QPointF(14 + h, 24 - h);
    QTest::newRow("bottom-right 0+90") << QRectF(10, 20, 8, 8) << 0.0 << 90.0 << QPointF(18, 24)
                                       << QPointF(14, 28) << QPointF(14 + h, 24 + h);
    QTest::newRow("bottom-left 90+90") << QRectF(10, 20, 8, 8) << 90.0 << 90.0 << QPointF(14, 28)
                                       << QPointF(10, 24) << QPointF(14 - h, 24 + h);
    QTest::newRow("negative sweep runs anticlockwise")
        << QRectF(10, 20, 8, 8) << 0.0 << -90.0 << QPointF(18, 24) << QPointF(14, 20) << QPointF(14 + h, 24 - h);
    // On an ellipse the angle is the geometric one: the point at 45° lies on the line
    // x − cx = y − cy, i.e. t = √20 from the centre (10, 5) of a 20 × 10 box.
    const qreal t = std::sqrt(20.0);
    QTest::newRow("ellipse angles are geometric")
        << QRectF(0, 0, 20, 10) << 0.0 << 45.0 << QPointF(20, 5) << QPointF(10 + t, 5 + t)
        << QPointF(10 + 10 * std::cos(std::atan(2.0) / 2), 5 + 5 * std::sin(std::atan(2.0) / 2));
}

void TestDrawing::arcEnds()
{
    QFETCH(QRectF, box);
    QFETCH(qreal, start);
    QFETCH(qreal, sweep);
    QFETCH(QPointF, first);
    QFETCH(QPointF, last);
    QFETCH(QPointF, middle);

    TGPPath path;
    path.AddArc(box, start, sweep);
    const QPainterPath &p = path.Path();
    QVERIFY(p.elementCount() > 1);
    const QPointF f(p.elementAt(0).x, p.elementAt(0).y);
    const QPointF l = p.currentPosition();
    QVERIFY2(Near(f.x(), first.x(), 1e-3) && Near(f.y(), first.y(), 1e-3), qPrintable(Pt(f)));
    QVERIFY2(Near(l.x(), last.x(), 1e-2) && Near(l.y(), last.y(), 1e-2), qPrintable(Pt(l)));
    // The midpoint in parameter tells the direction and the bulge.
    const QPointF m = p.pointAtPercent(0.5);
    // (On an ellipse the length midpoint lies near, not on, the parameter midpoint.)
    const qreal tol = box.width() == box.height() ? 0.05 : 0.5;
    QVERIFY2(Near(m.x(), middle.x(), tol) && Near(m.y(), middle.y(), tol), qPrintable(Pt(m)));
}

void TestDrawing::figureJoins_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("moves");    // figures started
    QTest::addColumn<int>("lines");    // straight segments (closing a figure adds one)
    QTest::addColumn<QPointF>("end");  // where the path ends

    QTest::newRow("two arcs apart are joined by a line") << 0 << 1 << 1 << QPointF(30, 4);
    QTest::newRow("zero-size arc adds nothing") << 1 << 1 << 2 << QPointF(20, 0);
    QTest::newRow("a line after CloseFigure starts a new figure") << 2 << 2 << 4 << QPointF(50, 50);
    QTest::newRow("touching segments get no extra line") << 3 << 1 << 2 << QPointF(10, 10);
}

void TestDrawing::figureJoins()
{
    QFETCH(int, which);
    QFETCH(int, moves);
    QFETCH(int, lines);
    QFETCH(QPointF, end);

    TGPPath path;
    switch (which) {
    case 0:
        path.AddArc(0, 0, 8, 8, 180, 90);   // ends at (4, 0)
        path.AddArc(22, 0, 8, 8, 270, 90);  // starts at (26, 0), ends at (30, 4)
        break;
    case 1:
        path.AddLine(0, 0, 10, 0);
        path.AddArc(10, 0, 0, 0, 270, 90);
        path.AddLine(10, 0, 20, 0);
        break;
    case 2:
        path.AddLine(0, 0, 10, 0);
        path.AddLine(10, 0, 10, 10);
        path.CloseFigure();
        path.AddLine(40, 40, 50, 50);
        break;
    case 3:
        path.AddLine(0, 0, 10, 0);
        path.AddLine(10, 0, 10, 10);
        break;
    }
    const QPainterPath &p = path.Path();
    int m = 0, l = 0;
    for (int i = 0; i < p.elementCount(); ++i) {
        if (p.elementAt(i).type == QPainterPath::MoveToElement)
            ++m;
        else if (p.elementAt(i).type == QPainterPath::LineToElement)
            ++l;
    }
    QCOMPARE(m, moves);
    QCOMPARE(l, lines);
    QVERIFY2(Near(p.currentPosition().x(), end.x(), 1e-3) && Near(p.currentPosition().y(), end.y(), 1e-3),
             qPrintable(Pt(p.currentPosition())));
}

void TestDrawing::gradientMidpoint_data()
{
    QTest::addColumn<QColor>("from");
    QTest::addColumn<QColor>("to");
    QTest::addColumn<bool>("gamma");
    QTest::addColumn<QColor>("mid");

    // In linear light the middle of black and white is 0.5^(1/2.2) = 0.73 → 186.
    QTest::newRow("gamma black-white") << QColor(0, 0, 0) << QColor(255, 255, 255) << true << QColor(186, 186, 186);
    QTest::newRow("straight black-white") << QColor(0, 0, 0) << QColor(255, 255, 255) << false << QColor(128, 128, 128);
    QTest::newRow("gamma red-blue") << QColor(255, 0, 0) << QColor(0, 0, 255) << true << QColor(186, 0, 186);
    QTest::newRow("straight red-blue") << QColor(255, 0, 0) << QColor(0, 0, 255) << false << QColor(128, 0, 128);
    // The fill's colours: 233 → 199 in red has its linear-light middle at 217.
    QTest::newRow("gamma panel blues") << QColor(233, 241, 250) << QColor(199, 216, 237) << true << QColor(217, 229, 244);
}

void TestDrawing::gradientMidpoint()
{
    QFETCH(QColor, from);
    QFETCH(QColor, to);
    QFETCH(bool, gamma);
    QFETCH(QColor, mid);

    QImage img = Canvas(101, 3);
    {
        TGPGraphics g(&img);
        g.FillRectangle(TGPBrush::LinearGradient(QRectF(0, 0, 100, 2), from, to, LinearGradientModeHorizontal, gamma),
                        QRectF(-1, -1, 103, 5));
    }
    const QColor got = img.pixelColor(50, 1);
    QVERIFY2(Near(got.red(), mid.red(), 2) && Near(got.green(), mid.green(), 2) && Near(got.blue(), mid.blue(), 2),
             qPrintable(got.name()));
    // The gradient starts at the given colour.
    QVERIFY(Near(img.pixelColor(0, 1).red(), from.red(), 3));
}

void TestDrawing::angleGradientCorners_data()
{
    QTest::addColumn<int>("mode"); // -1: by angle
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<bool>("scalable");
    QTest::addColumn<int>("topLeft");
    QTest::addColumn<int>("topRight");
    QTest::addColumn<int>("bottomLeft");
    QTest::addColumn<int>("bottomRight");

    // A 200 × 50 rectangle, black → white. Scaled 45° runs corner to corner, so the two
    // other corners meet halfway; unscaled 45° reaches the top-right corner at 0.8.
    QTest::newRow("45 scalable") << -1 << 45.0 << true << 0 << 128 << 128 << 255;
    QTest::newRow("45 fixed") << -1 << 45.0 << false << 0 << 204 << 51 << 255;
    QTest::newRow("forward diagonal") << int(LinearGradientModeForwardDiagonal) << 0.0 << false << 0 << 128 << 128 << 255;
    QTest::newRow("backward diagonal") << int(LinearGradientModeBackwardDiagonal) << 0.0 << false << 128 << 0 << 255 << 128;
    QTest::newRow("vertical") << int(LinearGradientModeVertical) << 0.0 << false << 0 << 0 << 255 << 255;
    QTest::newRow("horizontal") << int(LinearGradientModeHorizontal) << 0.0 << false << 0 << 255 << 0 << 255;
    QTest::newRow("90 scalable equals vertical") << -1 << 90.0 << true << 0 << 0 << 255 << 255;
}

void TestDrawing::angleGradientCorners()
{
    QFETCH(int, mode);
    QFETCH(qreal, angle);
    QFETCH(bool, scalable);
    QFETCH(int, topLeft);
    QFETCH(int, topRight);
    QFETCH(int, bottomLeft);
    QFETCH(int, bottomRight);

    const QRectF r(0, 0, 200, 50);
    const TGPBrush b = mode < 0 ? TGPBrush::LinearGradientAngle(r, Qt::black, Qt::white, angle, scalable, false, WrapModeClamp)
                                : TGPBrush::LinearGradient(r, Qt::black, Qt::white, TGPLinearGradientMode(mode), false, WrapModeClamp);
    QImage img = Canvas(201, 51);
    {
        TGPGraphics g(&img);
        g.FillRectangle(b, QRectF(-1, -1, 203, 53));
    }
    constexpr int kTol = 5;
    const int tl = img.pixelColor(0, 0).red(), tr = img.pixelColor(200, 0).red();
    const int bl = img.pixelColor(0, 50).red(), br = img.pixelColor(200, 50).red();
    const QString got = QStringLiteral("%1 %2 %3 %4").arg(tl).arg(tr).arg(bl).arg(br);
    QVERIFY2(Near(tl, topLeft, kTol) && Near(tr, topRight, kTol) && Near(bl, bottomLeft, kTol)
                 && Near(br, bottomRight, kTol), qPrintable(got));
}

void TestDrawing::gradientTilesBeyondRectangle()
{
    // A tiled vertical gradient over rows 0..10 starts again at row 10.
    QImage img = Canvas(4, 30);
    {
        TGPGraphics g(&img);
        g.FillRectangle(TGPBrush::LinearGradient(QRectF(0, 0, 4, 10), Qt::black, Qt::white, LinearGradientModeVertical),
                        QRectF(-1, -1, 6, 32));
    }
    for (int y : {2, 5, 8}) {
        QVERIFY2(Near(img.pixelColor(1, y + 10).red(), img.pixelColor(1, y).red(), 3), qPrintable(QString::number(y)));
        QVERIFY(Near(img.pixelColor(1, y).red(), y * 25.5, 4));
    }
}

void TestDrawing::ellipsePathGradient_data()
{
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<qreal>("t"); // position between the centre point (0) and the ellipse (1); < 0: outside

    // Ellipse (0, 0, 200, 100), centre point (60, 40). The ray to the right meets the
    // ellipse at x = 100 + √9600 = 197.98; the ray upwards at y = 50 − √2100 = 4.17.
    const qreal right = 100 + std::sqrt(9600.0), up = 50 - std::sqrt(2100.0);
    QTest::newRow("centre point") << QPoint(60, 40) << 0.0;
    QTest::newRow("halfway right") << QPoint(129, 40) << (129 - 60) / (right - 60);
    QTest::newRow("near the rim right") << QPoint(184, 40) << (184 - 60) / (right - 60);
    QTest::newRow("halfway up") << QPoint(60, 22) << (40 - 22) / (40 - up);
    QTest::newRow("halfway left") << QPoint(30, 40) << (60 - 30) / (60 - (100 - std::sqrt(9600.0)));
    QTest::newRow("outside the ellipse") << QPoint(3, 3) << -1.0;
}

void TestDrawing::ellipsePathGradient()
{
    QFETCH(QPoint, probe);
    QFETCH(qreal, t);

    constexpr int kCentreAlpha = 200, kSurroundAlpha = 60;
    QImage img = Canvas(201, 101);
    {
        TGPGraphics g(&img);
        // Filling a rectangle larger than the ellipse must paint nothing outside it.
        g.FillRectangle(TGPBrush::EllipsePathGradient(QRectF(0, 0, 200, 100), QPointF(60, 40),
                                                      QColor(0, 0, 255, kCentreAlpha), QColor(0, 0, 255, kSurroundAlpha)),
                        QRectF(0, 0, 200, 100));
    }
    const int alpha = qAlpha(img.pixel(probe));
    const qreal expected = t < 0 ? 0 : kCentreAlpha + (kSurroundAlpha - kCentreAlpha) * t;
    QVERIFY2(Near(alpha, expected, 3), qPrintable(QStringLiteral("%1 vs %2").arg(alpha).arg(expected)));
}

void TestDrawing::dotPenAlternatesPixels()
{
    // A one-pixel dotted pen is one on, one off.
    QImage img = Canvas(40, 5);
    {
        TGPGraphics g(&img);
        g.DrawLine(TGPPen(Qt::black, 1.0, DashStyleDot), 0, 2, 39, 2);
    }
    int on = 0;
    for (int x = 0; x < 38; ++x) {
        const bool a = qAlpha(img.pixel(x, 2)) > 128, b = qAlpha(img.pixel(x + 1, 2)) > 128;
        QVERIFY2(a != b, qPrintable(QString::number(x)));
        on += a;
    }
    QCOMPARE(on, 19);
    QCOMPARE(qAlpha(img.pixel(5, 1)), 0);
}

void TestDrawing::onePixelPenCoversOnePixel()
{
    // Integer coordinates are pixel centres: an anti-aliased 1-pixel pen on x = 0 fills
    // column 0 and leaves column 1 alone (not two half-covered columns).
    QImage img = Canvas(12, 12);
    {
        TGPGraphics g(&img);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        TGPPath p;
        p.AddRectangle(QRectF(0, 0, 10, 10));
        g.DrawPath(TGPPen(Qt::black, 1.0), p);
    }
    QCOMPARE(qAlpha(img.pixel(0, 5)), 255);
    QCOMPARE(qAlpha(img.pixel(1, 5)), 0);
    QCOMPARE(qAlpha(img.pixel(10, 5)), 255);
    QCOMPARE(qAlpha(img.pixel(11, 5)), 0);
}

void TestDrawing::resetClipKeepsPaintersClip()
{
    QImage img = Canvas(20, 20);
    QPainter painter(&img);
    painter.setClipRect(QRect(0, 0, 10, 10));
    {
        TGPGraphics g(&painter);
        g.SetClip(QRectF(5, 5, 20, 20));
        g.FillRectangle(TGPBrush::Solid(Qt::red), QRectF(-1, -1, 22, 22));
        g.ResetClip();
        g.FillRectangle(TGPBrush::Solid(Qt::blue), QRectF(-1, -1, 3, 3));
        g.FillRectangle(TGPBrush::Solid(Qt::green), QRectF(12, 12, 8, 8));
    }
    painter.end();
    QCOMPARE(img.pixelColor(7, 7), QColor(Qt::red));       // inside both clips
    QCOMPARE(qAlpha(img.pixel(3, 3)), 0);                    // outside the set clip
    QCOMPARE(qAlpha(img.pixel(15, 15)), 0);                  // outside the painter's clip
    QCOMPARE(img.pixelColor(1, 1), QColor(Qt::blue));      // reset clip back to the painter's
}

void TestDrawing::colourRules_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<bool>("literal");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("system colour resolved") << clBtnFace << false << QColor(1, 2, 3, 127);
    QTest::newRow("system colour literal") << clBtnFace << true << QColor(15, 0, 0, 127);
    QTest::newRow("plain colour resolved") << TColor(0x00C08000) << false << QColor(0, 128, 192, 127);
    QTest::newRow("plain colour literal") << TColor(0x00C08000) << true << QColor(0, 128, 192, 127);
}

void TestDrawing::colourRules()
{
    QFETCH(TColor, color);
    QFETCH(bool, literal);
    QFETCH(QColor, expected);

    const QPalette saved = QGuiApplication::palette();
    QPalette pal = saved;
    pal.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    QGuiApplication::setPalette(pal);
    const QColor got = literal ? LiteralDrawingColor(127, color) : DrawingColor(127, color);
    QGuiApplication::setPalette(saved);
    QCOMPARE(got, expected);
}

void TestDrawing::fonts()
{
    QVERIFY(!GPFontFamilyExists(QStringLiteral("No Such Family Kanavox")));
    QCOMPARE(GPFontFamilyOr(QStringLiteral("No Such Family Kanavox")), QStringLiteral("Arial"));
    if (FontFamilyFound(QStringLiteral("ＭＳ ゴシック")))
        QCOMPARE(GPFontFamilyOr(QStringLiteral("ＭＳ ゴシック")), QStringLiteral("ＭＳ ゴシック"));
    const TGPFont f(QStringLiteral("ＭＳ ゴシック"), 12, FontStyleBold | FontStyleUnderline);
    QCOMPARE(f.Font().pixelSize(), 16); // 12 pt at 96 dpi
    QVERIFY(f.Font().bold());
    QVERIFY(f.Font().underline());
    QVERIFY(!f.Font().italic());
    QCOMPARE(TGPFont(QStringLiteral("Tahoma"), 8).Font().pixelSize(), 11);
}

void TestDrawing::hotkeyPrefix_data()
{
    QTest::addColumn<int>("prefix");
    QTest::addColumn<bool>("ampersandShown");

    QTest::newRow("none draws the ampersand") << int(HotkeyPrefixNone) << true;
    QTest::newRow("show hides it and underlines") << int(HotkeyPrefixShow) << false;
    QTest::newRow("hide drops it") << int(HotkeyPrefixHide) << false;
}

void TestDrawing::hotkeyPrefix()
{
    QFETCH(int, prefix);
    QFETCH(bool, ampersandShown);

    QImage img = Canvas(200, 40);
    TGPGraphics g(&img);
    const TGPFont font(QStringLiteral("Arial"), 12);
    TGPStringFormat fmt;
    fmt.HotkeyPrefix = TGPHotkeyPrefix(prefix);
    const qreal with = g.MeasureString(QStringLiteral("&Copy"), font, QRectF(0, 0, 200, 40), fmt).width();
    const qreal plain = g.MeasureString(QStringLiteral("Copy"), font, QRectF(0, 0, 200, 40), fmt).width();
    QCOMPARE(with > plain + 1, ampersandShown);
}

// The design's light scheme must be the palette Qt itself starts with when no desktop
// theme speaks (as here), or the window would change look on every desktop.
void TestDrawing::designPaletteIsQtsOwn()
{
    const QPalette qt = QGuiApplication::palette();
    const QPalette design = DesignPalette();
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            QVERIFY2(design.color(group, role) == qt.color(group, role),
                     qPrintable(QStringLiteral("group %1 role %2: %3, Qt has %4").arg(g).arg(r)
                                    .arg(design.color(group, role).name(QColor::HexArgb),
                                         qt.color(group, role).name(QColor::HexArgb))));
        }
    }
}

// The glass button once took Qt's own mnemonic rule; the shared parser must pick the
// same key with printableOnly, and the check box's key (any character) otherwise.
void TestDrawing::acceleratorKey_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QChar>("anyKey");

    QTest::newRow("first letter") << QStringLiteral("&Copy") << QChar(u'C');
    QTest::newRow("lower case is upper-cased") << QStringLiteral("co&py") << QChar(u'P');
    QTest::newRow("doubled mark only") << QStringLiteral("C&&D") << QChar();
    QTest::newRow("doubled then single") << QStringLiteral("&&&x") << QChar(u'X');
    QTest::newRow("trailing mark") << QStringLiteral("ab&") << QChar();
    QTest::newRow("first of two") << QStringLiteral("&a&b") << QChar(u'A');
    QTest::newRow("tab then letter") << QStringLiteral("&\tb&c") << QChar(u'\t');
    QTest::newRow("kana") << QStringLiteral("コピー(&C)") << QChar(u'C');
}

void TestDrawing::acceleratorKey()
{
    QFETCH(QString, caption);
    QFETCH(QChar, anyKey);

    QCOMPARE(AcceleratorKey(caption), anyKey);
    const QChar printable = AcceleratorKey(caption, true);
    const QKeySequence qt = QKeySequence::mnemonic(caption);
    QCOMPARE(printable.isNull(), qt.isEmpty());
    if (!qt.isEmpty())
        QCOMPARE(qt[0], QKeyCombination(Qt::AltModifier, Qt::Key(printable.unicode())));
}

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
