#include "NativeEdit.h"

#include "Clipboard.h"
#include "Keyboard.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace {

// Inner margins between the frame's contents and the text, as Qt's own line edit keeps.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
constexpr int kCaretWidth = 1;
// The caret stops blinking (and stays shown) this long after the last input, so a
// window left alone wakes nobody.
constexpr int kCaretBlinkTimeoutMs = 10000;
// Grapheme clusters longer than this are treated as several when moving the caret.
constexpr int kClusterWindow = 32;
// Undo keeps at most this many characters of removed and inserted text.
constexpr qsizetype kUndoCharacterLimit = 4 * 1024 * 1024;
constexpr int kDragScrollIntervalMs = 50;

bool IsLineBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

enum CharClass { ccSpace, ccWord, ccOther };
CharClass ClassOf(QChar c)
{
    if (c.isSpace())
        return ccSpace;
    if (c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_') || c.isSurrogate())
        return ccWord;
    return ccOther;
}

} // namespace

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

TNativeEdit::~TNativeEdit() = default;

// --- text and selection ---------------------------------------------------------------

void TNativeEdit::SetNativeText(const QString &text)
{
    const QString before = m_text;
    m_text = text;
    m_cursor = m_anchor = m_scroll = 0;
    m_undo.clear();
    m_undoSize = 0;
    m_modified = false;
    InvalidateLayout();
    EnsureCursorVisible();
    update();
    if (before != text)
        ReportTextChange(0, before, text);
    ReportCaret();
    Changed();
}

void TNativeEdit::SetSelection(int start, int length)
{
    const int n = int(m_text.size());
    start = SnapOutOfLineBreak(qBound(0, start, n));
    const int end = SnapOutOfLineBreak(qBound(0, start + qMax(0, length), n));
    m_anchor = start;
    m_cursor = end;
    ShowCaret();
}

