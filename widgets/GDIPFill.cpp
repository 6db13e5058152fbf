#include "GDIPFill.h"

#include "Graphics.h"
#include "HatchBrush.h"
#include "PathGradient.h"

#include <QPainter>

namespace {

// The soft shadow is transparent at its outline and reaches this alpha a tenth inwards.
constexpr int kShadowAlpha = 180;
constexpr qreal kShadowRamp = 0.1;

int Effective(int override, int property)
{
    return override < 255 ? override : property;
}

} // namespace

TGDIPFill::TGDIPFill(QObject *parent) : QObject(parent) {}

void TGDIPFill::SetColor(TColor v)
{
    if (m_color == v)
        return;
    m_color = v;
    Changed();
}

void TGDIPFill::SetColorTo(TColor v)
{
    if (m_colorTo == v)
        return;
    m_colorTo = v;
    Changed();
}

void TGDIPFill::SetColorMirror(TColor v)
{
    if (m_colorMirror == v)
        return;
    m_colorMirror = v;
    Changed();
}

void TGDIPFill::SetColorMirrorTo(TColor v)
{
    if (m_colorMirrorTo == v)
        return;
    m_colorMirrorTo = v;
    Changed();
}

void TGDIPFill::SetGradientType(TAdvGradientType v)
{
    if (m_gradientType == v)
        return;
    m_gradientType = v;
    Changed();
}

void TGDIPFill::SetGradientMirrorType(TAdvGradientType v)
{
    if (m_gradientMirrorType == v)
        return;
    m_gradientMirrorType = v;
    Changed();
}

void TGDIPFill::SetHatchStyle(int v)
{
    if (m_hatchStyle == v)
        return;
    m_hatchStyle = v;
    Changed();
}

void TGDIPFill::SetHatchStyleMirror(int v)
{
    if (m_hatchStyleMirror == v)
        return;
    m_hatchStyleMirror = v;
    Changed();
}

void TGDIPFill::SetBorderColor(TColor v)
{
    if (m_borderColor == v)
        return;
    m_borderColor = v;
    Changed();
}

void TGDIPFill::SetBorderWidth(int v)
{
    if (m_borderWidth == v)
        return;
    m_borderWidth = v;
    Changed();
}

void TGDIPFill::SetRounding(int v)
{
    if (m_rounding == v)
        return;
    m_rounding = v;
    Changed();
}

void TGDIPFill::SetRoundingType(TFillRoundingType v)
{
    if (m_roundingType == v)
        return;
    m_roundingType = v;
    Changed();
}

void TGDIPFill::SetShadowColor(TColor v)
{
    if (m_shadowColor == v)
        return;
    m_shadowColor = v;
    Changed();
}

void TGDIPFill::SetShadowOffset(int v)
{
    if (m_shadowOffset == v)
        return;
    m_shadowOffset = v;
    Changed();
}

void TGDIPFill::SetShadowType(TShadowType v)
{
    if (m_shadowType == v)
        return;
    m_shadowType = v;
    Changed();
}

void TGDIPFill::SetAngle(int v)
{
    if (m_angle == v)
        return;
    m_angle = v;
    Changed();
}

void TGDIPFill::SetGlow(TGlowMode v)
{
    if (m_glow == v)
        return;
    m_glow = v;
    Changed();
}

void TGDIPFill::SetGlowGradientColor(TColor v)
{
    if (m_glowGradientColor == v)
        return;
    m_glowGradientColor = v;
    Changed();
}

void TGDIPFill::SetGlowRadialColor(TColor v)
{
    if (m_glowRadialColor == v)
        return;
    m_glowRadialColor = v;
    Changed();
}

void TGDIPFill::SetOpacity(int v)
{
    v = qBound(0, v, 255);
    if (m_opacity == v)
        return;
    m_opacity = v;
    Changed();
}

void TGDIPFill::SetOpacityTo(int v)
{
    v = qBound(0, v, 255);
    if (m_opacityTo == v)
        return;
    m_opacityTo = v;
    Changed();
}

void TGDIPFill::SetOpacityMirror(int v)
{
    v = qBound(0, v, 255);
    if (m_opacityMirror == v)
        return;
    m_opacityMirror = v;
    Changed();
}

void TGDIPFill::SetOpacityMirrorTo(int v)
{
    v = qBound(0, v, 255);
    if (m_opacityMirrorTo == v)
        return;
    m_opacityMirrorTo = v;
    Changed();
}

void TGDIPFill::SetBorderOpacity(int v)
{
    v = qBound(0, v, 255);
    if (m_borderOpacity == v)
        return;
    m_borderOpacity = v;
    Changed();
}

void TGDIPFill::SetFocus(bool v)
{
    if (m_focus == v)
        return;
    m_focus = v;
    Changed();
}

