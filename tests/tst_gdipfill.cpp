// The gradient fill's drawing pieces (path gradients, hatch patterns) and the fill itself
// over gradient kind x shadow x glow x corners, probed at the points where each setting
// shows. Probes compare with a tolerance: anti-aliasing and gamma-corrected gradients
// differ by a few levels between rasterisers; flat fills are exact.
#include "GDIPFill.h"
#include "Graphics.h"
#include "HatchBrush.h"
#include "PathGradient.h"

#include <QPainter>
#include <QTest>

#include <functional>

namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kBlack = 0x000000, kWhite = 0xFFFFFF;

struct Probe {
    QPoint at;
    QColor want;
    int tolerance;
};

using Setup = std::function<void(TGDIPFill &)>;

int Diff(const QColor &a, const QColor &b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

// A fill of no colours, no border, no shadow, square corners: each row sets what it shows.
Setup Plain(const Setup &more)
{
    return [more](TGDIPFill &f) {
        f.SetColor(kRed);
        f.SetColorTo(clNone);
        f.SetShadowOffset(0);
        more(f);
    };
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(QList<Probe>)

class tst_GDIPFill : public QObject {
    Q_OBJECT
private slots:
    void pathGradientValue_data();
    void pathGradientValue();
    void pathGradientRenderClampsOutside();
    void pathGradientRenderMatchesValues_data();
    void pathGradientRenderMatchesValues();
    void pathGradientFillIsOneTexture_data();
    void pathGradientFillIsOneTexture();
    void hatchBits_data();
    void hatchBits();
    void fills_data();
    void fills();
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

void tst_GDIPFill::pathGradientFillIsOneTexture_data()
{
    QTest::addColumn<QSize>("deviceSize");
    QTest::addColumn<QTransform>("world");
    QTest::addColumn<qreal>("pixelRatio");
    QTest::addColumn<QRect>("clip"); // in user units; empty for none
    // Big fills are made in bands of rows; a band one row off, or a seam where two
    // bands meet, shows as a difference from the one-texture fill.
    QTest::newRow("scale 1") << QSize(700, 260) << QTransform::fromTranslate(3, 5) << 1.0 << QRect();
    QTest::newRow("scale 1, odd offset, clipped") << QSize(700, 260) << QTransform::fromTranslate(0, 7) << 1.0
                                                  << QRect(10, 33, 500, 150);
    QTest::newRow("scale 2") << QSize(1400, 520) << QTransform::fromTranslate(1, 3) << 2.0 << QRect();
    QTest::newRow("scale 3, clipped") << QSize(2100, 780) << QTransform() << 3.0 << QRect(0, 17, 640, 101);
    QTest::newRow("scale 1.5") << QSize(1050, 390) << QTransform() << 1.5 << QRect();
    // The drawing layer offsets by half a unit, to pixel centres.
    QTest::newRow("half-unit offset") << QSize(700, 260) << QTransform::fromTranslate(0.5, 0.5) << 1.0 << QRect();
    QTest::newRow("half-unit offset, scale 2") << QSize(1400, 520) << QTransform::fromTranslate(0.5, 3.5) << 2.0
                                               << QRect(0, 20, 600, 120);
    QTest::newRow("half-unit offset, scale 3") << QSize(2100, 780) << QTransform::fromTranslate(1.5, 0.5) << 3.0
                                               << QRect();
    QTest::newRow("quarter-unit offset") << QSize(700, 260) << QTransform::fromTranslate(0.25, 0.25) << 1.0 << QRect();
    // Half a device row off at an even scale: no band start falls on a half unit.
    QTest::newRow("quarter-unit offset, scale 2") << QSize(1400, 520) << QTransform::fromTranslate(0.25, 0.25) << 2.0
                                                  << QRect();
}

void tst_GDIPFill::pathGradientFillIsOneTexture()
{
    QFETCH(QSize, deviceSize);
    QFETCH(QTransform, world);
    QFETCH(qreal, pixelRatio);
    QFETCH(QRect, clip);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(2, 2, 640, 169), 10, 10);
    TPathGradient g(outline);
    g.SetStops({{0.0, QColor(0, 0, 0, 0)}, {0.1, QColor(20, 40, 60, 128)}, {1.0, QColor(20, 40, 60, 128)}});
    const auto paint = [&](const std::function<void(QPainter &)> &fill) {
        QImage img(deviceSize, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(pixelRatio);
        img.fill(QColor(200, 210, 220));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(world);
        if (!clip.isEmpty())
            p.setClipRect(clip);
        fill(p);
        return img;
    };
    const QImage banded = paint([&](QPainter &p) { g.Fill(p); });
    const QImage whole = paint([&](QPainter &p) {
        const QTransform toDevice = p.deviceTransform();
        QRect box = toDevice.mapRect(outline.boundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
        if (p.hasClipping())
            box &= toDevice.mapRect(p.clipBoundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
        QBrush brush(g.Render(toDevice, box));
        brush.setTransform(QTransform::fromTranslate(box.x(), box.y()) * toDevice.inverted());
        p.fillPath(outline, brush);
    });
    // Both go through the same raster pipeline, so they agree exactly.
    QCOMPARE(banded, whole);
    QVERIFY(banded.pixel(deviceSize.width() / 2, deviceSize.height() / 3) != QColor(200, 210, 220).rgb());
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

void tst_GDIPFill::fills_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QRectF>("r");
    QTest::addColumn<QRectF>("body");
    QTest::addColumn<QList<Probe>>("probes");
    const QRectF R(0, 0, 100, 60);
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 255, 0), white(255, 255, 255), black(0, 0, 0);
    auto row = [](const char *name, const Setup &setup, const QRectF &r, const QRectF &body, const QList<Probe> &probes) {
        QTest::newRow(name) << setup << r << body << probes;
    };
    auto kind = [](TGDIPFill::TAdvGradientType t) {
        return Plain([t](TGDIPFill &f) { f.SetColorTo(kBlue); f.SetGradientType(t); });
    };

    // Linear kinds: red at the start, blue at the end (the brush spans R grown by one).
    // Coordinates lie on pixel centres, so the outermost pixels are half covered: the
    // probes stay one pixel inside. Gamma correction lifts the far colour quickly near
    // either end, hence the wide tolerance; a reversed gradient is still 255 off.
    row("vertical", kind(TGDIPFill::gtVertical), R, R, {{{50, 1}, red, 70}, {{50, 58}, blue, 70}});
    row("horizontal", kind(TGDIPFill::gtHorizontal), R, R, {{{1, 30}, red, 70}, {{98, 30}, blue, 70}});
    row("forward diagonal", kind(TGDIPFill::gtForwardDiagonal), R, R, {{{1, 1}, red, 70}, {{98, 58}, blue, 70}});
    row("backward diagonal", kind(TGDIPFill::gtBackwardDiagonal), R, R, {{{98, 1}, red, 70}, {{1, 58}, blue, 70}});
    row("angle 0 runs left to right", Plain([](TGDIPFill &f) { f.SetColorTo(kBlue); f.SetGradientType(TGDIPFill::gtAngle); }),
        R, R, {{{1, 30}, red, 70}, {{98, 30}, blue, 70}});
    row("angle 90 runs top to bottom",
        Plain([](TGDIPFill &f) { f.SetColorTo(kBlue); f.SetGradientType(TGDIPFill::gtAngle); f.SetAngle(90); }), R, R,
        {{{50, 1}, red, 70}, {{50, 58}, blue, 70}});
    row("hatch: start lines on an end ground",
        Plain([](TGDIPFill &f) { f.SetColorTo(kBlue); f.SetGradientType(TGDIPFill::gtHatch); f.SetHatchStyle(0); }), R, R,
        {{{40, 8}, red, 0}, {{40, 9}, blue, 0}, {{40, 16}, red, 0}});

    // clNone rules.
    QTest::newRow("ColorTo clNone: solid Color") << Plain([](TGDIPFill &) {}) << R << R
                                                 << QList<Probe>{{{50, 1}, red, 0}, {{50, 58}, red, 0}};
    row("Color clNone: no body, border still drawn",
        Plain([](TGDIPFill &f) { f.SetColor(clNone); f.SetBorderColor(kBlack); }), R, R,
        {{{50, 30}, white, 0}, {{50, 0}, black, 12}});
    row("ShadowColor clNone: no shadow, no room taken",
        Plain([](TGDIPFill &f) { f.SetShadowOffset(10); f.SetShadowColor(clNone); }), R, R, {{{95, 55}, red, 0}});
    row("ColorMirror clNone: one part", Plain([](TGDIPFill &f) { f.SetColorMirrorTo(kGreen); }), R, R,
        {{{50, 55}, red, 0}});

    // Two parts: the main part over the top half, the mirror part over the bottom half.
    row("mirror part", Plain([](TGDIPFill &f) { f.SetColorMirror(kGreen); f.SetGradientMirrorType(TGDIPFill::gtSolid); }),
        R, R, {{{50, 10}, red, 0}, {{50, 50}, green, 0}});
    row("hatch with a mirror colour stays one part",
        Plain([](TGDIPFill &f) { f.SetColorTo(kBlue); f.SetGradientType(TGDIPFill::gtHatch); f.SetColorMirror(kGreen); }), R, R,
        {{{40, 56}, red, 0}, {{40, 57}, blue, 0}});

    // Radial parts: the rim in one colour, a glow of the other from the middle of the top
    // (main) or bottom (mirror) edge.
    row("radial main part", kind(TGDIPFill::gtRadial), R, R, {{{50, 1}, blue, 40}, {{2, 58}, red, 12}});
    row("radial with Color clNone paints nothing",
        Plain([](TGDIPFill &f) { f.SetColor(clNone); f.SetColorTo(kBlue); f.SetGradientType(TGDIPFill::gtRadial); }), R, R,
        {{{50, 1}, white, 0}, {{50, 30}, white, 0}});
    row("radial mirror part",
        Plain([](TGDIPFill &f) {
            f.SetGradientType(TGDIPFill::gtSolid);
            f.SetColorMirror(kGreen);
            f.SetColorMirrorTo(kBlue);
            f.SetGradientMirrorType(TGDIPFill::gtRadial);
        }),
        R, R, {{{50, 58}, green, 40}, {{1, 31}, blue, 12}, {{50, 10}, red, 0}});

    // Shadows: a grey shape fading in from its outline, the body shrunk by the offset.
    const QColor shade(75, 75, 75); // alpha 180 of black over white
    row("shadow right and bottom", Plain([](TGDIPFill &f) { f.SetShadowOffset(10); f.SetShadowColor(kBlack); }), R,
        QRectF(0, 0, 90, 50), {{{50, 55}, shade, 6}, {{95, 30}, shade, 6}, {{45, 25}, red, 0}, {{0, 59}, white, 30}});
    row("shadow surround", Plain([](TGDIPFill &f) { f.SetShadowOffset(5); f.SetShadowColor(kBlack); f.SetShadowType(TGDIPFill::stSurround); }),
        R, QRectF(5, 5, 90, 50), {{{4, 30}, {111, 111, 111}, 12}, {{0, 30}, white, 25}, {{6, 30}, red, 0}});
    row("shadow bottom",
        Plain([](TGDIPFill &f) { f.SetShadowOffset(6); f.SetShadowColor(kBlack); f.SetShadowType(TGDIPFill::stBottom); }), R,
        QRectF(0, 0, 100, 54), {{{50, 55}, {109, 109, 109}, 40}, {{1, 59}, white, 12}, {{50, 53}, red, 0}});
    // Two pixels high: the surround shadow's outline folds over itself, and rows whose only
    // core pixel was the last one scanned once ran the core span backwards.
    row("shadow surround, flat", Plain([](TGDIPFill &f) { f.SetShadowOffset(4); f.SetShadowColor(kBlack); f.SetShadowType(TGDIPFill::stSurround); }),
        QRectF(2, 2, 100, 2), QRectF(6, 6, 92, -6), {{{50, 3}, red, 0}, {{50, 30}, white, 0}});

    // Corners: rtTop, rtBottom, rtLeft, rtRight; with a mirror part the main part keeps
    // only its top corners and the mirror part its bottom ones.
    auto corners = [&](const char *name, TGDIPFill::TFillRoundingType t, bool mirror, QList<bool> roundTlTrBrBl) {
        const QList<QPoint> at{{1, 1}, {98, 1}, {98, 58}, {1, 58}};
        QList<Probe> probes;
        for (int i = 0; i < 4; ++i)
            probes.append({at[i], roundTlTrBrBl[i] ? white : (mirror && i >= 2 ? green : red), roundTlTrBrBl[i] ? 8 : 0});
        row(name, Plain([t, mirror](TGDIPFill &f) {
                f.SetRounding(10);
                f.SetRoundingType(t);
                if (mirror) {
                    f.SetColorMirror(kGreen);
                    f.SetGradientMirrorType(TGDIPFill::gtSolid);
                }
            }),
            R, R, probes);
    };
    corners("rtTop", TGDIPFill::rtTop, false, {true, true, false, false});
    corners("rtBottom", TGDIPFill::rtBottom, false, {false, false, true, true});
    corners("rtLeft", TGDIPFill::rtLeft, false, {true, false, false, true});
    corners("rtRight", TGDIPFill::rtRight, false, {false, true, true, false});
    corners("rtNone", TGDIPFill::rtNone, false, {false, false, false, false});
    corners("two parts, rtBoth", TGDIPFill::rtBoth, true, {true, true, true, true});
    corners("two parts, rtTop", TGDIPFill::rtTop, true, {true, true, false, false});
    corners("two parts, rtBottom", TGDIPFill::rtBottom, true, {false, false, true, true});
    corners("two parts, rtLeft", TGDIPFill::rtLeft, true, {true, false, false, true});

    // Width 1: only the border line from (X, Y) to (X + W, Y + H), no body.
    row("width 1", Plain([](TGDIPFill &f) { f.SetBorderColor(kBlack); }), QRectF(10, 10, 1, 40), QRectF(10, 10, 1, 40), {});

    // Glow over a black body: the gradient glow lights a band under the top and over the
    // bottom edge; the radial glow rises from the middle of the bottom.
    auto glow = [&](const char *name, TGDIPFill::TGlowMode m, int topLuma, int bottomLuma) {
        const QColor top(topLuma, topLuma, topLuma), bottom(bottomLuma, bottomLuma, bottomLuma);
        row(name, Plain([m](TGDIPFill &f) { f.SetColor(kBlack); f.SetGlow(m); }), R, R,
            {{{50, 3}, top, 30}, {{50, 58}, bottom, 30}});
    };
    glow("glow none", TGDIPFill::gmNone, 0, 0);
    glow("glow gradient", TGDIPFill::gmGradient, 92, 196);
    glow("glow radial", TGDIPFill::gmRadial, 46, 146);
    glow("glow radial and gradient", TGDIPFill::gmRadialGradient, 125, 220);

    // Focus: a dotted line without anti-aliasing on FocusRect = R less the border width,
    // rounded by Rounding - BW.
    row("focus", Plain([](TGDIPFill &f) { f.SetColor(kWhite); f.SetFocus(true); f.SetFocusColor(kBlack); }), R, R,
        {{{30, 3}, white, 0}});
    // Rounded by Rounding - BW: here 0, so the dotted line starts in the square corner.
    row("focus, rounding less the border width",
        Plain([](TGDIPFill &f) {
            f.SetColor(kWhite);
            f.SetRounding(4);
            f.SetBorderWidth(4);
            f.SetFocus(true);
            f.SetFocusColor(kBlack);
        }),
        R, R, {{{4, 4}, black, 0}, {{50, 30}, white, 0}});
}

void tst_GDIPFill::fills()
{
    QFETCH(Setup, setup);
    QFETCH(QRectF, r);
    QFETCH(QRectF, body);
    QFETCH(QList<Probe>, probes);
    TGDIPFill fill;
    setup(fill);
    QImage img(110, 70, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    TGDIPFill::TFillAreas result;
    {
        QPainter p(&img);
        TGPGraphics g(&p);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        result = fill.Fill(g, r);
    }
    QCOMPARE(result.Body, body);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    for (const Probe &probe : probes) {
        const QColor got = img.pixelColor(probe.at);
        QVERIFY2(Diff(got, probe.want) <= probe.tolerance,
                 qPrintable(QStringLiteral("(%1,%2) %3, want %4 ± %5").arg(probe.at.x()).arg(probe.at.y())
                                .arg(got.name(), probe.want.name()).arg(probe.tolerance)));
    }
    if (tag == QLatin1String("vertical")) // a vertical gradient is flat along each row
        QCOMPARE(img.pixelColor(1, 30), img.pixelColor(98, 30));
    if (tag == QLatin1String("width 1")) {
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 110; ++x)
                QVERIFY(img.pixelColor(x, y) != QColor(255, 0, 0));
        QVERIFY(img.pixelColor(10, 30).lightness() < 200);
    }
    if (tag == QLatin1String("glow none") || tag == QLatin1String("glow gradient")) // the middle keeps the body colour
        QVERIFY(img.pixelColor(50, 30).lightness() < 70);
    if (tag == QLatin1String("focus")) {
        QCOMPARE(result.Focus, QRectF(1, 1, 98, 58));
        int dark = 0;
        for (int x = 20; x < 40; ++x)
            dark += img.pixelColor(x, 1) == QColor(0, 0, 0);
        QVERIFY2(dark >= 8 && dark <= 12, qPrintable(QString::number(dark))); // every other pixel, no grey
        for (int x = 20; x < 40; ++x)
            QVERIFY(img.pixelColor(x, 1) == QColor(0, 0, 0) || img.pixelColor(x, 1) == QColor(255, 255, 255));
    }
}

QTEST_MAIN(tst_GDIPFill)
#include "tst_gdipfill.moc"
