#include "EditText.h"

#include "Characters.h"
#include "Wipe.h"

#include <QTextBoundaryFinder>

#include <cstring>

namespace {

// Grapheme clusters longer than this are treated as several when moving the caret.
constexpr int kClusterWindow = 32;
// Undo keeps at most this many characters of removed and inserted text.
constexpr qsizetype kUndoCharacterLimit = 4 * 1024 * 1024;

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

// --- wiping ---------------------------------------------------------------------------

TEditText::Change::~Change()
{
    WipeString(removed);
    WipeString(inserted);
}

TEditText::UndoStep::~UndoStep()
{
    WipeString(removed);
    WipeString(inserted);
}

TEditText::~TEditText()
{
    WipeString(m_text);
}

void TEditText::SetTextWiping(QString text)
{
    std::swap(m_text, text);
    WipeString(text);
}

namespace {

// s + tail; where s has no room for the tail, the grown copy replaces s and the old
// buffer is wiped rather than freed as it is.
void AppendWiping(QString &s, const QString &tail)
{
    if (s.isDetached() && s.capacity() - s.size() >= tail.size()) {
        s += tail;
        return;
    }
    QString grown;
    grown.reserve(qMax(2 * s.size(), s.size() + tail.size()));
    grown += s;
    grown += tail;
    std::swap(s, grown);
    WipeString(grown);
}

// Replaces [start, start + length) of text by with. Within a buffer of its own with room
// enough, in place, and the characters a shorter text no longer uses are zeroed; otherwise
// in a new buffer with room to grow, and the old one is wiped. Either way no copy of the
// old text is left behind, at the cost of a move of the tail as before.
void ReplaceWiping(QString &text, qsizetype start, qsizetype length, const QString &with)
{
    const qsizetype oldSize = text.size();
    const qsizetype newSize = oldSize - length + with.size();
    const qsizetype tail = oldSize - start - length;
    if (text.isDetached() && newSize - oldSize <= text.data_ptr().freeSpaceAtEnd()) {
        if (newSize > oldSize)
            text.resize(newSize); // within the buffer: no new one
        QChar *d = text.data();
        std::memmove(d + start + with.size(), d + start + length, size_t(tail) * sizeof(QChar));
        std::memcpy(d + start, with.constData(), size_t(with.size()) * sizeof(QChar));
        if (newSize < oldSize) {
            WipeBytes(d + newSize, size_t(oldSize - newSize) * sizeof(QChar));
            text.resize(newSize);
        }
        return;
    }
    QString result;
    result.reserve(qMax(newSize, oldSize + oldSize / 2));
    result += QStringView(text).left(start);
    result += with;
    result += QStringView(text).mid(start + length);
    std::swap(text, result);
    WipeString(result);
}

} // namespace

// --- text and selection ---------------------------------------------------------------

TEditText::Change TEditText::SetText(const QString &text)
{
    Change change;
    if (m_text != text)
        change = {0, m_text, text};
    SetTextWiping(text);
    m_cursor = m_anchor = 0;
    m_undo.clear();
    m_undoSize = 0;
    m_modified = false;
    return change;
}

void TEditText::SetSelection(int start, int length)
{
    const int n = int(m_text.size());
    start = SnapOutOfLineBreak(qBound(0, start, n));
    const int end = SnapOutOfLineBreak(qBound(0, start + qMax(0, length), n));
    m_anchor = start;
    m_cursor = end;
}

void TEditText::Select(int anchor, int cursor)
{
    m_anchor = SnapOutOfLineBreak(qBound(0, anchor, int(m_text.size())));
    MoveCursor(cursor, true);
}

void TEditText::MoveCursor(int pos, bool extend)
{
    m_cursor = SnapOutOfLineBreak(qBound(0, pos, int(m_text.size())));
    if (!extend)
        m_anchor = m_cursor;
}

void TEditText::MoveLeft(bool word, bool extend)
{
    if (HasSelection() && !extend)
        MoveCursor(word ? WordStartBefore(SelStart()) : SelStart(), false);
    else
        MoveCursor(word ? WordStartBefore(m_cursor) : PreviousPosition(m_cursor), extend);
}

void TEditText::MoveRight(bool word, bool extend)
{
    if (HasSelection() && !extend)
        MoveCursor(word ? NextWordStart(SelEnd()) : SelEnd(), false);
    else
        MoveCursor(word ? NextWordStart(m_cursor) : NextPosition(m_cursor), extend);
}

// --- editing ----------------------------------------------------------------------------

TEditText::Change TEditText::Replace(int start, int end, const QString &with, bool typing)
{
    const QString removed = m_text.mid(start, end - start);
    if (removed.isEmpty() && with.isEmpty())
        return {};
    const bool merge = typing && !m_undo.empty() && m_undo.back().typing && m_undo.back().removed.isEmpty()
        && removed.isEmpty() && m_undo.back().position + m_undo.back().inserted.size() == start;
    if (merge) {
        AppendWiping(m_undo.back().inserted, with);
    } else {
        m_undo.push_back({start, removed, with, m_anchor, m_cursor, typing});
    }
    m_undoSize += removed.size() + with.size();
    while (m_undoSize > kUndoCharacterLimit && m_undo.size() > 1) {
        m_undoSize -= m_undo.front().removed.size() + m_undo.front().inserted.size();
        m_undo.erase(m_undo.begin());
    }
    ReplaceWiping(m_text, start, end - start, with);
    m_cursor = m_anchor = start + int(with.size());
    m_modified = true;
    return {start, removed, with};
}

TEditText::Change TEditText::Insert(const QString &text)
{
    if (m_readOnly)
        return {};
    QString s = text;
    if (m_maxLength > 0) {
        const qsizetype room = m_maxLength - (m_text.size() - SelLength());
        if (room <= 0)
            return {};
        if (s.size() > room) {
            s.truncate(room);
            if (!s.isEmpty() && s.back().isHighSurrogate())
                s.chop(1);
        }
    }
    // A character typed at the caret (a surrogate pair at most) joins the typing before it.
    const bool typing = text.size() <= 2 && !HasSelection();
    return Replace(SelStart(), SelEnd(), s, typing);
}

TEditText::Change TEditText::RemoveSelection()
{
    if (m_readOnly || !HasSelection())
        return {};
    return Replace(SelStart(), SelEnd(), QString(), false);
}

TEditText::Change TEditText::DeleteBackward(bool word)
{
    if (m_readOnly)
        return {};
    if (HasSelection())
        return RemoveSelection();
    if (m_cursor == 0)
        return {};
    int from;
    if (word) {
        from = WordStartBefore(m_cursor);
    } else if (IsLineBreak(m_text.at(m_cursor - 1))) {
        from = PreviousPosition(m_cursor);
    } else {
        from = m_cursor - 1;
        if (from > 0 && m_text.at(from).isLowSurrogate() && m_text.at(from - 1).isHighSurrogate())
            --from;
    }
    return Replace(from, m_cursor, QString(), false);
}

TEditText::Change TEditText::DeleteForward(bool word)
{
    if (m_readOnly)
        return {};
    if (HasSelection())
        return RemoveSelection();
    if (m_cursor >= m_text.size())
        return {};
    return Replace(m_cursor, word ? NextWordStart(m_cursor) : NextPosition(m_cursor), QString(), false);
}

TEditText::Change TEditText::Undo()
{
    if (m_readOnly || m_undo.empty())
        return {};
    const UndoStep step = m_undo.back();
    m_undo.pop_back();
    m_undoSize -= step.removed.size() + step.inserted.size();
    ReplaceWiping(m_text, step.position, step.inserted.size(), step.removed);
    const int n = int(m_text.size());
    m_anchor = qBound(0, step.anchorBefore, n);
    m_cursor = qBound(0, step.cursorBefore, n);
    m_modified = true;
    return {step.position, step.inserted, step.removed};
}

// --- positions ----------------------------------------------------------------------

int TEditText::LineStartOf(int pos) const
{
    const QStringView before = QStringView(m_text).left(pos);
    const qsizetype cr = before.lastIndexOf(QLatin1Char('\r'));
    const qsizetype lf = before.lastIndexOf(QLatin1Char('\n'));
    return int(qMax(cr, lf) + 1);
}

int TEditText::LineEndOf(int pos) const
{
    const qsizetype cr = m_text.indexOf(QLatin1Char('\r'), pos);
    const qsizetype lf = m_text.indexOf(QLatin1Char('\n'), pos);
    if (cr < 0 && lf < 0)
        return int(m_text.size());
    if (cr < 0 || lf < 0)
        return int(qMax(cr, lf));
    return int(qMin(cr, lf));
}

int TEditText::SnapOutOfLineBreak(int pos) const
{
    if (pos > 0 && pos < m_text.size() && m_text.at(pos - 1) == QLatin1Char('\r') && m_text.at(pos) == QLatin1Char('\n'))
        return pos - 1;
    return pos;
}

int TEditText::NextPosition(int pos) const
{
    if (pos >= m_text.size())
        return int(m_text.size());
    if (IsLineBreak(m_text.at(pos))) {
        if (m_text.at(pos) == QLatin1Char('\r') && pos + 1 < m_text.size() && m_text.at(pos + 1) == QLatin1Char('\n'))
            return pos + 2;
        return pos + 1;
    }
    // A character that draws nothing is shown with a sign of its own, so it is a stop of
    // its own, even where Unicode would join it to its neighbour (a zero-width joiner, a
    // variation selector).
    if (DrawsNothing(LookOf(CharacterCode(m_text, pos))))
        return pos + int(CharacterLength(m_text, pos));
    int end = qMin(LineEndOf(pos), pos + kClusterWindow);
    for (int i = pos + int(CharacterLength(m_text, pos)); i < end; i += int(CharacterLength(m_text, i)))
        if (DrawsNothing(LookOf(CharacterCode(m_text, i)))) {
            end = i;
            break;
        }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, QStringView(m_text).mid(pos, end - pos));
    const qsizetype next = finder.toNextBoundary();
    return next > 0 ? pos + int(next) : end;
}

