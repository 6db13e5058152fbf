#include "Colors.h"

#include <QGuiApplication>

namespace {

struct NamedColor {
    const char *name;
    TColor value;
};

constexpr NamedColor kNamedColors[] = {
    {"clNone", clNone},           {"clDefault", clDefault},
    {"clBlack", clBlack},         {"clMaroon", clMaroon},
    {"clGreen", clGreen},         {"clOlive", clOlive},
    {"clNavy", clNavy},           {"clPurple", clPurple},
    {"clTeal", clTeal},           {"clGray", clGray},
    {"clSilver", clSilver},       {"clRed", clRed},
    {"clLime", clLime},           {"clYellow", clYellow},
    {"clBlue", clBlue},           {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},           {"clWhite", clWhite},
    {"clWindow", clWindow},       {"clWindowFrame", clWindowFrame},
    {"clWindowText", clWindowText}, {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},     {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},   {"clInfoBk", clInfoBk},
};

QColor FromBGR(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The platform scheme here is Qt's palette; each system colour maps to the role that
// plays the same part in it.
QColor SystemColor(TColor c, const QPalette &pal)
{
    switch (c & 0xFF) {
    case 5: return pal.color(QPalette::Active, QPalette::Base);            // window
    case 6: return pal.color(QPalette::Active, QPalette::Shadow);          // window frame
    case 8: return pal.color(QPalette::Active, QPalette::Text);            // window text
    case 13: return pal.color(QPalette::Active, QPalette::Highlight);
    case 14: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Active, QPalette::Button);          // button face
    case 16: return pal.color(QPalette::Active, QPalette::Dark);            // button shadow
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);          // grey text
    case 18: return pal.color(QPalette::Active, QPalette::ButtonText);
    case 20: return pal.color(QPalette::Active, QPalette::Light);           // button highlight
    case 21: return pal.color(QPalette::Active, QPalette::Shadow);          // 3-D dark shadow
    case 22: return pal.color(QPalette::Active, QPalette::Midlight);        // 3-D light
    case 23: return pal.color(QPalette::Active, QPalette::ToolTipText);
    case 24: return pal.color(QPalette::Active, QPalette::ToolTipBase);
    default: return pal.color(QPalette::Active, QPalette::Window);
    }
}

} // namespace

QPalette DesignPalette()
{
    const QColor window(239, 239, 239);
    const QColor dark = window.darker(150);
    const QColor mid = window.darker(130);
    const QColor shadow = dark.darker(135);
    QPalette pal(Qt::black, window, window.lighter(150), dark, mid, Qt::black, Qt::white);
    pal.setBrush(QPalette::Midlight, mid.lighter(110));
    pal.setBrush(QPalette::Button, window);
    pal.setBrush(QPalette::Shadow, shadow);
    pal.setBrush(QPalette::HighlightedText, Qt::white);
    const QColor disabledText(190, 190, 190);
    pal.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
    pal.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
    pal.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
    pal.setBrush(QPalette::Disabled, QPalette::Base, window);
    pal.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    pal.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
    pal.setBrush(QPalette::Active, QPalette::Highlight, QColor(48, 140, 198));
    pal.setBrush(QPalette::Inactive, QPalette::Highlight, QColor(48, 140, 198));
    pal.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    QColor placeholder(Qt::black);
    placeholder.setAlpha(128);
    pal.setBrush(QPalette::PlaceholderText, placeholder);
    pal.setBrush(QPalette::ToolTipBase, QColor(255, 255, 220));
    pal.setBrush(QPalette::ToolTipText, Qt::black);
    return pal;
}

QColor ColorToQColor(TColor c, const QPalette &palette)
{
    if (IsSystemColor(c)) {
        QColor q = SystemColor(c, palette);
        q.setAlpha(255);
        return q;
    }
    return FromBGR(c);
}

QColor ColorToQColor(TColor c)
{
    return ColorToQColor(c, QGuiApplication::palette());
}

QColor LiteralColor(TColor c)
{
    return FromBGR(c);
}

QColor DrawingColor(quint8 alpha, TColor c)
{
    QColor q = ColorToQColor(c);
    q.setAlpha(alpha);
    return q;
}

QColor LiteralDrawingColor(quint8 alpha, TColor c)
{
    QColor q = FromBGR(c);
    q.setAlpha(alpha);
    return q;
}

TColor RGBToColor(const QColor &c)
{
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

bool IdentToColor(const QString &ident, TColor *out)
{
    for (const NamedColor &n : kNamedColors) {
        if (ident.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            *out = n.value;
            return true;
        }
    }
    return false;
}

QString ColorToIdent(TColor c)
{
    for (const NamedColor &n : kNamedColors)
        if (n.value == c)
            return QLatin1String(n.name);
    return QString();
}
