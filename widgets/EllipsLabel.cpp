#include "EllipsLabel.h"

#include <QPainter>

TEllipsLabel::TEllipsLabel(QWidget *parent) : QWidget(parent), m_font(new TFont(this))
{
    resize(65, 17);
    connect(m_font, &TFont::Changed, this, [this] {
        m_parentFont = false;
        m_font->ApplyTo(this);
        AdjustBounds();
        update();
    });
}

void TEllipsLabel::SetCaption(const QString &v)
{
    if (m_caption == v)
        return;
    m_caption = v;
    AdjustBounds();
    update();
}

void TEllipsLabel::SetEllipsType(TEllipsType v) { if (m_ellipsType != v) { m_ellipsType = v; update(); } }
void TEllipsLabel::SetAutoSize(bool v) { if (m_autoSize != v) { m_autoSize = v; AdjustBounds(); } }
void TEllipsLabel::SetWordWrap(bool v) { if (m_wordWrap != v) { m_wordWrap = v; AdjustBounds(); update(); } }
void TEllipsLabel::SetShowAccelChar(bool v) { if (m_showAccelChar != v) { m_showAccelChar = v; update(); } }
void TEllipsLabel::SetTransparent(bool v) { if (m_transparent != v) { m_transparent = v; update(); } }
void TEllipsLabel::SetColor(TColor v) { m_parentColor = false; if (m_color != v) { m_color = v; update(); } }
void TEllipsLabel::SetParentColor(bool v) { m_parentColor = v; }
void TEllipsLabel::SetParentFont(bool v) { m_parentFont = v; }

void TEllipsLabel::Loaded()
{
    TComponent::Loaded();
    AdjustBounds();
}

void TEllipsLabel::AdjustBounds()
{
    if (!m_autoSize || ComponentLoading())
        return;
    const QFontMetrics fm(font());
    const QString t = m_caption.isEmpty() ? QStringLiteral(" ") : m_caption;
    resize(fm.horizontalAdvance(t), fm.height());
}

void TEllipsLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), ColorToQColor(m_color));
    p.setPen(palette().color(QPalette::WindowText));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (m_wordWrap ? Qt::TextWrapAnywhere : Qt::TextSingleLine);
    p.drawText(rect(), flags, m_caption);
}
