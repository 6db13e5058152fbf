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
    // An empty text (or a lone accelerator mark) measures as one blank: one line high.
    const QFontMetrics fm(font());
    QString t = m_caption;
    if (t.isEmpty() || (m_showAccelChar && t == QLatin1String("&")))
        t += QLatin1Char(' ');
    const int flags = (m_showAccelChar ? Qt::TextShowMnemonic : 0) | (m_wordWrap ? Qt::TextWordWrap : 0);
    const QRect bounds = fm.boundingRect(QRect(0, 0, m_wordWrap ? width() : 100000, 100000), flags, t);
    // The line height of the design's text measuring is the font's pixel height.
    const int lineHeight = font().pixelSize() > 0 ? font().pixelSize() : fm.height();
    const int lines = qMax(1, qRound(double(bounds.height()) / fm.height()));
    resize(bounds.width(), lines * lineHeight);
}

void TEllipsLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), ColorToQColor(m_color));
    p.setPen(palette().color(QPalette::WindowText));
    // Word wrap follows Unicode line breaking: between words and between CJK
    // characters, never before closing or after opening punctuation.
    int flags = Qt::AlignLeft | Qt::AlignTop | (m_wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic; // "&&" shows "&", "&x" underlines x
    p.setClipRect(rect());
    if (!isEnabled()) {
        p.setPen(ColorToQColor(clBtnHighlight));
        p.drawText(rect().translated(1, 1), flags, m_caption);
        p.setPen(ColorToQColor(clBtnShadow));
    }
    p.drawText(rect(), flags, m_caption);
}
