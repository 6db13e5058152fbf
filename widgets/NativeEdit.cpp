#include "NativeEdit.h"

#include "Clipboard.h"
#include "Keyboard.h"
#include "Wipe.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <QtMath>

namespace {

// Inner margins between the frame's contents and the text, as Qt's own line edit keeps.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
constexpr int kCaretWidth = 1;
// The caret stops blinking (and stays shown) this long after the last input, so a
// window left alone wakes nobody.
constexpr int kCaretBlinkTimeoutMs = 10000;
constexpr int kDragScrollIntervalMs = 50;

// The layout starts with a left-to-right override, so that no character is drawn out of
// its place by bidi rules (a right-to-left letter or a pasted override among the others).
// Positions in the layout are then one on from those in the text.
constexpr QChar kForceLeftToRight = QChar(0x202D);
constexpr int kLayoutOffset = 1;
// What a character that draws nothing gives way to in the layout: a full-width gap for
// its sign, and nothing for its second code unit.
constexpr QChar kStandInGap = QChar(0x3000);
constexpr QChar kNoWidth = QChar(0x200B);

bool HasStandIn(TCharacterLook look)
{
    return DrawsNothing(look) && look != TCharacterLook::Blank;
}

} // namespace

QString LayoutText(QStringView text)
{
    QString out = text.toString();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = CharacterLength(text, i);
        if (HasStandIn(LookOf(CharacterCode(text, i)))) {
            out[i] = kStandInGap;
            if (length == 2)
                out[i + 1] = kNoWidth;
        }
        i += length;
    }
    return out;
}

void PaintStandIn(QPainter *p, const QRectF &cell, TCharacterLook look, const QColor &colour)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    QPen pen(colour, 1);
    pen.setCapStyle(Qt::FlatCap);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    // Whole pixels inside the cell, so the sign is crisp and stays within its character.
    const int left = qCeil(cell.left()) + 1;
    const int right = qFloor(cell.right()) - 2;
    const int top = qCeil(cell.top()) + 3;
    const int bottom = qFloor(cell.bottom()) - 3;
    const int middle = (top + bottom) / 2;
    if (right <= left || bottom <= top) {
        p->restore();
        return;
    }
    switch (look) {
    case TCharacterLook::Blank: {
        const QPoint box[] = {{left, bottom - 3}, {left, bottom}, {right, bottom}, {right, bottom - 3}};
        p->drawPolyline(box, 4);
        break;
    }
    case TCharacterLook::Tab: {
        p->drawLine(left, middle, right - 2, middle);
        p->drawLine(right, top + 2, right, bottom - 2);
        const int head = qMin(3, (right - left) / 3);
        p->drawLine(right - 2 - head, middle - head, right - 2, middle);
        p->drawLine(right - 2 - head, middle + head, right - 2, middle);
        break;
    }
    case TCharacterLook::LineBreak: {
        const int low = middle + 2;
        p->drawLine(right, top + 1, right, low);
        p->drawLine(left, low, right, low);
        const int head = qMin(3, (right - left) / 3);
        p->drawLine(left, low, left + head, low - head);
        p->drawLine(left, low, left + head, low + head);
        break;
    }
    default: {
        pen.setStyle(Qt::CustomDashLine);
        pen.setDashPattern({2, 1});
        p->setPen(pen);
        p->drawRect(QRect(QPoint(left, top), QPoint(right, bottom)));
        break;
    }
    }
    p->restore();
}

