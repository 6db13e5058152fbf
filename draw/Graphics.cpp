#include "Graphics.h"

#include "Fonts.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>
#include <QtMath>
#include <cmath>

namespace {

// Paths, pens and brushes put integer coordinates on pixel centres; Qt puts them on
// pixel edges.
constexpr qreal kPixelCentre = 0.5;

// Enough stops that straight interpolation between them stays within one level of the
// gamma-corrected curve for 8-bit channels.
constexpr int kGammaStops = 32;
constexpr qreal kGamma = 2.2;

constexpr qreal kGPMiterLimit = 10.0;

// The parametric angle (as QPainterPath::arcTo uses, clockwise here) of the point of
// the ellipse that lies at the geometric angle `deg`, kept in the same turn as `deg`.
qreal ParametricAngle(qreal deg, qreal rx, qreal ry)
{
    if (rx == ry)
        return deg;
    const qreal a = qDegreesToRadians(deg);
    qreal p = qRadiansToDegrees(std::atan2(rx * std::sin(a), ry * std::cos(a)));
    p += 360.0 * std::round((deg - p) / 360.0);
    return p;
}

QGradient::Spread SpreadFor(TGPWrapMode wrap)
{
    switch (wrap) {
    case WrapModeTile: return QGradient::RepeatSpread;
    case WrapModeTileFlipX:
    case WrapModeTileFlipY:
    case WrapModeTileFlipXY: return QGradient::ReflectSpread;
    case WrapModeClamp: return QGradient::PadSpread;
    }
    return QGradient::RepeatSpread;
}

QGradientStops StopsFor(const QColor &c1, const QColor &c2, bool gamma)
{
    QGradientStops stops;
    if (!gamma) {
        stops << QGradientStop(0.0, c1) << QGradientStop(1.0, c2);
        return stops;
    }
    for (int i = 0; i <= kGammaStops; ++i) {
        const qreal t = qreal(i) / kGammaStops;
        stops << QGradientStop(t, GammaBlend(c1, c2, t));
    }
    return stops;
}

TGPBrush LineBrush(const QLineF &line, const QColor &c1, const QColor &c2, bool gamma, TGPWrapMode wrap)
{
    if (line.p1() == line.p2())
        return TGPBrush::Solid(c1);
    QLinearGradient g(line.p1(), line.p2());
    g.setStops(StopsFor(c1, c2, gamma));
    g.setSpread(SpreadFor(wrap));
    return TGPBrush(QBrush(g));
}

qreal ToLinear(int c) { return std::pow(c / 255.0, kGamma); }
int FromLinear(qreal v) { return qBound(0, int(std::lround(std::pow(v, 1.0 / kGamma) * 255.0)), 255); }

} // namespace

// ---------------------------------------------------------------------------- paths

TGPPath::TGPPath(TGPFillMode mode) : m_mode(mode)
{
    SetFillMode(mode);
}

