#include "AdvEdit.h"

#include "Clipboard.h"
#include "Keyboard.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

TEditLookup::TEditLookup(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}

TCustomAdvEdit::TCustomAdvEdit(QWidget *parent)
    : TNativeEdit(parent), m_labelFont(new TFont(this)), m_lookup(new TEditLookup(this))
{
    SetBackground(m_color);
    SetImeMode(m_imeMode);
}

void TCustomAdvEdit::SetText(const QString &value)
{
    if (value == NativeText())
        return;
    SetNativeText(value);
}

void TCustomAdvEdit::Changed()
{
    if (!ComponentLoading())
        emit OnChange(this);
}

void TCustomAdvEdit::Loaded()
{
    TComponent::Loaded();
}

// --- properties -------------------------------------------------------------------------

void TCustomAdvEdit::SetBackground(TColor c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorToQColor(c));
    setPalette(pal);
}

void TCustomAdvEdit::SetTextColour(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, c);
    setPalette(pal);
}

void TCustomAdvEdit::SetColor(TColor c)
{
    if (m_color == c)
        return;
    m_color = c;
    if (!hasFocus() || m_focusColor == clNone)
        SetBackground(c);
}

void TCustomAdvEdit::SetFocusColor(TColor c)
{
    if (m_focusColor == c)
        return;
    m_focusColor = c;
    if (hasFocus())
        SetBackground(c == clNone ? m_color : c);
}

void TCustomAdvEdit::SetFocusFontColor(TColor c)
{
    if (m_focusFontColor == c)
        return;
    m_focusFontColor = c;
    if (hasFocus())
        SetTextColour(ColorToQColor(c));
}

void TCustomAdvEdit::SetAutoSize(bool v)
{
    if (m_autoSize == v)
        return;
    m_autoSize = v;
    if (v && !ComponentLoading())
        resize(width(), sizeHint().height());
}

void TCustomAdvEdit::SetImeMode(TImeMode m)
{
    m_imeMode = m;
    // Characters then come from the keyboard layout only, never from a composition.
    setAttribute(Qt::WA_InputMethodEnabled, m != imDisable);
}

// --- keys -------------------------------------------------------------------------------

void TCustomAdvEdit::keyPressEvent(QKeyEvent *e)
{
    const quint16 virtualKey = VirtualKeyOf(e);
    const TShiftState shift = ShiftStateOf(e->modifiers());
    bool consumed = false;
    if (virtualKey != 0) {
        quint16 key = virtualKey;
        emit OnKeyDown(this, key, shift);
        // The edit is one line high: Up and Down never move between lines.
        if (virtualKey == vk::Up || virtualKey == vk::Down) {
            e->accept();
            return;
        }
        consumed = key == 0 || NativeKeyDown(key, e->modifiers());
    }
    // The characters follow their key even when the owner cancelled the key itself.
    const QString chars = CharactersOf(e);
    for (QChar c : chars)
        Character(c, shift);
    consumed = consumed || !chars.isEmpty();
    if ((virtualKey == vk::Return || virtualKey == vk::Escape) && m_defaultHandling)
        consumed = true; // no default or cancel button of the window reacts
    e->setAccepted(consumed);
}

void TCustomAdvEdit::Character(QChar ch, TShiftState shift)
{
    const bool ctrl = shift.testFlag(ssCtrl);
    switch (ch.unicode()) {
    case 0x0D: {
        if (ctrl)
            return;
        QChar copy = ch; // whatever the owner does with it, Enter inserts nothing
        emit OnKeyPress(this, copy);
        if (m_returnIsTab)
            focusNextPrevChild(true);
        return;
    }
    case 0x01:
        if (ctrl) {
            SelectAll();
            return;
        }
        break;
    default:
        break;
    }
    QChar key = ch;
    emit OnKeyPress(this, key);
    if (key.isNull())
        return;
    NativeChar(key);
    // Erasing down to the empty text is reported once more, as the owner expects.
    if (key.unicode() == 0x08 && NativeText().isEmpty() && Modified())
        Changed();
}

void TCustomAdvEdit::inputMethodEvent(QInputMethodEvent *e)
{
    // A committed composition arrives as characters, each through the owner's filter.
    for (QChar c : e->commitString())
        Character(c, TShiftState());
    e->accept();
}