TNativeEdit::TNativeEdit(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAttribute(Qt::WA_KeyCompression, false);
    setCursor(Qt::IBeamCursor);
    setAcceptDrops(false);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TNativeEdit::~TNativeEdit()
{
    // The layout lets go of its copy first, so that the text model's wipe finds none left.
    InvalidateLayout();
}

// --- text and selection ---------------------------------------------------------------

void TNativeEdit::SetNativeText(const QString &text)
{
    const TEditText::Change change = m_edit.SetText(text);
    m_scroll = 0;
    InvalidateLayout();
    EnsureCursorVisible();
    update();
    ReportTextChange(change);
    ReportCaret();
    Changed();
}

void TNativeEdit::SetSelection(int start, int length)
{
    m_edit.SetSelection(start, length);
    ShowCaret();
}

void TNativeEdit::SetReadOnly(bool v)
{
    if (m_edit.ReadOnly() == v)
        return;
    m_edit.SetReadOnly(v);
    update();
    if (!AccessibilityObserves())
        return;
    QAccessible::State changed;
    changed.readOnly = true;
    changed.editable = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void TNativeEdit::ShowChange(const TEditText::Change &change)
{
    if (!change)
        return;
    InvalidateLayout();
    ReportTextChange(change);
    ShowCaret();
    Changed();
}

void TNativeEdit::InsertText(const QString &text) { ShowChange(m_edit.Insert(text)); }

void TNativeEdit::ClearSelection() { ShowChange(m_edit.RemoveSelection()); }

void TNativeEdit::SelectAll()
{
    m_edit.SelectAll();
    ShowCaret();
}

void TNativeEdit::CopyToClipboard()
{
    if (!HasSelection())
        return;
    try {
        TClipboard::SetAsText(SelText(), m_clipboardSensitivity);
    } catch (const std::exception &) {
        // The clipboard is held by another program; the edit stays as it is.
    }
}

void TNativeEdit::CutToClipboard()
{
    if (ReadOnly() || !HasSelection())
        return;
    try {
        TClipboard::SetAsText(SelText(), m_clipboardSensitivity);
    } catch (const std::exception &) {
        return; // never remove text that did not reach the clipboard
    }
    ClearSelection();
}

void TNativeEdit::PasteFromClipboard()
{
    if (ReadOnly())
        return;
    QString text;
    try {
        text = TClipboard::AsText();
    } catch (const std::exception &) {
        return;
    }
    if (!text.isEmpty())
        InsertText(text);
}

void TNativeEdit::Undo() { ShowChange(m_edit.Undo()); }

// --- keyboard -------------------------------------------------------------------------

void TNativeEdit::MoveCursor(int pos, bool extend)
{
    m_edit.MoveCursor(pos, extend);
    ShowCaret();
}

bool TNativeEdit::NativeKeyDown(quint16 key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (modifiers & Qt::AltModifier)
        return false;
    switch (key) {
    case vk::Left: m_edit.MoveLeft(ctrl, shift); break;
    case vk::Right: m_edit.MoveRight(ctrl, shift); break;
    // The whole text is the one line shown, so its ends are the line's.
    case vk::Home: m_edit.MoveHome(true, shift); break;
    case vk::End: m_edit.MoveEnd(true, shift); break;
    case vk::Delete:
        if (shift)
            CutToClipboard();
        else
            ShowChange(m_edit.DeleteForward(ctrl));
        return true;
    case vk::Insert:
        if (shift && !ctrl)
            PasteFromClipboard();
        else if (ctrl && !shift)
            CopyToClipboard();
        return true;
    default:
        return false;
    }
    ShowCaret();
    return true;
}

void TNativeEdit::NativeChar(QChar ch)
{
    switch (ch.unicode()) {
    case 0x08: ShowChange(m_edit.DeleteBackward(false)); return;
    case 0x7F: ShowChange(m_edit.DeleteBackward(true)); return;
    case 0x01: SelectAll(); return;
    case 0x03: CopyToClipboard(); return;
    case 0x16: PasteFromClipboard(); return;
    case 0x18: CutToClipboard(); return;
    case 0x1A: Undo(); return;
    default: break;
    }
    if (ch.unicode() < 0x20)
        return;
    InsertText(QString(ch));
}

void TNativeEdit::keyPressEvent(QKeyEvent *e)
{
    bool handled = NativeKeyDown(VirtualKeyOf(e), e->modifiers());
    const QString chars = CharactersOf(e);
    for (QChar c : chars)
        NativeChar(c);
    handled = handled || !chars.isEmpty();
    e->setAccepted(handled);
}

bool TNativeEdit::event(QEvent *e)
{
    // Keys the edit uses are not taken away by window shortcuts; Alt combinations stay
    // accelerators of the window.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const Qt::KeyboardModifiers m = ke->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
        if (!(m & Qt::AltModifier) && !(m & Qt::MetaModifier)) {
            const quint16 key = VirtualKeyOf(ke);
            const bool editKey = key == vk::Left || key == vk::Right || key == vk::Home || key == vk::End
                || key == vk::Delete || key == vk::Insert || key == vk::Back;
            if (editKey || !CharactersOf(ke).isEmpty()) {
                e->accept();
                return true;
            }
        }
    }
    return QWidget::event(e);
}

// --- layout and painting ----------------------------------------------------------------

void TNativeEdit::InitFrameOption(QStyleOptionFrame *opt) const
{
    opt->initFrom(this);
    opt->rect = rect();
    opt->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, opt, this);
    opt->midLineWidth = 0;
    opt->state |= QStyle::State_Sunken;
    if (ReadOnly())
        opt->state |= QStyle::State_ReadOnly;
    opt->features = QStyleOptionFrame::None;
}

