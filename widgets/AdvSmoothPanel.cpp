#include "AdvSmoothPanel.h"

#include <QPainter>
#include <QPainterPath>

TAdvSmoothPanelCaption::TAdvSmoothPanelCaption(QObject *parent)
    : QObject(parent), m_font(new TFont(this)), m_htmlFont(new TFont(this))
{
}

void TAdvSmoothPanelCaption::SetText(const QString &v) { if (m_text != v) { m_text = v; emit OnChange(this); } }
void TAdvSmoothPanelCaption::SetLocation(TAdvSmoothPanelLocation v) { if (m_location != v) { m_location = v; emit OnChange(this); } }

TAdvSmoothPanel::TAdvSmoothPanel(QWidget *parent)
    : QWidget(parent), m_caption(new TAdvSmoothPanelCaption(this)), m_fill(new TGDIPFill(this))
{
    resize(256, 128);
    connect(m_caption, &TAdvSmoothPanelCaption::OnChange, this, [this] { update(); });
    connect(m_fill, &TGDIPFill::OnChange, this, [this] { update(); });
}

void TAdvSmoothPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    const int r = m_fill->Rounding();
    path.addRoundedRect(QRectF(0.5, 0.5, width() - 11, height() - 11), r, r);
    p.fillPath(path, ColorToQColor(m_fill->Color()));
    p.setPen(ColorToQColor(m_fill->BorderColor()));
    p.drawPath(path);
    p.drawText(QRect(0, 0, width() - 10, 20), Qt::AlignHCenter | Qt::AlignTop, m_caption->Text());
}