// The start of the character that ends at pos.
int TEditText::CharacterStartBefore(int pos) const
{
    if (pos >= 2 && m_text.at(pos - 1).isLowSurrogate() && m_text.at(pos - 2).isHighSurrogate())
        return pos - 2;
    return pos - 1;
}

int TEditText::PreviousPosition(int pos) const
{
    if (pos <= 0)
        return 0;
    const QChar before = m_text.at(pos - 1);
    if (IsLineBreak(before)) {
        if (before == QLatin1Char('\n') && pos >= 2 && m_text.at(pos - 2) == QLatin1Char('\r'))
            return pos - 2;
        return pos - 1;
    }
    const int last = CharacterStartBefore(pos);
    if (DrawsNothing(LookOf(CharacterCode(m_text, last))))
        return last;
    int start = qMax(LineStartOf(pos), pos - kClusterWindow);
    for (int i = last; i > start; i = CharacterStartBefore(i)) {
        const int before = CharacterStartBefore(i);
        if (DrawsNothing(LookOf(CharacterCode(m_text, before)))) {
            start = i;
            break;
        }
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, QStringView(m_text).mid(start, pos - start));
    finder.toEnd();
    const qsizetype prev = finder.toPreviousBoundary();
    return prev >= 0 ? start + int(prev) : start;
}

int TEditText::WordStartBefore(int pos) const
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

int TEditText::NextWordStart(int pos) const
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

void TEditText::WordAt(int pos, int *start, int *end) const
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