QRect TNativeEdit::ContentsRect() const
{
    QStyleOptionFrame opt;
    InitFrameOption(&opt);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
    return r.adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

int TNativeEdit::TextTop() const
{
    const QRect r = ContentsRect();
    return r.y() + (r.height() - fontMetrics().height() + 1) / 2;
}

void TNativeEdit::WipingDelete::operator()(QTextLayout *layout) const
{
    QString shown = layout->text();
    delete layout;
    WipeString(shown);
}

TNativeEdit::LayoutPtr TNativeEdit::LayoutOf(int start, int end) const
{
    // Put together in one buffer: a string that grew would leave the text behind in the
    // block it outgrew.
    QString part = LayoutText(QStringView(m_edit.Text()).mid(start, end - start));
    QString shown;
    shown.reserve(part.size() + 1);
    shown.append(kForceLeftToRight).append(part);
    WipeString(part);
    LayoutPtr layout(new QTextLayout(shown, font(), const_cast<TNativeEdit *>(this)));
    WipeString(shown); // shared with the layout, which keeps it
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(layoutDirection());
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid())
        line.setLeadingIncluded(true);
    layout->endLayout();
    return layout;
}

// Lays out only what fits from the first visible character on, so a line of a million
// characters costs no more than a short one.
const TNativeEdit::Segment &TNativeEdit::VisibleSegment() const
{
    const QString &text = m_edit.Text();
    const int lineEnd = int(text.size());
    const int width = ContentsRect().width();
    if (m_visibleRevision == m_revision && m_visible.start == m_scroll && m_visible.layout)
        return m_visible;
    int n = qMax(16, width / 2);
    for (;;) {
        int end = qMin(lineEnd, m_scroll + n);
        if (end < text.size() && end > 0 && (text.at(end).isLowSurrogate() || (text.at(end) == u'\n' && text.at(end - 1) == u'\r')))
            ++end;
        auto layout = LayoutOf(m_scroll, end);
        if (end >= lineEnd || layout->lineAt(0).naturalTextWidth() > width) {
            m_visible.start = m_scroll;
            m_visible.end = end;
            m_visible.layout = std::move(layout);
            m_visibleRevision = m_revision;
            return m_visible;
        }
        n *= 2;
    }
}

// After a move of the caret or a change of the text: the caret's line scrolled into view,
// the caret shown at once.
void TNativeEdit::ShowCaret()
{
    EnsureCursorVisible();
    RestartCaretBlink();
    update();
    ReportCaret();
}

void TNativeEdit::ReportTextChange(const TEditText::Change &change)
{
    if (!change || !AccessibilityObserves() || !QAccessible::isActive())
        return;
    if (change.removed.isEmpty()) {
        QAccessibleTextInsertEvent event(this, change.position, change.inserted);
        QAccessible::updateAccessibility(&event);
    } else if (change.inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, change.position, change.removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, change.position, change.removed, change.inserted);
        QAccessible::updateAccessibility(&event);
    }
}

// Caret and selection as last told; one event for each that moved since.
void TNativeEdit::ReportCaret()
{
    const int oldStart = qMin(m_reportedCursor, m_reportedAnchor);
    const int oldEnd = qMax(m_reportedCursor, m_reportedAnchor);
    const bool cursorMoved = m_reportedCursor != m_edit.Cursor();
    m_reportedCursor = m_edit.Cursor();
    m_reportedAnchor = m_edit.Anchor();
    if (!AccessibilityObserves() || !QAccessible::isActive())
        return;
    const int start = SelStart();
    const int end = start + SelLength();
    if ((oldStart != oldEnd || start != end) && (oldStart != start || oldEnd != end)) {
        QAccessibleTextSelectionEvent event(this, start, end);
        event.setCursorPosition(m_edit.Cursor());
        QAccessible::updateAccessibility(&event);
    }
    if (cursorMoved) {
        QAccessibleTextCursorEvent event(this, m_edit.Cursor());
        QAccessible::updateAccessibility(&event);
    }
}