void TGDIPFill::SetFocusColor(TColor v)
{
    if (m_focusColor == v)
        return;
    m_focusColor = v;
    Changed();
}

void TGDIPFill::Changed()
{
    if (FUpdateCount == 0)
        emit OnChange(this);
}

void TGDIPFill::Assign(const QObject *source)
{
    const auto *f = qobject_cast<const TGDIPFill *>(source);
    if (!f)
        return;
    m_color = f->m_color;
    m_colorTo = f->m_colorTo;
    m_colorMirror = f->m_colorMirror;
    m_colorMirrorTo = f->m_colorMirrorTo;
    m_gradientType = f->m_gradientType;
    m_gradientMirrorType = f->m_gradientMirrorType;
    m_hatchStyle = f->m_hatchStyle;
    m_hatchStyleMirror = f->m_hatchStyleMirror;
    m_opacity = f->m_opacity;
    m_opacityTo = f->m_opacityTo;
    m_opacityMirror = f->m_opacityMirror;
    m_opacityMirrorTo = f->m_opacityMirrorTo;
    m_borderColor = f->m_borderColor;
    m_borderOpacity = f->m_borderOpacity;
    m_borderWidth = f->m_borderWidth;
    m_rounding = f->m_rounding;
    m_roundingType = f->m_roundingType;
    m_shadowColor = f->m_shadowColor;
    m_shadowOffset = f->m_shadowOffset;
    m_shadowType = f->m_shadowType;
    m_angle = f->m_angle;
    m_glow = f->m_glow;
    m_glowGradientColor = f->m_glowGradientColor;
    m_glowRadialColor = f->m_glowRadialColor;
    Changed();
}

TGPPath TGDIPFill::CreateRoundRectPath(const QRectF &r, int radius, TFillRoundingType corners)
{
    static constexpr int kCorners[] = {
        0,                                        // rtNone
        CornersTop,                               // rtTop
        CornerBottomLeft | CornerBottomRight,     // rtBottom
        CornersAll,                               // rtBoth
        CornerTopLeft | CornerBottomLeft,         // rtLeft
        CornerTopRight | CornerBottomRight,       // rtRight
    };
    const bool known = corners >= rtNone && corners <= rtRight;
    return RoundedOutline(r, radius, known ? kCorners[corners] : 0);
}

TGDIPFill::TFillAreas TGDIPFill::Areas(const QRectF &r) const
{
    qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    if (h != 1 && w != 1 && m_shadowOffset > 0 && m_shadowColor != clNone) {
        const int so = m_shadowOffset;
        if (m_shadowType == stSurround) {
            x += so;
            y += so;
            w -= 2 * so;
            h -= 2 * so;
        } else if (m_shadowType == stBottom) {
            h -= so;
        } else {
            w -= so;
            h -= so;
        }
    }
    const qreal bw = m_borderWidth;
    return {QRectF(x, y, w, h), QRectF(x + bw, y + bw, w - 2 * bw, h - 2 * bw)};
}

