#include "AdvSmoothPanel.h"

#include "Allocator.h"
#include "Fonts.h"
#include "Graphics.h"
#include "HatchBrush.h"

#include <QAccessible>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace {
// The caption's underline starts this far right of the fill body's left edge and ends
// this far short of the body's width.
constexpr int kUnderlineInset = 2;

TGPFont CaptionGPFont(const TFont &cf)
{
    const qreal s = 1.0; // the layout is in 96-dpi pixels; Qt scales the finished window
    const QString family = FontFamilyFound(cf.Name()) ? cf.Name() : QStringLiteral("Arial");
    return TGPFont(family, cf.Size() * s, int(cf.Style()) & kCaptionFontStyles);
}

// The caption's size from its measured box: one pixel wider, and nothing for no box.
QSizeF CaptionSize(const QRectF &measured)
{
    if (measured.isNull())
        return QSizeF(1, 0);
    return QSizeF(measured.width() + 1, measured.height());
}

// Where the caption's box goes: at Left and Top, or in one of nine places of the body,
// by whole pixels.
QPoint CaptionPlace(const TAdvSmoothPanelCaption &c, const QRectF &r, const QSizeF &size)
{
    const auto loc = c.Location();
    if (loc == TAdvSmoothPanelCaption::plCustom)
        return QPoint(c.Left(), c.Top());
    const int tw = int(std::nearbyint(size.width())), th = int(std::nearbyint(size.height()));
    const int rx = int(std::nearbyint(r.x())), ry = int(std::nearbyint(r.y()));
    const int rw = int(std::nearbyint(r.width())), rh = int(std::nearbyint(r.height()));
    const int col = int(loc) % 3, row = int(loc) / 3;
    const int x = col == 0 ? rx : col == 1 ? qMax(rw - tw, rx) / 2 : qMax(rw - tw, rx);
    const int y = row == 0 ? ry : row == 1 ? (rh - th) / 2 : rh - th;
    return QPoint(x, y);
}

// The text brush over the caption's box; false for a kind that draws no text.
bool CaptionBrush(const TAdvSmoothPanelCaption &c, const QRectF &box, TGPBrush *brush)
{
    const QColor start = DrawingColor(c.OpacityStart(), c.ColorStart());
    const QColor end = c.ColorEnd() == clNone ? start : DrawingColor(c.OpacityEnd(), c.ColorEnd());
    const qreal x = box.x(), y = box.y(), w = box.width(), h = box.height();
    switch (c.GradientType()) {
    case TGDIPFill::gtSolid: *brush = TGPBrush::Solid(start); return true;
    case TGDIPFill::gtVertical: *brush = TGPBrush::LinearGradientPoints(QPointF(x, y), QPointF(x, y + h), start, end); return true;
    case TGDIPFill::gtHorizontal: *brush = TGPBrush::LinearGradientPoints(QPointF(x, y), QPointF(x + w, y), start, end); return true;
    case TGDIPFill::gtForwardDiagonal:
        *brush = TGPBrush::LinearGradientPoints(QPointF(x, y), QPointF(x + w, y + h), start, end);
        return true;
    case TGDIPFill::gtBackwardDiagonal:
        *brush = TGPBrush::LinearGradientPoints(QPointF(x, y + h), QPointF(x + w, y), end, start);
        return true;
    case TGDIPFill::gtHatch: *brush = TGPBrush(HatchBrush(c.HatchStyle(), start, end)); return true;
    default: return false; // the caption picture as texture is not supported
    }
}

} // namespace

TAdvSmoothPanelCaption::TAdvSmoothPanelCaption(QObject *parent)
    : QObject(parent), m_font(new TFont(this)), m_htmlFont(new TFont(this))
{
    m_font->SetHeight(-16); // 12 pt
    m_htmlFont->SetHeight(-11);
    connect(m_font, &TFont::Changed, this, [this] { emit OnChange(this); });
}