QRect TNativeEdit::CharacterRect(int pos) const
{
    const Segment &seg = VisibleSegment();
    if (pos < seg.start || pos >= seg.end)
        return QRect();
    const QTextLine line = seg.layout->lineAt(0);
    if (!line.isValid())
        return QRect();
    const qreal x1 = line.cursorToX(pos - seg.start + kLayoutOffset);
    const qreal x2 = line.cursorToX(qMin(m_edit.NextPosition(pos), seg.end) - seg.start + kLayoutOffset);
    const QRect contents = ContentsRect();
    const int left = contents.x() + qRound(qMin(x1, x2));
    const QRect glyph(left, TextTop(), qMax(1, qRound(qAbs(x2 - x1))), fontMetrics().height());
    return glyph.intersected(contents);
}

// A position inside one character (between the halves of a surrogate pair, or between
// CR and LF) moved to the character's start or its end.
int TNativeEdit::SnapBack(int pos) const
{
    const QString &text = m_edit.Text();
    if (pos > 0 && pos < text.size() && text.at(pos).isLowSurrogate() && text.at(pos - 1).isHighSurrogate())
        return pos - 1;
    return m_edit.SnapOutOfLineBreak(pos);
}

int TNativeEdit::SnapForward(int pos) const
{
    const int back = SnapBack(pos);
    return back == pos ? pos : back + int(CharacterLength(m_edit.Text(), back));
}

void TNativeEdit::InvalidateLayout()
{
    ++m_revision;
    // The layout may hold the last copy of a text just replaced (a password): it goes now.
    m_visible.layout.reset();
}

// The smallest start at or after lineStart from which [start, end) fits the width.
int TNativeEdit::FirstFittingStart(int end, int lineStart, int available) const
{
    // Nothing between them always fits (a new text puts the caret at its start).
    if (end <= lineStart)
        return lineStart;
    int n = qMax(16, available / 2);
    for (;;) {
        int start = qMax(lineStart, end - n);
        if (start > lineStart)
            start = SnapForward(start);
        const auto layout = LayoutOf(start, end);
        const QTextLine line = layout->lineAt(0);
        const qreal width = line.naturalTextWidth();
        if (width > available) {
            const qreal excess = width - available;
            int pos = qMax(kLayoutOffset, line.xToCursor(excess, QTextLine::CursorBetweenCharacters));
            while (pos - kLayoutOffset < end - start && line.cursorToX(pos) < excess)
                pos = layout->nextCursorPosition(pos);
            return SnapForward(start + pos - kLayoutOffset);
        }
        if (start == lineStart)
            return lineStart;
        n *= 2;
    }
}

void TNativeEdit::EnsureCursorVisible()
{
    const int cursor = m_edit.Cursor();
    // The whole text is the one line shown.
    const int lineStart = 0;
    const int lineEnd = int(m_edit.Text().size());
    const int available = qMax(1, ContentsRect().width() - kCaretWidth);
    const int before = m_scroll;
    if (m_scroll < lineStart || m_scroll > lineEnd)
        m_scroll = lineStart;
    if (cursor < m_scroll) {
        m_scroll = cursor;
    } else {
        const int fitting = FirstFittingStart(cursor, qMax(lineStart, m_scroll), available);
        if (fitting > m_scroll)
            m_scroll = fitting;
    }
    // No blank space at the right while text is scrolled out at the left.
    if (m_scroll > lineStart) {
        const int fill = FirstFittingStart(lineEnd, lineStart, available);
        if (fill < m_scroll)
            m_scroll = fill;
    }
    if (m_scroll != before)
        InvalidateLayout();
}

