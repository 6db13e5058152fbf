#include "Keyboard.h"

#include <QKeyEvent>

namespace {

// Symbols and the US-layout key that carries them, shifted or not.
struct SymbolKey {
    int qtKey;
    quint16 code;
};
constexpr SymbolKey kSymbolKeys[] = {
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_yen, 0xDC}, {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
};

bool IsControlOnly(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            return false;
    return true;
}

} // namespace

quint16 VirtualKeyOf(const QKeyEvent *e)
{
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return quint16(k);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return quint16(keypad ? vk::Numpad0 + (k - Qt::Key_0) : k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return quint16(vk::F1 + (k - Qt::Key_F1));
    if (keypad) {
        switch (k) {
        case Qt::Key_Asterisk: return vk::Multiply;
        case Qt::Key_Plus: return vk::Add;
        case Qt::Key_Minus: return vk::Subtract;
        case Qt::Key_Period: return vk::Decimal;
        case Qt::Key_Slash: return vk::Divide;
        default: break;
        }
    }
    switch (k) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: return vk::Menu;
    case Qt::Key_Pause: return vk::Pause;
    case Qt::Key_CapsLock: return vk::Capital;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return vk::LWin;
    case Qt::Key_Menu: return vk::Apps;
    default: break;
    }
    for (const SymbolKey &s : kSymbolKeys)
        if (s.qtKey == k)
            return s.code;
    return 0;
}

QString CharactersOf(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers m = e->modifiers();
    const bool ctrl = m & Qt::ControlModifier;
    const bool alt = m & Qt::AltModifier;
    const int k = e->key();
    // Alt combinations are accelerators. AltGr characters on X11 come without Alt.
    if (alt)
        return QString();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QString(QChar(0x0D));
    case Qt::Key_Escape: return QString(QChar(0x1B));
    case Qt::Key_Backspace: return QString(QChar(ctrl ? 0x7F : 0x08));
    case Qt::Key_Tab: return QString(QChar(0x09));
    default: break;
    }
    if (ctrl) {
        if (k >= Qt::Key_A && k <= Qt::Key_Z)
            return QString(QChar(k - Qt::Key_A + 1));
        switch (k) {
        case Qt::Key_BracketLeft: return QString(QChar(0x1B));
        case Qt::Key_Backslash: return QString(QChar(0x1C));
        case Qt::Key_BracketRight: return QString(QChar(0x1D));
        case Qt::Key_Space: return QStringLiteral(" ");
        default: return QString();
        }
    }
    // Keys that move or edit (Delete gives DEL on X11) produce no character.
    const QString text = e->text();
    if (text.isEmpty() || IsControlOnly(text))
        return QString();
    return text;
}