QVariant TCustomAdvEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled: return testAttribute(Qt::WA_InputMethodEnabled);
    case Qt::ImCursorPosition: return CursorPosition();
    case Qt::ImSurroundingText: return VisibleLineText();
    case Qt::ImHints: return int(Qt::ImhNoPredictiveText | Qt::ImhSensitiveData);
    default: return TNativeEdit::inputMethodQuery(query);
    }
}

// --- clipboard --------------------------------------------------------------------------

void TCustomAdvEdit::PasteFromClipboard()
{
    if (ReadOnly())
        return;
    QString clip;
    try {
        clip = TClipboard::AsText();
    } catch (const std::exception &) {
        return; // the clipboard is held by another program: nothing to paste
    }
    if (clip.isEmpty())
        return;
    // Pasting never inserts a line break: only the first line comes in. Clipboard text
    // here breaks lines with LF as often as with CR.
    qsizetype lineBreak = -1;
    for (qsizetype i = 0; i < clip.size() && lineBreak < 0; ++i)
        if (clip.at(i) == QLatin1Char('\r') || clip.at(i) == QLatin1Char('\n'))
            lineBreak = i;
    const QString part = lineBreak >= 0 ? clip.left(lineBreak) : clip;
    const bool hadSelection = HasSelection();
    const int start = SelStart();
    if (lineBreak >= 0) {
        QString text = NativeText();
        text.replace(start, SelLength(), part);
        SetText(text);
        SetModified(true);
    } else {
        InsertText(part);
    }
    if (hadSelection)
        SetSelection(start, int(part.size()));
    else
        SetSelection(start + int(part.size()), 0);
}

void TCustomAdvEdit::CutToClipboard()
{
    const QString before = NativeText();
    TNativeEdit::CutToClipboard();
    if (NativeText() != before)
        Changed();
}

// --- focus and mouse --------------------------------------------------------------------

void TCustomAdvEdit::focusInEvent(QFocusEvent *e)
{
    m_normalFontColor = palette().color(QPalette::Text);
    SetTextColour(ColorToQColor(m_focusFontColor));
    if (m_focusColor != clNone)
        SetBackground(m_focusColor);
    const Qt::FocusReason reason = e->reason();
    // Every way in selects all (keyboard, the window coming back, a closed message box)
    // except a click, which places the caret where it lands; on X11 the click's press can
    // arrive before the focus does. The edit's own context menu never took the focus away.
    const bool byClick = reason == Qt::MouseFocusReason || m_pressedUnfocused;
    m_focusByMousePending = reason == Qt::MouseFocusReason;
    m_pressedUnfocused = false;
    if (m_autoSelect && !byClick && reason != Qt::PopupFocusReason)
        SelectAll();
    TNativeEdit::focusInEvent(e);
}

void TCustomAdvEdit::focusOutEvent(QFocusEvent *e)
{
    if (m_normalFontColor.isValid())
        SetTextColour(m_normalFontColor);
    if (m_focusColor != clNone)
        SetBackground(m_color);
    m_buttonDownInSelection = false;
    m_focusByMousePending = false;
    m_pressedUnfocused = false;
    TNativeEdit::focusOutEvent(e);
}

void TCustomAdvEdit::mousePressEvent(QMouseEvent *e)
{
    const bool hadFocus = hasFocus() && !m_focusByMousePending;
    m_focusByMousePending = false;
    m_pressedUnfocused = !hasFocus();
    if (e->button() == Qt::LeftButton && hadFocus && HasSelection()) {
        const int c = CharacterAt(e->position().toPoint());
        if (c >= SelStart() && c < SelStart() + SelLength()) {
            m_buttonDownInSelection = true; // the selection stays until the release
            e->accept();
            return;
        }
    }
    TNativeEdit::mousePressEvent(e);
}

void TCustomAdvEdit::mouseMoveEvent(QMouseEvent *e)
{
    if (m_buttonDownInSelection)
        return; // the edit is no drag source
    TNativeEdit::mouseMoveEvent(e);
}

void TCustomAdvEdit::mouseReleaseEvent(QMouseEvent *e)
{
    if (m_buttonDownInSelection && e->button() == Qt::LeftButton) {
        m_buttonDownInSelection = false;
        SetSelection(PositionAt(e->position().toPoint()), 0);
        return;
    }
    TNativeEdit::mouseReleaseEvent(e);
}