void TNativeEdit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionFrame opt;
    InitFrameOption(&opt);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);

    const QRect r = ContentsRect();
    p.setClipRect(r);
    const Segment &seg = VisibleSegment();
    const QPointF origin(r.x(), TextTop());
    // The baseline stays the font's own when a character from another face (an override,
    // a zero-width space) makes the line taller: the text never jumps as signs come and go.
    QPointF textOrigin = origin;
    if (const QTextLine line = seg.layout->lineAt(0); line.isValid()) {
        const QFontMetricsF fm(font());
        textOrigin.ry() += fm.ascent() + qMax(0.0, fm.leading()) - line.ascent() - qMax(0.0, line.leading());
    }
    p.setPen(palette().color(QPalette::Text));

    QList<QTextLayout::FormatRange> selections;
    // The selection shows only while the edit has the focus, as the platform's edit does.
    if (hasFocus() && HasSelection()) {
        const int s = qMax(SelStart(), seg.start);
        const int e = qMin(SelStart() + SelLength(), seg.end);
        if (s < e) {
            QTextLayout::FormatRange range;
            range.start = s - seg.start + kLayoutOffset;
            range.length = e - s;
            range.format.setBackground(palette().brush(QPalette::Highlight));
            range.format.setForeground(palette().brush(QPalette::HighlightedText));
            selections.append(range);
        }
    }
    seg.layout->draw(&p, textOrigin, selections);
    PaintStandIns(&p, seg, origin);
    const int cursor = m_edit.Cursor();
    if (hasFocus() && m_caretOn && cursor >= seg.start && cursor <= seg.end)
        seg.layout->drawCursor(&p, textOrigin, cursor - seg.start + kLayoutOffset, kCaretWidth);
}

void TNativeEdit::PaintStandIns(QPainter *p, const Segment &seg, const QPointF &origin) const
{
    const QTextLine line = seg.layout->lineAt(0);
    if (!line.isValid())
        return;
    const QStringView text = QStringView(m_edit.Text()).mid(seg.start, seg.end - seg.start);
    const bool selectionShown = hasFocus() && HasSelection();
    const int height = fontMetrics().height();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = CharacterLength(text, i);
        const TCharacterLook look = LookOf(CharacterCode(text, i));
        if (DrawsNothing(look)) {
            const int pos = seg.start + int(i);
            const qreal x1 = line.cursorToX(int(i) + kLayoutOffset);
            const qreal x2 = line.cursorToX(int(i + length) + kLayoutOffset);
            const bool selected = selectionShown && pos >= SelStart() && pos < SelStart() + SelLength();
            const QColor colour = palette().color(selected ? QPalette::HighlightedText : QPalette::Text);
            PaintStandIn(p, QRectF(origin.x() + x1, origin.y(), x2 - x1, height), look, colour);
        }
        i += length;
    }
}

int TNativeEdit::PositionAt(const QPoint &p) const
{
    const QRect r = ContentsRect();
    const Segment &seg = VisibleSegment();
    const QTextLine line = seg.layout->lineAt(0);
    if (!line.isValid())
        return seg.start;
    const int pos = line.xToCursor(p.x() - r.x(), QTextLine::CursorBetweenCharacters) - kLayoutOffset;
    return SnapBack(seg.start + qMax(0, pos));
}

int TNativeEdit::CharacterAt(const QPoint &p) const
{
    const QRect r = ContentsRect();
    const Segment &seg = VisibleSegment();
    const QTextLine line = seg.layout->lineAt(0);
    const qreal x = p.x() - r.x();
    if (!line.isValid() || x < 0 || x >= line.naturalTextWidth())
        return -1;
    const int pos = line.xToCursor(x, QTextLine::CursorOnCharacter) - kLayoutOffset;
    return SnapBack(seg.start + qBound(0, pos, seg.end - seg.start - 1));
}

QSize TNativeEdit::sizeHint() const
{
    QStyleOptionFrame opt;
    InitFrameOption(&opt);
    const QFontMetrics fm = fontMetrics();
    const QSize contents(fm.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kHorizontalMargin,
                         fm.height() + 2 * kVerticalMargin);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &opt, contents, this);
}

QSize TNativeEdit::minimumSizeHint() const
{
    return QSize(fontMetrics().maxWidth() + 2 * kHorizontalMargin, sizeHint().height());
}

void TNativeEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    InvalidateLayout();
    EnsureCursorVisible();
}

void TNativeEdit::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange || e->type() == QEvent::LayoutDirectionChange) {
        InvalidateLayout();
        EnsureCursorVisible();
        update();
    }
    QWidget::changeEvent(e);
}

// --- caret ------------------------------------------------------------------------------

void TNativeEdit::RestartCaretBlink()
{
    if (!hasFocus())
        return;
    m_caretOn = true;
    m_sinceInput.start();
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
}

