#include "Characters.h"

#include <QChar>

qsizetype CharacterLength(QStringView text, qsizetype i)
{
    if (i >= text.size())
        return 0;
    const QChar c = text.at(i);
    if (i + 1 < text.size()) {
        const QChar next = text.at(i + 1);
        if ((c.isHighSurrogate() && next.isLowSurrogate()) || (c == u'\r' && next == u'\n'))
            return 2;
    }
    return 1;
}

char32_t CharacterCode(QStringView text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    return c.unicode();
}

qsizetype CharacterCount(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); i += CharacterLength(text, i))
        ++n;
    return n;
}

namespace {

// Default-ignorable codes outside the control, format and separator categories: each
// draws nothing, though Unicode files it as a letter or a mark.
bool IgnorableLetterOrMark(char32_t code)
{
    return code == 0x034F || code == 0x115F || code == 0x1160 || code == 0x17B4 || code == 0x17B5
        || (code >= 0x180B && code <= 0x180F) || code == 0x3164 || (code >= 0xFE00 && code <= 0xFE0F)
        || code == 0xFFA0 || (code >= 0xE0100 && code <= 0xE01EF) || code == 0x2800;
}

} // namespace

TCharacterLook LookOf(char32_t code)
{
    switch (code) {
    case 0x20: return TCharacterLook::Blank;
    case 0x09: return TCharacterLook::Tab;
    case 0x0A:
    case 0x0D: return TCharacterLook::LineBreak;
    default: break;
    }
    if (IgnorableLetterOrMark(code))
        return TCharacterLook::Invisible;
    switch (QChar::category(code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return TCharacterLook::Invisible;
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return TCharacterLook::Mark;
    default:
        return TCharacterLook::Ink;
    }
}

QString CodeText(char32_t code)
{
    return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}
