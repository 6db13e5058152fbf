#include "AdvPanel.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>

TPanelCaption::TPanelCaption(QObject *parent) : QObject(parent), m_font(new TFont(this))
{
    m_font->SetColor(clHighlightText);
    connect(m_font, &TFont::Changed, this, &TPanelCaption::Changed);
}

TPanelStatusBar::TPanelStatusBar(QObject *parent) : QObject(parent), m_font(new TFont(this))
{
    connect(m_font, &TFont::Changed, this, &TPanelStatusBar::Changed);
}

void TPanelBackground::SetImage(const QImage &image)
{
    if (m_image.cacheKey() == image.cacheKey())
        return;
    m_image = image;
    emit Changed();
}

TCustomAdvPanel::TCustomAdvPanel(QWidget *parent)
    : QWidget(parent),
      m_caption(new TPanelCaption(this)),
      m_statusBar(new TPanelStatusBar(this)),
      m_background(new TPanelBackground(this)),
      m_position(new TPanelPosition(this)),
      m_autoSize(new TAutoSize(this)),
      m_officeHint(new TPanelOfficeHint(this))
{
    resize(300, 200);
    m_fullHeight = height();
    if (parent)
        parent->installEventFilter(this);
}

void TCustomAdvPanel::SetColor(TColor v)
{
    if (m_color == v)
        return;
    m_color = v;
    update();
}

void TCustomAdvPanel::SetBevelOuter(TBevelCut v)
{
    if (m_bevelOuter == v)
        return;
    m_bevelOuter = v;
    update();
}

void TCustomAdvPanel::SetBevelInner(TBevelCut v)
{
    if (m_bevelInner == v)
        return;
    m_bevelInner = v;
    update();
}

void TCustomAdvPanel::SetBevelWidth(int v)
{
    v = qMax(1, v);
    if (m_bevelWidth == v)
        return;
    m_bevelWidth = v;
    update();
}

void TCustomAdvPanel::SetBorderWidth(int v)
{
    v = qMax(0, v);
    if (m_borderWidth == v)
        return;
    m_borderWidth = v;
    update();
}

void TCustomAdvPanel::SetBorderColor(TColor v)
{
    if (m_borderColor == v)
        return;
    m_borderColor = v;
    update();
}

void TCustomAdvPanel::BeginUpdate()
{
    if (m_updateCount++ == 0)
        setUpdatesEnabled(false);
}

void TCustomAdvPanel::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        setUpdatesEnabled(true); // repaints what was held back
}

void TCustomAdvPanel::SetAlign(TAlign v)
{
    if (m_align == v)
        return;
    m_align = v;
    Dock();
}

void TCustomAdvPanel::Dock()
{
    if (m_align != alBottom || !parentWidget() || m_docking)
        return;
    m_docking = true;
    setGeometry(0, parentWidget()->height() - height(), parentWidget()->width(), height());
    m_docking = false;
}

void TCustomAdvPanel::Loaded()
{
    TComponent::Loaded();
    Dock();
}

void TCustomAdvPanel::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    // A size set later becomes the full size. The first resize event only delivers the
    // size the layout gave, after which the layout's own FullHeight stands.
    if (e->oldSize().isValid()) {
        const auto side = m_caption->Position();
        const bool across = side == TPanelCaption::cpLeft || side == TPanelCaption::cpRight;
        const int now = across ? width() : height();
        if (now != (across ? e->oldSize().width() : e->oldSize().height()))
            m_fullHeight = now;
    }
    Dock(); // a new height keeps the bar on the bottom edge
}

void TCustomAdvPanel::Frame3D(QPainter &p, QRect &r, const QColor &topLeft, const QColor &bottomRight, int n)
{
    for (int i = 0; i < n; ++i) {
        const int x0 = r.left(), y0 = r.top();
        const int x1 = r.left() + r.width(), y1 = r.top() + r.height(); // exclusive
        // One-pixel rectangles rather than lines: an aliased line on an integer
        // coordinate covers only half of its pixel when Qt scales the window.
        p.fillRect(QRect(x0, y0, 1, y1 - 1 - y0), topLeft);      // left column
        p.fillRect(QRect(x0, y0, x1 - 1 - x0, 1), topLeft);      // top row
        p.fillRect(QRect(x1 - 1, y0, 1, y1 - y0), bottomRight);  // right column
        p.fillRect(QRect(x0, y1 - 1, x1 - x0, 1), bottomRight);  // bottom row
        r.adjust(1, 1, -1, -1);
    }
}

bool TCustomAdvPanel::eventFilter(QObject *o, QEvent *e)
{
    if (o == parentWidget() && e->type() == QEvent::Resize)
        Dock();
    return QWidget::eventFilter(o, e);
}

void TCustomAdvPanel::paintEvent(QPaintEvent *)
{
    // Buffered or not, the panel draws on its own surface: the window's backing store is
    // the off-screen image, shown only when the whole paint is done, in one step. An image
    // of the panel's own would hold the same pixels a second time.
    QPainter p(this);
    QRect r = rect();
    const QColor fill = ColorToQColor(m_color);
    p.fillRect(r, fill);
    if (m_borderColor != clNone && m_borderWidth > 0) {
        p.setPen(QPen(ColorToQColor(m_borderColor), 1));
        for (int i = 0; i < m_borderWidth; ++i)
            p.drawRect(r.adjusted(i, i, -1 - i, -1 - i));
    }
    const QColor hi = ColorToQColor(clBtnHighlight), sh = ColorToQColor(clBtnShadow);
    if (m_bevelOuter != bvNone) {
        const bool lowered = m_bevelOuter == bvLowered;
        Frame3D(p, r, lowered ? sh : hi, lowered ? hi : sh, m_bevelWidth);
    }
    if (m_borderColor == clNone)
        Frame3D(p, r, fill, fill, 1);
    if (m_bevelInner != bvNone) {
        const bool lowered = m_bevelInner == bvLowered;
        Frame3D(p, r, lowered ? sh : hi, lowered ? hi : sh, m_bevelWidth);
    }
    emit OnPaint(this, &p, rect());
}