void TGPPath::SetFillMode(TGPFillMode mode)
{
    m_mode = mode;
    m_path.setFillRule(mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

void TGPPath::JoinTo(const QPointF &p)
{
    if (!m_figureOpen) {
        m_path.moveTo(p);
        m_figureOpen = true;
    } else if (m_path.currentPosition() != p) {
        m_path.lineTo(p);
    }
}

void TGPPath::AddLine(qreal x1, qreal y1, qreal x2, qreal y2)
{
    JoinTo(QPointF(x1, y1));
    m_path.lineTo(x2, y2);
}

QPointF EllipsePointAt(const QRectF &box, qreal angle)
{
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    const qreal p = qDegreesToRadians(ParametricAngle(angle, rx, ry));
    return QPointF(box.center().x() + rx * std::cos(p), box.center().y() + ry * std::sin(p));
}

void TGPPath::AddArc(const QRectF &box, qreal startAngle, qreal sweepAngle)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    const qreal s = ParametricAngle(startAngle, rx, ry);
    qreal e;
    if (sweepAngle >= 360.0)
        e = s + 360.0;
    else if (sweepAngle <= -360.0)
        e = s - 360.0;
    else
        e = ParametricAngle(startAngle + sweepAngle, rx, ry);
    JoinTo(EllipsePointAt(box, startAngle));
    // arcTo counts counter-clockwise on screen.
    m_path.arcTo(box, -s, -(e - s));
}

void TGPPath::AddEllipse(const QRectF &box)
{
    m_path.addEllipse(box); // clockwise from 3 o'clock, closed
    m_figureOpen = false;
}

void TGPPath::AddRectangle(const QRectF &r)
{
    m_path.addRect(r); // clockwise from the top-left corner, closed
    m_figureOpen = false;
}

void TGPPath::AddPolygon(const QVector<QPointF> &points)
{
    if (points.isEmpty())
        return;
    m_path.moveTo(points.first());
    for (int i = 1; i < points.size(); ++i)
        m_path.lineTo(points.at(i));
    m_path.closeSubpath();
    m_figureOpen = false;
}

void TGPPath::CloseFigure()
{
    if (m_figureOpen)
        m_path.closeSubpath();
    m_figureOpen = false;
}

int FontStyleOf(const QFont &f)
{
    return (f.bold() ? FontStyleBold : 0) | (f.italic() ? FontStyleItalic : 0) | (f.underline() ? FontStyleUnderline : 0)
           | (f.strikeOut() ? FontStyleStrikeout : 0);
}

TGPPath RoundedOutline(const QRectF &r, qreal radius, int corners)
{
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    const qreal d = 2 * radius;
    const bool round = radius != 0;
    const bool tl = round && (corners & CornerTopLeft);
    const bool tr = round && (corners & CornerTopRight);
    const bool br = round && (corners & CornerBottomRight);
    const bool bl = round && (corners & CornerBottomLeft);
    TGPPath p(FillModeAlternate);
    if (tl)
        p.AddArc(x, y, d, d, 180, 90);
    p.AddLine(x + (tl ? radius : 0), y, x + w - (tr ? radius : 0), y);
    if (tr)
        p.AddArc(x + w - d, y, d, d, 270, 90);
    p.AddLine(x + w, y + (tr ? radius : 0), x + w, y + h - (br ? radius : 0));
    if (br)
        p.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    p.AddLine(x + w - (br ? radius : 0), y + h, x + (bl ? radius : 0), y + h);
    if (bl)
        p.AddArc(x, y + h - d, d, d, 90, 90);
    p.AddLine(x, y + h - (bl ? radius : 0), x, y + (tl ? radius : 0));
    p.CloseFigure();
    return p;
}

// --------------------------------------------------------------------------- colours

QColor GammaBlend(const QColor &a, const QColor &b, qreal t)
{
    auto mix = [t](int x, int y) { return FromLinear(ToLinear(x) + (ToLinear(y) - ToLinear(x)) * t); };
    const int alpha = int(std::lround(a.alpha() + (b.alpha() - a.alpha()) * t));
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()), alpha);
}

// --------------------------------------------------------------------------- brushes

TGPBrush::TGPBrush(const QBrush &brush, const QPainterPath &boundary) : m_brush(brush), m_boundary(boundary) {}

TGPBrush TGPBrush::Solid(const QColor &c)
{
    return TGPBrush(QBrush(c));
}