void TNativeEdit::SetReadOnly(bool v)
{
    if (m_readOnly == v)
        return;
    m_readOnly = v;
    update();
    QAccessible::State changed;
    changed.readOnly = true;
    changed.editable = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

QString TNativeEdit::VisibleLineText() const
{
    const int start = LineStartOf(m_cursor);
    return m_text.mid(start, LineEndOf(m_cursor) - start);
}

void TNativeEdit::Replace(int start, int end, const QString &with, bool typing)
{
    const QString removed = m_text.mid(start, end - start);
    if (removed.isEmpty() && with.isEmpty())
        return;
    const bool merge = typing && !m_undo.empty() && m_undo.back().typing && m_undo.back().removed.isEmpty()
        && removed.isEmpty() && m_undo.back().position + m_undo.back().inserted.size() == start;
    if (merge) {
        m_undo.back().inserted += with;
    } else {
        m_undo.push_back({start, removed, with, m_anchor, m_cursor, typing});
    }
    m_undoSize += removed.size() + with.size();
    while (m_undoSize > kUndoCharacterLimit && m_undo.size() > 1) {
        m_undoSize -= m_undo.front().removed.size() + m_undo.front().inserted.size();
        m_undo.erase(m_undo.begin());
    }
    m_text.replace(start, end - start, with);
    m_cursor = m_anchor = start + int(with.size());
    m_modified = true;
    InvalidateLayout();
    ReportTextChange(start, removed, with);
    ShowCaret();
    Changed();
}

void TNativeEdit::InsertText(const QString &text)
{
    if (m_readOnly)
        return;
    QString s = text;
    if (m_maxLength > 0) {
        const qsizetype room = m_maxLength - (m_text.size() - SelLength());
        if (room <= 0)
            return;
        if (s.size() > room) {
            s.truncate(room);
            if (!s.isEmpty() && s.back().isHighSurrogate())
                s.chop(1);
        }
    }
    const bool typing = text.size() <= 2 && !HasSelection();
    Replace(SelStart(), SelStart() + SelLength(), s, typing);
}

void TNativeEdit::ClearSelection()
{
    if (m_readOnly || !HasSelection())
        return;
    Replace(SelStart(), SelStart() + SelLength(), QString(), false);
}

void TNativeEdit::SelectAll() { SetSelection(0, int(m_text.size())); }

void TNativeEdit::CopyToClipboard()
{
    if (!HasSelection())
        return;
    try {
        TClipboard::SetAsText(SelText());
    } catch (const std::exception &) {
        // The clipboard is held by another program; the edit stays as it is.
    }
}

void TNativeEdit::CutToClipboard()
{
    if (m_readOnly || !HasSelection())
        return;
    try {
        TClipboard::SetAsText(SelText());
    } catch (const std::exception &) {
        return; // never remove text that did not reach the clipboard
    }
    ClearSelection();
}

void TNativeEdit::PasteFromClipboard()
{
    if (m_readOnly)
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

void TNativeEdit::Undo()
{
    if (m_readOnly || m_undo.empty())
        return;
    const UndoStep step = m_undo.back();
    m_undo.pop_back();
    m_undoSize -= step.removed.size() + step.inserted.size();
    m_text.replace(step.position, step.inserted.size(), step.removed);
    const int n = int(m_text.size());
    m_anchor = qBound(0, step.anchorBefore, n);
    m_cursor = qBound(0, step.cursorBefore, n);
    m_modified = true;
    InvalidateLayout();
    ReportTextChange(step.position, step.inserted, step.removed);
    ShowCaret();
    Changed();
}

// --- positions ----------------------------------------------------------------------

int TNativeEdit::LineStartOf(int pos) const
{
    const QStringView before = QStringView(m_text).left(pos);
    const qsizetype cr = before.lastIndexOf(QLatin1Char('\r'));
    const qsizetype lf = before.lastIndexOf(QLatin1Char('\n'));
    return int(qMax(cr, lf) + 1);
}

int TNativeEdit::LineEndOf(int pos) const
{
    const qsizetype cr = m_text.indexOf(QLatin1Char('\r'), pos);
    const qsizetype lf = m_text.indexOf(QLatin1Char('\n'), pos);
    if (cr < 0 && lf < 0)
        return int(m_text.size());
    if (cr < 0 || lf < 0)
        return int(qMax(cr, lf));
    return int(qMin(cr, lf));
}

// A position between the CR and LF of one line break belongs before the CR.
int TNativeEdit::SnapOutOfLineBreak(int pos) const
{
    if (pos > 0 && pos < m_text.size() && m_text.at(pos - 1) == QLatin1Char('\r') && m_text.at(pos) == QLatin1Char('\n'))
        return pos - 1;
    return pos;
}

int TNativeEdit::NextPosition(int pos) const
{
    if (pos >= m_text.size())
        return int(m_text.size());
    if (IsLineBreak(m_text.at(pos))) {
        if (m_text.at(pos) == QLatin1Char('\r') && pos + 1 < m_text.size() && m_text.at(pos + 1) == QLatin1Char('\n'))
            return pos + 2;
        return pos + 1;
    }
    const int end = qMin(LineEndOf(pos), pos + kClusterWindow);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, QStringView(m_text).mid(pos, end - pos));
    const qsizetype next = finder.toNextBoundary();
    return next > 0 ? pos + int(next) : end;
}

int TNativeEdit::PreviousPosition(int pos) const
{
    if (pos <= 0)
        return 0;
    const QChar before = m_text.at(pos - 1);
    if (IsLineBreak(before)) {
        if (before == QLatin1Char('\n') && pos >= 2 && m_text.at(pos - 2) == QLatin1Char('\r'))
            return pos - 2;
        return pos - 1;
    }
    const int start = qMax(LineStartOf(pos), pos - kClusterWindow);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, QStringView(m_text).mid(start, pos - start));
    finder.toEnd();
    const qsizetype prev = finder.toPreviousBoundary();
    return prev >= 0 ? start + int(prev) : start;
}