void TAdvSmoothPanelCaption::SetText(const QString &v)
{
    if (m_text == v)
        return;
    m_text = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetLocation(TAdvSmoothPanelLocation v)
{
    if (m_location == v)
        return;
    m_location = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetColorStart(TColor v)
{
    if (m_colorStart == v)
        return;
    m_colorStart = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetColorEnd(TColor v)
{
    if (m_colorEnd == v)
        return;
    m_colorEnd = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetLineColor(TColor v)
{
    if (m_lineColor == v)
        return;
    m_lineColor = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetLine(bool v)
{
    if (m_line == v)
        return;
    m_line = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetTextWordWrapping(bool v)
{
    if (m_wrap == v)
        return;
    m_wrap = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetLeft(int v)
{
    if (m_left == v)
        return;
    m_left = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetTop(int v)
{
    if (m_top == v)
        return;
    m_top = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetOpacityStart(int v)
{
    v = qBound(0, v, 255);
    if (m_opacityStart == v)
        return;
    m_opacityStart = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetOpacityEnd(int v)
{
    v = qBound(0, v, 255);
    if (m_opacityEnd == v)
        return;
    m_opacityEnd = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetGradientType(TGDIPFill::TAdvGradientType v)
{
    if (m_gradientType == v)
        return;
    m_gradientType = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetHatchStyle(int v)
{
    if (m_hatchStyle == v)
        return;
    m_hatchStyle = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetTextRendering(TAdvSmoothPanelTextRenderingHint v)
{
    if (m_textRendering == v)
        return;
    m_textRendering = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::SetTextAlignment(TAlignment v)
{
    if (m_textAlignment == v)
        return;
    m_textAlignment = v;
    emit OnChange(this);
}

void TAdvSmoothPanelCaption::Assign(const TAdvSmoothPanelCaption &o)
{
    m_text = o.m_text;
    m_location = o.m_location;
    m_colorStart = o.m_colorStart;
    m_colorEnd = o.m_colorEnd;
    m_line = o.m_line;
    m_wrap = o.m_wrap;
    m_left = o.m_left;
    m_top = o.m_top;
    m_opacityStart = o.m_opacityStart;
    m_opacityEnd = o.m_opacityEnd;
    m_gradientType = o.m_gradientType;
    m_hatchStyle = o.m_hatchStyle;
    m_textAlignment = o.m_textAlignment;
    m_font->Assign(*o.m_font);
    m_htmlFont->Assign(*o.m_htmlFont);
    emit OnChange(this);
}

TAdvSmoothPanel::TAdvSmoothPanel(QWidget *parent)
    : QWidget(parent), m_caption(new TAdvSmoothPanelCaption(this)), m_fill(new TGDIPFill(this))
{
    resize(256, 128);
    connect(m_caption, &TAdvSmoothPanelCaption::OnChange, this, [this] {
        Refresh();
        // The caption names the panel; its looks do not.
        if (m_caption->Text() != m_namedBy) {
            m_namedBy = m_caption->Text();
            ReportAccessibility(QAccessibleEvent(this, QAccessible::NameChanged));
        }
    });
    connect(m_fill, &TGDIPFill::OnChange, this, [this] { Refresh(); });
}

void TAdvSmoothPanel::Refresh()
{
    refreshcache = true;
    update();
}

void TAdvSmoothPanel::SetTransparent(bool v)
{
    if (m_transparent == v)
        return;
    m_transparent = v;
    Refresh();
}

void TAdvSmoothPanel::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Refresh();
}

void TAdvSmoothPanel::moveEvent(QMoveEvent *e)
{
    QWidget::moveEvent(e);
    // The image stays; only what shows through the shadow changed (Qt repaints the
    // uncovered parent itself).
    if (m_fill->ShadowColor() != clNone && m_fill->ShadowOffset() > 0)
        update();
}

void TAdvSmoothPanel::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    // The cached image holds system colours as they resolved when it was rendered.
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::ApplicationPaletteChange
        || e->type() == QEvent::StyleChange)
        Refresh();
}

void TAdvSmoothPanel::paintEvent(QPaintEvent *)
{
    if (width() <= 1 || height() <= 1)
        return;
    const qreal dpr = devicePixelRatioF();
    // Besides the settings (refreshcache), the image holds the size and the pixel ratio
    // it was rendered at; two ratios can round a small panel to the same device size.
    if (refreshcache || FCache.size() != size() * dpr || FCache.devicePixelRatio() != dpr) {
        refreshcache = false;
        FCache = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
        PopulateForWriting(FCache.bits(), FCache.sizeInBytes());
        FCache.setDevicePixelRatio(dpr);
        FCache.fill(Qt::transparent);
        QPainter cp(&FCache);
        TGPGraphics g(&cp);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        switch (m_caption->TextRendering()) {
        case TAdvSmoothPanelCaption::tAntiAlias: g.SetTextRenderingHint(TextRenderingHintAntiAlias); break;
        case TAdvSmoothPanelCaption::tAntiAliasGridFit: g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit); break;
        case TAdvSmoothPanelCaption::tClearType: g.SetTextRenderingHint(TextRenderingHintClearTypeGridFit); break;
        }
        RenderPanel(g);
        ++m_renderCount;
    }
    // The parent is already painted under us; blend the cached image over it, or over the
    // panel's own colour when it is not transparent.
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), palette().color(QPalette::Window));
    p.drawImage(0, 0, FCache);
}

QRectF TAdvSmoothPanel::OuterRect() const
{
    return (m_fill->BorderColor() != clNone && m_fill->BorderWidth() != 0) ? QRectF(0, 0, width() - 1, height() - 1)
                                                                           : QRectF(-1, -1, width() + 1, height() + 1);
}

QRectF TAdvSmoothPanel::BodyRect() const
{
    return m_fill->Areas(OuterRect()).Body;
}

void TAdvSmoothPanel::RenderPanel(TGPGraphics &g)
{
    const QRectF r = m_fill->Fill(g, OuterRect()).Body;
    const TAdvSmoothPanelCaption &c = *m_caption;
    const QString text = c.Text();
    if (text.isEmpty())
        return;

    const TGPFont font = CaptionGPFont(*c.Font());
    TGPStringFormat format;
    if (!c.TextWordWrapping())
        format.FormatFlags |= StringFormatFlagsNoWrap;
    const QSizeF size = CaptionSize(g.MeasureString(text, font, r, format));
    const QPoint at = CaptionPlace(c, r, size);
    const QRectF box(at.x(), at.y(), size.width(), size.height());
    TGPBrush brush;
    if (CaptionBrush(c, box, &brush)) {
        switch (c.TextAlignment()) {
        case TAdvSmoothPanelCaption::taRightJustify: format.Alignment = StringAlignmentFar; break;
        case TAdvSmoothPanelCaption::taCenter: format.Alignment = StringAlignmentCenter; break;
        case TAdvSmoothPanelCaption::taLeftJustify: break;
        }
        g.DrawString(text, font, box, format, brush);
    }
    if (c.LineColor() != clNone && c.Line()) {
        const auto loc = c.Location();
        const bool bottom = loc == TAdvSmoothPanelCaption::plBottomLeft || loc == TAdvSmoothPanelCaption::plBottomCenter
                            || loc == TAdvSmoothPanelCaption::plBottomRight;
        const qreal yl = bottom ? box.y() - 2 : box.y() + box.height();
        g.DrawLine(TGPPen(DrawingColor(255, c.LineColor()), 1), std::nearbyint(r.x() + kUnderlineInset), yl,
                   std::nearbyint(r.width() - kUnderlineInset), yl);
    }
}