QLineF AngleGradientLine(const QRectF &rect, qreal angle, bool angleIsScalable)
{
    const qreal a = qDegreesToRadians(angle);
    qreal dx = std::cos(a), dy = std::sin(a);
    if (angleIsScalable && rect.width() > 0 && rect.height() > 0) {
        // The angle holds on the rectangle squashed to a unit square: the colour is
        // linear in u·cos + v·sin with u, v the rectangle's own 0..1 coordinates, whose
        // direction in the surface is (H·cos, W·sin).
        dx *= rect.height();
        dy *= rect.width();
    }
    const qreal len = std::hypot(dx, dy);
    if (len == 0)
        return QLineF(rect.topLeft(), rect.topLeft());
    dx /= len;
    dy /= len;
    const QPointF corners[] = {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
    qreal lo = 0, hi = 0;
    QPointF start = corners[0];
    for (int i = 0; i < 4; ++i) {
        const qreal proj = corners[i].x() * dx + corners[i].y() * dy;
        if (i == 0 || proj < lo) {
            lo = proj;
            start = corners[i];
        }
        if (i == 0 || proj > hi)
            hi = proj;
    }
    const qreal span = hi - lo;
    return QLineF(start, start + QPointF(dx * span, dy * span));
}

TGPBrush TGPBrush::LinearGradient(const QRectF &rect, const QColor &c1, const QColor &c2,
                                  TGPLinearGradientMode mode, bool gammaCorrection, TGPWrapMode wrap)
{
    switch (mode) {
    case LinearGradientModeHorizontal:
        return LineBrush(QLineF(rect.left(), rect.top(), rect.right(), rect.top()), c1, c2, gammaCorrection, wrap);
    case LinearGradientModeVertical:
        return LineBrush(QLineF(rect.left(), rect.top(), rect.left(), rect.bottom()), c1, c2, gammaCorrection, wrap);
    case LinearGradientModeForwardDiagonal:
        return LinearGradientAngle(rect, c1, c2, 45.0, true, gammaCorrection, wrap);
    case LinearGradientModeBackwardDiagonal:
        return LinearGradientAngle(rect, c1, c2, 135.0, true, gammaCorrection, wrap);
    }
    return Solid(c1);
}

TGPBrush TGPBrush::LinearGradientAngle(const QRectF &rect, const QColor &c1, const QColor &c2, qreal angle,
                                       bool angleIsScalable, bool gammaCorrection, TGPWrapMode wrap)
{
    return LineBrush(AngleGradientLine(rect, angle, angleIsScalable), c1, c2, gammaCorrection, wrap);
}

TGPBrush TGPBrush::LinearGradientPoints(const QPointF &p1, const QPointF &p2, const QColor &c1, const QColor &c2,
                                        bool gammaCorrection, TGPWrapMode wrap)
{
    return LineBrush(QLineF(p1, p2), c1, c2, gammaCorrection, wrap);
}

TGPBrush TGPBrush::EllipsePathGradient(const QRectF &ellipse, const QPointF &centrePoint,
                                       const QColor &centreColor, const QColor &surroundColor)
{
    const qreal rx = ellipse.width() / 2, ry = ellipse.height() / 2;
    if (rx <= 0 || ry <= 0)
        return TGPBrush(QBrush(Qt::NoBrush));
    // In the frame where the ellipse is the unit circle, a radial gradient from a focal
    // point is linear along every ray from that point to the circle; the scaling maps
    // rays to rays and keeps ratios along them, so the result is exactly the ellipse's
    // path gradient.
    const QPointF c = ellipse.center();
    const QPointF focal((centrePoint.x() - c.x()) / rx, (centrePoint.y() - c.y()) / ry);
    QRadialGradient g(QPointF(0, 0), 1.0, focal);
    g.setColorAt(0.0, centreColor);
    g.setColorAt(1.0, surroundColor);
    g.setSpread(QGradient::PadSpread);
    QBrush b(g);
    b.setTransform(QTransform(rx, 0, 0, ry, c.x(), c.y()));
    QPainterPath boundary;
    boundary.addEllipse(ellipse);
    return TGPBrush(b, boundary);
}

// ------------------------------------------------------------------------------ pens

QVector<qreal> DashPattern(TGPDashStyle dash)
{
    switch (dash) {
    case DashStyleSolid: return {};
    case DashStyleDash: return {3, 1};
    case DashStyleDot: return {1, 1};
    case DashStyleDashDot: return {3, 1, 1, 1};
    case DashStyleDashDotDot: return {3, 1, 1, 1, 1, 1};
    }
    return {};
}

TGPPen::TGPPen(const QColor &c, qreal width, TGPDashStyle dash)
    : m_pen(QBrush(c), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin)
{
    m_pen.setMiterLimit(kGPMiterLimit);
    SetDashStyle(dash);
}

void TGPPen::SetDashStyle(TGPDashStyle dash)
{
    m_dash = dash;
    const QVector<qreal> pattern = DashPattern(dash);
    if (pattern.isEmpty())
        m_pen.setStyle(Qt::SolidLine);
    else
        m_pen.setDashPattern(pattern);
}

// ------------------------------------------------------------------------------ text

bool GPFontFamilyExists(const QString &family)
{
    return FontFamilyFound(family);
}

QString GPFontFamilyOr(const QString &family, const QString &fallback)
{
    return GPFontFamilyExists(family) ? family : fallback;
}

qreal PointsToPixels(qreal points)
{
    return points * kGPPixelsPerInch / 72.0;
}

TGPFont::TGPFont(const QString &family, qreal emSizePoints, int style) : m_pixels(PointsToPixels(emSizePoints))
{
    // Qt takes whole pixel sizes; the sizes used here (12 pt = 16 px) are whole.
    m_font = MakePixelFont(family, int(std::lround(m_pixels)), style & FontStyleBold, style & FontStyleItalic,
                           style & FontStyleUnderline, style & FontStyleStrikeout);
}

int TGPStringFormat::QtFlags() const
{
    int f = 0;
    switch (Alignment) {
    case StringAlignmentNear: f |= Qt::AlignLeft; break;
    case StringAlignmentCenter: f |= Qt::AlignHCenter; break;
    case StringAlignmentFar: f |= Qt::AlignRight; break;
    }
    switch (LineAlignment) {
    case StringAlignmentNear: f |= Qt::AlignTop; break;
    case StringAlignmentCenter: f |= Qt::AlignVCenter; break;
    case StringAlignmentFar: f |= Qt::AlignBottom; break;
    }
    if (!(FormatFlags & StringFormatFlagsNoWrap))
        f |= Qt::TextWordWrap;
    if (HotkeyPrefix == HotkeyPrefixShow)
        f |= Qt::TextShowMnemonic;
    else if (HotkeyPrefix == HotkeyPrefixHide)
        f |= Qt::TextHideMnemonic;
    return f;
}

// ------------------------------------------------------------------------- surfaces

TGPGraphics::TGPGraphics(QPainter *painter) : m_p(painter)
{
    m_p->save();
    Init();
}

TGPGraphics::TGPGraphics(QPaintDevice *device) : m_p(new QPainter(device)), m_ownsPainter(true)
{
    Init();
}

TGPGraphics::~TGPGraphics()
{
    if (m_ownsPainter) {
        m_p->end();
        delete m_p;
    } else {
        m_p->restore();
    }
}

void TGPGraphics::Init()
{
    m_baseClipped = m_p->hasClipping();
    if (m_baseClipped)
        m_baseClip = m_p->clipPath().translated(-kPixelCentre, -kPixelCentre);
    m_p->translate(kPixelCentre, kPixelCentre);
    m_p->setRenderHint(QPainter::Antialiasing, false);
    m_p->setRenderHint(QPainter::SmoothPixmapTransform, false);
}

TGPSmoothingMode TGPGraphics::SetSmoothingMode(TGPSmoothingMode mode)
{
    const TGPSmoothingMode previous = m_smoothing;
    m_smoothing = mode;
    m_p->setRenderHint(QPainter::Antialiasing, mode == SmoothingModeAntiAlias);
    return previous;
}

TGPTextRenderingHint TGPGraphics::SetTextRenderingHint(TGPTextRenderingHint hint)
{
    const TGPTextRenderingHint previous = m_textHint;
    m_textHint = hint;
    return previous;
}

void TGPGraphics::FillShape(const TGPBrush &brush, QPainterPath shape)
{
    if (brush.Brush().style() == Qt::NoBrush)
        return;
    if (brush.Bounded())
        shape = shape.intersected(brush.Boundary());
    m_p->setPen(Qt::NoPen);
    m_p->setBrush(brush.Brush());
    m_p->drawPath(shape);
}

void TGPGraphics::FillPath(const TGPBrush &brush, const TGPPath &path)
{
    FillShape(brush, path.Path());
}

void TGPGraphics::DrawPath(const TGPPen &pen, const TGPPath &path)
{
    m_p->setPen(pen.Pen());
    m_p->setBrush(Qt::NoBrush);
    m_p->drawPath(path.Path());
}

void TGPGraphics::FillRectangle(const TGPBrush &brush, const QRectF &r)
{
    QPainterPath p;
    p.addRect(r);
    FillShape(brush, p);
}

void TGPGraphics::FillEllipse(const TGPBrush &brush, const QRectF &r)
{
    QPainterPath p;
    p.addEllipse(r);
    FillShape(brush, p);
}

void TGPGraphics::FillPolygon(const TGPBrush &brush, const QVector<QPointF> &points)
{
    TGPPath p;
    p.AddPolygon(points);
    FillShape(brush, p.Path());
}

void TGPGraphics::DrawLine(const TGPPen &pen, qreal x1, qreal y1, qreal x2, qreal y2)
{
    m_p->setPen(pen.Pen());
    m_p->drawLine(QLineF(x1, y1, x2, y2));
}

void TGPGraphics::DrawRectangle(const TGPPen &pen, const QRectF &r)
{
    m_p->setPen(pen.Pen());
    m_p->setBrush(Qt::NoBrush);
    m_p->drawRect(r);
}

void TGPGraphics::ResetClip()
{
    if (m_baseClipped)
        m_p->setClipPath(m_baseClip, Qt::ReplaceClip);
    else
        m_p->setClipping(false);
}

void TGPGraphics::SetClip(const QRectF &r, TGPCombineMode mode)
{
    TGPPath path;
    path.AddRectangle(r);
    SetClip(path, mode);
}

void TGPGraphics::SetClip(const TGPPath &path, TGPCombineMode mode)
{
    if (path.IsEmpty() && mode == CombineModeIntersect)
        return;
    if (mode == CombineModeReplace)
        ResetClip();
    m_p->setClipPath(path.Path(), m_p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

QFont TGPGraphics::RenderFont(const QFont &f) const
{
    QFont font = f;
    switch (m_textHint) {
    case TextRenderingHintSystemDefault:
        break;
    case TextRenderingHintSingleBitPerPixelGridFit:
    case TextRenderingHintSingleBitPerPixel:
        font.setStyleStrategy(QFont::NoAntialias);
        break;
    case TextRenderingHintAntiAliasGridFit:
        font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
        font.setHintingPreference(QFont::PreferFullHinting);
        break;
    case TextRenderingHintAntiAlias:
        font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
        font.setHintingPreference(QFont::PreferNoHinting);
        break;
    case TextRenderingHintClearTypeGridFit:
        // Sub-pixel where the target allows it (Qt falls back to grey anti-aliasing on
        // surfaces with alpha). That is the default strategy already; naming it
        // (PreferAntialias changes nothing for outline faces) would make a font engine of
        // its own instead of sharing the one the window's labels loaded.
        font.setStyleStrategy(QFont::PreferDefault);
        font.setHintingPreference(QFont::PreferFullHinting);
        break;
    }
    return font;
}

namespace {

bool Unbounded(const QRectF &layout) { return layout.width() <= 0 || layout.height() <= 0; }

constexpr qreal kNoBounds = 1.0e6;

} // namespace

void TGPGraphics::DrawString(const QString &text, const TGPFont &font, const QRectF &layout,
                             const TGPStringFormat &format, const TGPBrush &brush)
{
    if (text.isEmpty() || brush.Brush().style() == Qt::NoBrush)
        return;
    m_p->save();
    // Text lands on the pixel grid, as grid-fitted text does.
    m_p->translate(-kPixelCentre, -kPixelCentre);
    m_p->setFont(RenderFont(FontForText(font.Font(), text)));
    m_p->setRenderHint(QPainter::TextAntialiasing, m_textHint != TextRenderingHintSingleBitPerPixel
                                                       && m_textHint != TextRenderingHintSingleBitPerPixelGridFit);
    m_p->setPen(QPen(brush.Brush(), 0));
    int flags = format.QtFlags();
    QRectF r = layout;
    if (Unbounded(layout)) {
        flags &= ~(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask | Qt::TextWordWrap);
        r = QRectF(layout.topLeft(), QSizeF(kNoBounds, kNoBounds));
    } else if (!(format.FormatFlags & StringFormatFlagsNoClip)) {
        m_p->setClipRect(r, m_p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    m_p->drawText(r, flags, text);
    m_p->restore();
}

QRectF TGPGraphics::MeasureString(const QString &text, const TGPFont &font, const QRectF &layout,
                                  const TGPStringFormat &format) const
{
    const QFontMetricsF fm(RenderFont(FontForText(font.Font(), text)));
    int flags = format.QtFlags();
    QRectF r = layout;
    if (Unbounded(layout)) {
        flags &= ~(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask | Qt::TextWordWrap);
        r = QRectF(layout.topLeft(), QSizeF(kNoBounds, kNoBounds));
    }
    return fm.boundingRect(r, flags, text);
}

void TGPGraphics::DrawImage(const QImage &image, int x, int y, qreal opacity)
{
    if (image.isNull())
        return;
    m_p->save();
    m_p->translate(-kPixelCentre, -kPixelCentre);
    m_p->setOpacity(m_p->opacity() * opacity);
    m_p->drawImage(QPoint(x, y), image);
    m_p->restore();
}
