#include "Font.h"

#include "Fonts.h"
#include "Graphics.h"

#include <QWidget>
#include <cmath>

// The layout's font styles and the drawing layer's are the same bits.
static_assert(int(TFont::fsBold) == FontStyleBold && int(TFont::fsItalic) == FontStyleItalic
              && int(TFont::fsUnderline) == FontStyleUnderline && int(TFont::fsStrikeOut) == FontStyleStrikeout);

TFont::TFont(QObject *parent) : QObject(parent) {}

void TFont::SetName(const QString &v)
{
    if (m_name == v)
        return;
    m_name = v;
    emit Changed();
}

void TFont::SetHeight(int v)
{
    if (m_height == v)
        return;
    m_height = v;
    emit Changed();
}

int TFont::Size() const
{
    // MulDiv rounding: -Height * 72 / 96 to the nearest integer.
    return int(std::lround(-m_height * 72.0 / kPixelsPerInch));
}

void TFont::SetSize(int points)
{
    SetHeight(-int(std::lround(points * double(kPixelsPerInch) / 72.0)));
}

void TFont::SetColor(TColor v)
{
    if (m_color == v)
        return;
    m_color = v;
    emit Changed();
}

void TFont::SetStyle(TFontStyles v)
{
    if (m_style == v)
        return;
    m_style = v;
    emit Changed();
}

void TFont::SetCharset(TFontCharset v)
{
    if (m_charset == v)
        return;
    m_charset = v;
    emit Changed();
}

void TFont::Assign(const TFont &other)
{
    const bool same = m_name == other.m_name && m_height == other.m_height
                      && m_color == other.m_color && m_style == other.m_style
                      && m_charset == other.m_charset;
    if (same)
        return;
    m_name = other.m_name;
    m_height = other.m_height;
    m_color = other.m_color;
    m_style = other.m_style;
    m_charset = other.m_charset;
    emit Changed();
}

QFont TFont::ToQFont() const
{
    // A positive height is a cell height; treat it like the character height, which is
    // close enough for the faces used here.
    const int px = m_height < 0 ? -m_height : m_height;
    return MakePixelFont(m_name, px, m_style.testFlag(fsBold), m_style.testFlag(fsItalic),
                         m_style.testFlag(fsUnderline), m_style.testFlag(fsStrikeOut));
}

void TFont::ApplyTo(QWidget *w) const
{
    w->setFont(ToQFont());
    QPalette pal = w->palette();
    const QColor c = ColorToQColor(m_color);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, c);
    w->setPalette(pal);
}

void TFont::AssignFromWidget(const QWidget *w)
{
    const QFont f = w->font();
    // The Qt font holds the family the name resolved to, not the name itself: take the
    // name from the nearest ancestor whose own font this is.
    m_name = f.family();
    for (const QWidget *a = w->parentWidget(); a; a = a->parentWidget()) {
        const auto *owner = qobject_cast<const TFont *>(a->property("Font").value<QObject *>());
        if (owner && owner->ToQFont().families() == f.families()) {
            m_name = owner->m_name;
            m_charset = owner->m_charset;
            break;
        }
    }
    m_height = f.pixelSize() > 0 ? -f.pixelSize() : -int(std::lround(f.pointSizeF() * kPixelsPerInch / 72.0));
    m_color = RGBToColor(w->palette().color(QPalette::WindowText));
    m_style = TFontStyles::fromInt(FontStyleOf(f));
}