// Words are runs of letters and digits, runs of other symbols, and runs of blanks.
int TNativeEdit::WordStartBefore(int pos) const
{
    const int lineStart = LineStartOf(pos);
    if (pos == lineStart)
        return PreviousPosition(pos);
    int i = pos;
    while (i > lineStart && ClassOf(m_text.at(i - 1)) == ccSpace)
        --i;
    if (i == lineStart)
        return i;
    const CharClass c = ClassOf(m_text.at(i - 1));
    while (i > lineStart && ClassOf(m_text.at(i - 1)) == c)
        --i;
    return i;
}

int TNativeEdit::NextWordStart(int pos) const
{
    const int lineEnd = LineEndOf(pos);
    if (pos == lineEnd)
        return NextPosition(pos);
    int i = pos;
    const CharClass c = ClassOf(m_text.at(i));
    while (i < lineEnd && ClassOf(m_text.at(i)) == c)
        ++i;
    while (i < lineEnd && ClassOf(m_text.at(i)) == ccSpace)
        ++i;
    return i;
}

void TNativeEdit::WordAt(int pos, int *start, int *end) const
{
    const int lineStart = LineStartOf(pos);
    const int lineEnd = LineEndOf(pos);
    if (lineStart == lineEnd) {
        *start = *end = pos;
        return;
    }
    int at = qMin(pos, lineEnd - 1);
    const CharClass c = ClassOf(m_text.at(at));
    int s = at, e = at;
    while (s > lineStart && ClassOf(m_text.at(s - 1)) == c)
        --s;
    while (e < lineEnd && ClassOf(m_text.at(e)) == c)
        ++e;
    *start = s;
    *end = e;
}

// --- keyboard -------------------------------------------------------------------------

void TNativeEdit::MoveCursor(int pos, bool extend)
{
    m_cursor = SnapOutOfLineBreak(qBound(0, pos, int(m_text.size())));
    if (!extend)
        m_anchor = m_cursor;
    ShowCaret();
}

void TNativeEdit::DeleteBackward(bool word)
{
    if (m_readOnly)
        return;
    if (HasSelection()) {
        ClearSelection();
        return;
    }
    if (m_cursor == 0)
        return;
    int from;
    if (word) {
        from = WordStartBefore(m_cursor);
    } else if (IsLineBreak(m_text.at(m_cursor - 1))) {
        from = PreviousPosition(m_cursor);
    } else {
        // One code point back: a combining mark goes without its base.
        from = m_cursor - 1;
        if (from > 0 && m_text.at(from).isLowSurrogate() && m_text.at(from - 1).isHighSurrogate())
            --from;
    }
    Replace(from, m_cursor, QString(), false);
}

void TNativeEdit::DeleteForward(bool word)
{
    if (m_readOnly)
        return;
    if (HasSelection()) {
        ClearSelection();
        return;
    }
    if (m_cursor >= m_text.size())
        return;
    Replace(m_cursor, word ? NextWordStart(m_cursor) : NextPosition(m_cursor), QString(), false);
}