TGDIPFill::TFillAreas TGDIPFill::Fill(TGPGraphics &g, const QRectF &r, int aBorderOpacity, int aOpacity, int aOpacityTo,
                       int aOpacityMirror, int aOpacityMirrorTo)
{
    const TOpacities o{Effective(aOpacity, m_opacity), Effective(aOpacityTo, m_opacityTo),
                       Effective(aOpacityMirror, m_opacityMirror), Effective(aOpacityMirrorTo, m_opacityMirrorTo)};
    const TFillAreas areas = Areas(r);
    const bool border = m_borderWidth > 0 && m_borderColor != clNone;
    const TGPPen borderPen(DrawingColor(quint8(Effective(aBorderOpacity, m_borderOpacity)), m_borderColor), m_borderWidth,
                           DashStyleSolid);
    if (r.height() == 1 || r.width() == 1) {
        // Too thin for a body: at most the border as a line.
        if (border)
            g.DrawLine(borderPen, r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
    } else {
        DrawShadow(g, r);
        DrawBody(g, areas.Body, o);
        if (border)
            g.DrawPath(borderPen, CreateRoundRectPath(areas.Body, m_rounding, m_roundingType));
    }
    DrawGlow(g, areas.Body);
    if (m_focus)
        DrawFocus(g, areas.Focus, o.Start);
    return areas;
}

void TGDIPFill::DrawShadow(TGPGraphics &g, const QRectF &r)
{
    if (m_shadowOffset <= 0 || m_shadowColor == clNone)
        return;
    const int so = m_shadowOffset;
    if (m_shadowType == stBottom) {
        DrawRadialFill(g, QRectF(r.x(), r.y() + r.height() - 2 * so, r.width(), 2 * so), m_shadowColor, m_shadowColor, 0,
                       255, true, m_rounding, rtBottom);
        return;
    }
    const TGPPath outline = m_shadowType == stSurround ? CreateRoundRectPath(r, so, rtBoth)
                                                       : CreateRoundRectPath(r, m_rounding, m_roundingType);
    TPathGradient shadow(outline.Path());
    const QColor sc = DrawingColor(kShadowAlpha, m_shadowColor);
    shadow.SetStops({{0.0, QColor(0, 0, 0, 0)}, {kShadowRamp, sc}, {1.0, sc}});
    shadow.Fill(*g.Painter(), outline.Path());
}

void TGDIPFill::DrawBody(TGPGraphics &g, const QRectF &work, const TOpacities &o)
{
    if (m_gradientType == gtHatch || m_gradientType == gtTexture || m_colorMirror == clNone) {
        DrawPart(g, work, false, m_roundingType, o);
        return;
    }
    // Two parts that overlap by two pixels around the middle; the mirror goes last.
    const qreal x = work.x(), y = work.y(), w = work.width(), h = work.height();
    const qreal half = h / 2.0;
    DrawPart(g, QRectF(x, y, w, h - half + 1), false, rtTop, o);
    DrawPart(g, QRectF(x, y + half - 1, w, h - half + 1), true, rtBottom, o);
}

void TGDIPFill::DrawPart(TGPGraphics &g, const QRectF &r, bool mirror, TFillRoundingType radialCorners,
                         const TOpacities &o)
{
    if ((mirror ? m_gradientMirrorType : m_gradientType) != gtRadial) {
        DrawGradientBackGround(g, r, mirror, o.Start, o.End, o.MirrorStart, o.MirrorEnd);
        return;
    }
    const TColor from = mirror ? m_colorMirror : m_color;
    const TColor to = mirror ? m_colorMirrorTo : m_colorTo;
    if (from != clNone)
        DrawRadialFill(g, r, from, to == clNone ? from : to, mirror ? o.MirrorStart : o.Start,
                       mirror ? o.MirrorEnd : o.End, !mirror, m_rounding, radialCorners);
}

void TGDIPFill::DrawFocus(TGPGraphics &g, const QRectF &focus, int alpha)
{
    const TGPSmoothingMode before = g.SetSmoothingMode(SmoothingModeNone);
    g.DrawPath(TGPPen(DrawingColor(quint8(alpha), m_focusColor), 1, DashStyleDot),
               CreateRoundRectPath(focus, m_rounding - m_borderWidth, m_roundingType));
    g.SetSmoothingMode(before);
}

TGDIPFill::TFillRoundingType TGDIPFill::PartCorners(bool mirror) const
{
    // The main part rounds only its top corners and the mirror part only its bottom ones.
    if (m_colorMirror == clNone)
        return m_roundingType;
    switch (m_roundingType) {
    case rtTop: return mirror ? rtNone : rtTop;
    case rtBottom: return mirror ? rtBottom : rtNone;
    case rtBoth: return mirror ? rtBottom : rtTop;
    default: return m_roundingType;
    }
}

TGPBrush TGDIPFill::PartBrush(TGPGraphics &g, TAdvGradientType kind, const QRectF &r, const QColor &from,
                              const QColor &to, int hatch) const
{
    const QRectF grown(r.x() - 1, r.y() - 1, r.width() + 2, r.height() + 2);
    switch (kind) {
    case gtVertical: return TGPBrush::LinearGradient(grown, from, to, LinearGradientModeVertical, true);
    case gtHorizontal: return TGPBrush::LinearGradient(grown, from, to, LinearGradientModeHorizontal, true);
    case gtForwardDiagonal: return TGPBrush::LinearGradient(grown, from, to, LinearGradientModeForwardDiagonal, true);
    case gtBackwardDiagonal: return TGPBrush::LinearGradient(grown, from, to, LinearGradientModeBackwardDiagonal, true);
    case gtAngle: return TGPBrush::LinearGradientAngle(grown, from, to, m_angle, true, true);
    case gtHatch: return TGPBrush(HatchBrush(hatch, from, to, g.Painter()));
    default: return TGPBrush::Solid(from);
    }
}

void TGDIPFill::DrawGradientBackGround(TGPGraphics &g, const QRectF &r, bool mirror, int oc, int octo, int ocmr,
                                       int ocmrto)
{
    TAdvGradientType kind = mirror ? m_gradientMirrorType : m_gradientType;
    const TColor c1 = mirror ? m_colorMirror : m_color;
    const TColor c2 = mirror ? m_colorMirrorTo : m_colorTo;
    if (c1 == clNone)
        kind = gtNone;
    else if (c2 == clNone)
        kind = gtSolid;

    const bool outlined = m_rounding != 0;
    const TGPPath outline = CreateRoundRectPath(r, m_rounding, PartCorners(mirror));
    TGPSmoothingMode before = g.SmoothingMode();
    if (outlined)
        before = g.SetSmoothingMode(SmoothingModeAntiAlias);
    const QColor col1 = DrawingColor(quint8(mirror ? ocmr : oc), c1);
    const QColor col2 = DrawingColor(quint8(mirror ? ocmrto : octo), c2);
    const bool linear = kind == gtVertical || kind == gtHorizontal || kind == gtForwardDiagonal || kind == gtBackwardDiagonal;
    if (linear || kind == gtSolid || kind == gtAngle || kind == gtHatch) { // texture, radial, path, none: nothing here
        const TGPBrush brush = PartBrush(g, kind, r, col1, col2, mirror ? m_hatchStyleMirror : m_hatchStyle);
        if (outlined)
            g.FillPath(brush, outline);
        else
            g.FillRectangle(brush, r);
        if (linear && mirror) // covers the seam where the mirror part meets the main part
            g.FillRectangle(TGPBrush::Solid(col1), QRectF(r.x(), r.y(), r.width(), 1));
    }
    if (outlined)
        g.SetSmoothingMode(before);
}

void TGDIPFill::DrawRadialFill(TGPGraphics &g, const QRectF &r, TColor a, TColor b, int alphaA, int alphaB,
                               bool top, int radius, TFillRoundingType corners)
{
    const TGPPath outline = CreateRoundRectPath(r, radius, corners);
    g.FillPath(TGPBrush::Solid(top ? DrawingColor(quint8(alphaA), a) : DrawingColor(quint8(alphaB), b)), outline);
    g.SetClip(outline);
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    const QRectF ellipse = top ? QRectF(x, y - h / 2, w, 1.5 * h) : QRectF(x, y, w, 1.5 * h);
    const QPointF centre = top ? QPointF(x + w / 2, y) : QPointF(x + w / 2, y + h);
    const QColor centreColor = top ? DrawingColor(quint8(alphaB), b) : DrawingColor(quint8(alphaA), a);
    const QColor surround = top ? DrawingColor(quint8(alphaA), a) : DrawingColor(quint8(alphaB), b);
    g.FillRectangle(TGPBrush::EllipsePathGradient(ellipse, centre, centreColor, surround), r);
    g.ResetClip();
}

void TGDIPFill::DrawGlow(TGPGraphics &g, const QRectF &r)
{
    if (m_glow == gmNone)
        return;
    g.SetClip(r);
    const QRectF gr(r.x() + 1, r.y() + 1, r.width() - 2, r.height() - 2);
    if (m_glow == gmGradient || m_glow == gmRadialGradient) {
        g.DrawPath(TGPPen(DrawingColor(200, m_glowGradientColor), 1), CreateRoundRectPath(gr, m_rounding, m_roundingType));
        const QRectF t(gr.x() + 5, gr.y(), gr.width() - 10, 4);
        const TGPBrush topBrush = TGPBrush::LinearGradient(t.adjusted(-1, -1, 1, 1), DrawingColor(175, m_glowGradientColor),
                                                           DrawingColor(0, m_glowGradientColor), LinearGradientModeVertical);
        g.FillPolygon(topBrush, {gr.topLeft(), QPointF(gr.x() + 5, gr.y()), QPointF(gr.x() + 5, gr.y() + 4)});
        g.FillPolygon(topBrush, {QPointF(gr.right(), gr.y()), QPointF(gr.x() + gr.width() - 5, gr.y()),
                                 QPointF(gr.x() + gr.width() - 5, gr.y() + 4)});
        g.FillRectangle(topBrush, t);
        const qreal by = gr.y() + gr.height();
        const QRectF b(gr.x() + 5, by - 7, gr.width() - 10, 7);
        const TGPBrush bottomBrush = TGPBrush::LinearGradient(b.adjusted(-1, -1, 1, 1), DrawingColor(0, m_glowGradientColor),
                                                              DrawingColor(220, m_glowGradientColor), LinearGradientModeVertical);
        g.FillPolygon(bottomBrush, {QPointF(gr.x(), by), QPointF(gr.x() + 5, by), QPointF(gr.x() + 5, by - 7)});
        g.FillPolygon(bottomBrush, {QPointF(gr.x() + gr.width(), by), QPointF(gr.x() + gr.width() - 5, by),
                                    QPointF(gr.x() + gr.width() - 5, by - 7)});
        g.FillRectangle(bottomBrush, b);
    }
    if (m_glow == gmRadial || m_glow == gmRadialGradient) {
        const QRectF e(gr.x() + 10, gr.y() - gr.height() / 2, gr.width() - 20, 3 * gr.height());
        g.FillEllipse(TGPBrush::EllipsePathGradient(e, e.center(), DrawingColor(150, m_glowRadialColor),
                                                    DrawingColor(0, m_color)),
                      e);
    }
    g.ResetClip();
}
