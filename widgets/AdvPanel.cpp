#include "AdvPanel.h"

#include <QEvent>
#include <QPainter>

TPanelCaption::TPanelCaption(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}
TPanelStatusBar::TPanelStatusBar(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}

TCustomAdvPanel::TCustomAdvPanel(QWidget *parent)
    : QWidget(parent), m_caption(new TPanelCaption(this)), m_statusBar(new TPanelStatusBar(this))
{
    resize(300, 200);
    if (parent)
        parent->installEventFilter(this);
}

void TCustomAdvPanel::SetColor(TColor v) { if (m_color != v) { m_color = v; update(); } }
void TCustomAdvPanel::SetText(const QString &v) { if (m_text != v) { m_text = v; update(); } }

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
    // Buffered: everything is drawn into an image of the client size, copied in one step.
    QImage buffer;
    QPainter direct;
    QPainter *p = nullptr;
    QPainter bufferPainter;
    if (m_buffered) {
        const qreal dpr = devicePixelRatioF();
        buffer = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
        buffer.setDevicePixelRatio(dpr);
        bufferPainter.begin(&buffer);
        p = &bufferPainter;
    } else {
        direct.begin(this);
        p = &direct;
    }
    QRect r = rect();
    const QColor fill = ColorToQColor(m_color);
    p->fillRect(r, fill);
    if (m_borderColor != clNone && m_borderWidth > 0) {
        p->setPen(QPen(ColorToQColor(m_borderColor), 1));
        for (int i = 0; i < m_borderWidth; ++i)
            p->drawRect(r.adjusted(i, i, -1 - i, -1 - i));
    }
    const QColor hi = ColorToQColor(clBtnHighlight), sh = ColorToQColor(clBtnShadow);
    if (m_bevelOuter != bvNone) {
        const bool lowered = m_bevelOuter == bvLowered;
        Frame3D(*p, r, lowered ? sh : hi, lowered ? hi : sh, m_bevelWidth);
    }
    if (m_borderColor == clNone)
        Frame3D(*p, r, fill, fill, 1);
    if (m_bevelInner != bvNone) {
        const bool lowered = m_bevelInner == bvLowered;
        Frame3D(*p, r, lowered ? sh : hi, lowered ? hi : sh, m_bevelWidth);
    }
    emit OnPaint(this, p, rect());
    if (m_buffered) {
        bufferPainter.end();
        QPainter w(this);
        w.drawImage(0, 0, buffer);
    }
}