void TNativeEdit::StopCaretBlink()
{
    m_blinkTimer.stop();
    m_caretOn = false;
}

void TNativeEdit::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_blinkTimer.timerId()) {
        if (m_sinceInput.elapsed() >= kCaretBlinkTimeoutMs) {
            m_blinkTimer.stop();
            m_caretOn = true;
        } else {
            m_caretOn = !m_caretOn;
        }
        update();
        return;
    }
    if (e->timerId() == m_dragScrollTimer.timerId()) {
        const int cursor = m_edit.Cursor();
        const int target = m_dragDirection < 0 ? m_edit.PreviousPosition(cursor) : m_edit.NextPosition(cursor);
        if (target == cursor)
            return;
        MoveCursor(target, true);
        return;
    }
    QWidget::timerEvent(e);
}

void TNativeEdit::focusInEvent(QFocusEvent *e)
{
    RestartCaretBlink();
    update();
    QWidget::focusInEvent(e);
}

void TNativeEdit::focusOutEvent(QFocusEvent *e)
{
    StopCaretBlink();
    m_dragging = false;
    m_dragScrollTimer.stop();
    update();
    QWidget::focusOutEvent(e);
}

// --- mouse ------------------------------------------------------------------------------

void TNativeEdit::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const int pos = PositionAt(e->position().toPoint());
    m_dragByWords = false;
    m_dragging = true;
    MoveCursor(pos, e->modifiers() & Qt::ShiftModifier);
}

void TNativeEdit::DragTo(const QPoint &p)
{
    const QRect r = ContentsRect();
    m_dragDirection = p.x() < r.left() ? -1 : p.x() > r.right() ? 1 : 0;
    if (m_dragDirection != 0) {
        if (!m_dragScrollTimer.isActive())
            m_dragScrollTimer.start(kDragScrollIntervalMs, this);
        return;
    }
    m_dragScrollTimer.stop();
    const int pos = PositionAt(p);
    if (!m_dragByWords) {
        MoveCursor(pos, true);
        return;
    }
    int s, e;
    m_edit.WordAt(pos, &s, &e);
    if (pos < m_wordAnchorStart)
        m_edit.Select(m_wordAnchorEnd, s);
    else
        m_edit.Select(m_wordAnchorStart, qMax(e, m_wordAnchorEnd));
    ShowCaret();
}

void TNativeEdit::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton))
        DragTo(e->position().toPoint());
}

void TNativeEdit::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    m_dragging = false;
    m_dragScrollTimer.stop();
}

void TNativeEdit::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    int s, end;
    m_edit.WordAt(PositionAt(e->position().toPoint()), &s, &end);
    m_wordAnchorStart = s;
    m_wordAnchorEnd = end;
    m_edit.Select(s, end);
    ShowCaret();
    m_dragging = true;
    m_dragByWords = true;
}

// --- context menu -----------------------------------------------------------------------

QMenu *TNativeEdit::CreateStandardContextMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("edit-context-menu"));
    bool clipboardHasText = false;
    try {
        clipboardHasText = !TClipboard::AsText().isEmpty();
    } catch (const std::exception &) {
    }
    auto add = [menu](const QString &text, const char *name, bool enabled, auto slot) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
        QObject::connect(a, &QAction::triggered, menu, slot);
        return a;
    };
    add(QStringLiteral("元に戻す(&U)"), "edit-undo", !ReadOnly() && CanUndo(), [this] { Undo(); });
    menu->addSeparator();
    add(QStringLiteral("切り取り(&T)"), "edit-cut", !ReadOnly() && HasSelection(), [this] { CutToClipboard(); });
    add(QStringLiteral("コピー(&C)"), "edit-copy", HasSelection(), [this] { CopyToClipboard(); });
    add(QStringLiteral("貼り付け(&P)"), "edit-paste", !ReadOnly() && clipboardHasText, [this] { PasteFromClipboard(); });
    add(QStringLiteral("削除(&D)"), "edit-delete", !ReadOnly() && HasSelection(), [this] { ClearSelection(); });
    menu->addSeparator();
    add(QStringLiteral("すべて選択(&A)"), "select-all", !m_edit.Text().isEmpty() && SelLength() < m_edit.Text().size(),
        [this] { SelectAll(); });
    return menu;
}

void TNativeEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = CreateStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}
