#include "AdvGlassButton.h"

#include <QMouseEvent>
#include <QPainter>

TAdvCustomGlassButton::TAdvCustomGlassButton(QWidget *parent) : QWidget(parent), m_font(new TFont(this))
{
    resize(100, 32);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_font, &TFont::Changed, this, [this] {
        m_parentFont = false;
        m_font->ApplyTo(this);
        update();
    });
}

void TAdvCustomGlassButton::SetCaption(const QString &v) { if (m_caption != v) { m_caption = v; update(); } }
void TAdvCustomGlassButton::SetBackColor(TColor v) { if (m_backColor != v) { m_backColor = v; update(); } }
void TAdvCustomGlassButton::SetForeColor(TColor v) { if (m_foreColor != v) { m_foreColor = v; update(); } }
void TAdvCustomGlassButton::SetGlowColor(TColor v) { if (m_glowColor != v) { m_glowColor = v; update(); } }
void TAdvCustomGlassButton::SetInnerBorderColor(TColor v) { if (m_innerBorderColor != v) { m_innerBorderColor = v; update(); } }
void TAdvCustomGlassButton::SetOuterBorderColor(TColor v) { if (m_outerBorderColor != v) { m_outerBorderColor = v; update(); } }
void TAdvCustomGlassButton::SetShineColor(TColor v) { if (m_shineColor != v) { m_shineColor = v; update(); } }
void TAdvCustomGlassButton::SetParentFont(bool v) { m_parentFont = v; }

void TAdvCustomGlassButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QColor body = ColorToQColor(m_backColor);
    body.setAlpha(127);
    p.fillRect(rect().adjusted(1, 1, -1, -1), body);
    p.setPen(ColorToQColor(m_outerBorderColor));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(2, 0, width() - 2, height()), Qt::AlignCenter, m_caption);
}

void TAdvCustomGlassButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_down = true;
        setFocus(Qt::MouseFocusReason);
    }
}

void TAdvCustomGlassButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !m_down)
        return;
    m_down = false;
    if (rect().contains(e->position().toPoint()))
        emit OnClick(this);
}