bool TNativeEdit::NativeKeyDown(quint16 key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (modifiers & Qt::AltModifier)
        return false;
    switch (key) {
    case vk::Left:
        if (HasSelection() && !shift)
            MoveCursor(ctrl ? WordStartBefore(SelStart()) : SelStart(), false);
        else
            MoveCursor(ctrl ? WordStartBefore(m_cursor) : PreviousPosition(m_cursor), shift);
        return true;
    case vk::Right:
        if (HasSelection() && !shift)
            MoveCursor(ctrl ? NextWordStart(SelStart() + SelLength()) : SelStart() + SelLength(), false);
        else
            MoveCursor(ctrl ? NextWordStart(m_cursor) : NextPosition(m_cursor), shift);
        return true;
    case vk::Home:
        MoveCursor(ctrl ? 0 : LineStartOf(m_cursor), shift);
        return true;
    case vk::End:
        MoveCursor(ctrl ? int(m_text.size()) : LineEndOf(m_cursor), shift);
        return true;
    case vk::Delete:
        if (shift)
            CutToClipboard();
        else
            DeleteForward(ctrl);
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
}

void TNativeEdit::NativeChar(QChar ch)
{
    switch (ch.unicode()) {
    case 0x08: DeleteBackward(false); return;
    case 0x7F: DeleteBackward(true); return;
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
    if (m_readOnly)
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

std::unique_ptr<QTextLayout> TNativeEdit::LayoutOf(int start, int end) const
{
    auto layout = std::make_unique<QTextLayout>(m_text.mid(start, end - start), font(), const_cast<TNativeEdit *>(this));
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
    const int lineEnd = LineEndOf(m_scroll);
    const int width = ContentsRect().width();
    if (m_visibleRevision == m_revision && m_visible.start == m_scroll && m_visible.layout)
        return m_visible;
    int n = qMax(16, width / 2);
    for (;;) {
        int end = qMin(lineEnd, m_scroll + n);
        if (end < m_text.size() && end > 0 && m_text.at(end).isLowSurrogate())
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

void TNativeEdit::ReportTextChange(int position, const QString &removed, const QString &inserted)
{
    if (!QAccessible::isActive())
        return;
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(this, position, inserted);
        QAccessible::updateAccessibility(&event);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, position, removed);
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextUpdateEvent event(this, position, removed, inserted);
        QAccessible::updateAccessibility(&event);
    }
}

// Caret and selection as last told; one event for each that moved since.
void TNativeEdit::ReportCaret()
{
    const int oldStart = qMin(m_reportedCursor, m_reportedAnchor);
    const int oldEnd = qMax(m_reportedCursor, m_reportedAnchor);
    const bool cursorMoved = m_reportedCursor != m_cursor;
    m_reportedCursor = m_cursor;
    m_reportedAnchor = m_anchor;
    if (!QAccessible::isActive())
        return;
    const int start = SelStart();
    const int end = start + SelLength();
    if ((oldStart != oldEnd || start != end) && (oldStart != start || oldEnd != end)) {
        QAccessibleTextSelectionEvent event(this, start, end);
        event.setCursorPosition(m_cursor);
        QAccessible::updateAccessibility(&event);
    }
    if (cursorMoved) {
        QAccessibleTextCursorEvent event(this, m_cursor);
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
    const qreal x1 = line.cursorToX(pos - seg.start);
    const qreal x2 = line.cursorToX(qMin(NextPosition(pos), seg.end) - seg.start);
    const QRect contents = ContentsRect();
    const int left = contents.x() + qRound(qMin(x1, x2));
    const QRect glyph(left, TextTop(), qMax(1, qRound(qAbs(x2 - x1))), fontMetrics().height());
    return glyph.intersected(contents);
}

void TNativeEdit::InvalidateLayout()
{
    ++m_revision;
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
        if (start > lineStart && start < m_text.size() && m_text.at(start).isLowSurrogate())
            ++start;
        const auto layout = LayoutOf(start, end);
        const QTextLine line = layout->lineAt(0);
        const qreal width = line.naturalTextWidth();
        if (width > available) {
            const qreal excess = width - available;
            int pos = line.xToCursor(excess, QTextLine::CursorBetweenCharacters);
            while (pos < end - start && line.cursorToX(pos) < excess)
                pos = layout->nextCursorPosition(pos);
            return start + pos;
        }
        if (start == lineStart)
            return lineStart;
        n *= 2;
    }
}

void TNativeEdit::EnsureCursorVisible()
{
    const int lineStart = LineStartOf(m_cursor);
    const int lineEnd = LineEndOf(m_cursor);
    const int available = qMax(1, ContentsRect().width() - kCaretWidth);
    const int before = m_scroll;
    if (m_scroll < lineStart || m_scroll > lineEnd)
        m_scroll = lineStart;
    if (m_cursor < m_scroll) {
        m_scroll = m_cursor;
    } else {
        const int fitting = FirstFittingStart(m_cursor, qMax(lineStart, m_scroll), available);
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
    p.setPen(palette().color(QPalette::Text));

    QList<QTextLayout::FormatRange> selections;
    // The selection shows only while the edit has the focus, as the platform's edit does.
    if (hasFocus() && HasSelection()) {
        const int s = qMax(SelStart(), seg.start);
        const int e = qMin(SelStart() + SelLength(), seg.end);
        if (s < e) {
            QTextLayout::FormatRange range;
            range.start = s - seg.start;
            range.length = e - s;
            range.format.setBackground(palette().brush(QPalette::Highlight));
            range.format.setForeground(palette().brush(QPalette::HighlightedText));
            selections.append(range);
        }
    }
    seg.layout->draw(&p, origin, selections);
    if (hasFocus() && m_caretOn && m_cursor >= seg.start && m_cursor <= seg.end)
        seg.layout->drawCursor(&p, origin, m_cursor - seg.start, kCaretWidth);
}

int TNativeEdit::PositionAt(const QPoint &p) const
{
    const QRect r = ContentsRect();
    const Segment &seg = VisibleSegment();
    const QTextLine line = seg.layout->lineAt(0);
    if (!line.isValid())
        return seg.start;
    return seg.start + line.xToCursor(p.x() - r.x(), QTextLine::CursorBetweenCharacters);
}

int TNativeEdit::CharacterAt(const QPoint &p) const
{
    const QRect r = ContentsRect();
    const Segment &seg = VisibleSegment();
    const QTextLine line = seg.layout->lineAt(0);
    const qreal x = p.x() - r.x();
    if (!line.isValid() || x < 0 || x >= line.naturalTextWidth())
        return -1;
    return seg.start + line.xToCursor(x, QTextLine::CursorOnCharacter);
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
        const int target = m_dragDirection < 0 ? PreviousPosition(m_cursor) : NextPosition(m_cursor);
        if (target == m_cursor || (m_dragDirection > 0 && target > LineEndOf(m_cursor))
            || (m_dragDirection < 0 && m_cursor == LineStartOf(m_cursor)))
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
    WordAt(pos, &s, &e);
    if (pos < m_wordAnchorStart) {
        m_anchor = m_wordAnchorEnd;
        MoveCursor(s, true);
    } else {
        m_anchor = m_wordAnchorStart;
        MoveCursor(qMax(e, m_wordAnchorEnd), true);
    }
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
    WordAt(PositionAt(e->position().toPoint()), &s, &end);
    m_wordAnchorStart = s;
    m_wordAnchorEnd = end;
    m_anchor = s;
    MoveCursor(end, true);
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
    add(QStringLiteral("元に戻す(&U)"), "edit-undo", !m_readOnly && CanUndo(), [this] { Undo(); });
    menu->addSeparator();
    add(QStringLiteral("切り取り(&T)"), "edit-cut", !m_readOnly && HasSelection(), [this] { CutToClipboard(); });
    add(QStringLiteral("コピー(&C)"), "edit-copy", HasSelection(), [this] { CopyToClipboard(); });
    add(QStringLiteral("貼り付け(&P)"), "edit-paste", !m_readOnly && clipboardHasText, [this] { PasteFromClipboard(); });
    add(QStringLiteral("削除(&D)"), "edit-delete", !m_readOnly && HasSelection(), [this] { ClearSelection(); });
    menu->addSeparator();
    add(QStringLiteral("すべて選択(&A)"), "select-all", !m_text.isEmpty() && SelLength() < m_text.size(),
        [this] { SelectAll(); });
    return menu;
}

void TNativeEdit::contextMenuEvent(QContextMenuEvent *e)
{
    QMenu *menu = CreateStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}
