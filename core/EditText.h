#pragma once
// What the edit holds and how it is edited, apart from how it is shown: the text (which
// may hold line breaks), caret and selection, the undo history, the read-only and
// length limits, and the steps by character, word and line. No painting, no events:
// the edit widget asks it to change and shows the result.
#include <QString>

#include <utility>
#include <vector>

class TEditText {
public:
    // One change of the text: at position, removed gave way to inserted. An edit that was
    // refused or changed nothing gives an empty change.
    // The text may be a password: every string that held part of it is wiped by its last
    // holder here (see WipeString), so that old text does not linger in freed memory.
    struct Change {
        int position = -1;
        QString removed;
        QString inserted;
        explicit operator bool() const { return position >= 0; }
        Change() = default;
        Change(int p, QString r, QString i) : position(p), removed(std::move(r)), inserted(std::move(i)) {}
        Change(const Change &) = default;
        Change(Change &&) = default;
        Change &operator=(const Change &) = default;
        Change &operator=(Change &&) = default;
        ~Change();
    };

    TEditText() = default;
    TEditText(const TEditText &) = default;
    TEditText &operator=(const TEditText &) = default;
    ~TEditText();

    const QString &Text() const { return m_text; }
    // Replaces the whole text as a program would: caret to the start, no selection, undo
    // history and modified flag cleared.
    Change SetText(const QString &text);

    int Cursor() const { return m_cursor; }
    int Anchor() const { return m_anchor; }
    int SelStart() const { return qMin(m_anchor, m_cursor); }
    int SelEnd() const { return qMax(m_anchor, m_cursor); }
    int SelLength() const { return qAbs(m_cursor - m_anchor); }
    bool HasSelection() const { return m_cursor != m_anchor; }
    QString SelText() const { return m_text.mid(SelStart(), SelLength()); }

    // Selects [start, start + length); the caret ends at start + length.
    void SetSelection(int start, int length);
    // Selects from anchor to cursor, in either direction.
    void Select(int anchor, int cursor);
    // The caret to pos; extend keeps the anchor, so the selection grows or shrinks.
    void MoveCursor(int pos, bool extend);
    void SelectAll() { SetSelection(0, int(m_text.size())); }

    // The caret steps of the arrow, Home and End keys: by character or word, to the line's
    // or the whole text's ends. Without extend, a selection first gives way to its edge.
    void MoveLeft(bool word, bool extend);
    void MoveRight(bool word, bool extend);
    void MoveHome(bool wholeText, bool extend) { MoveCursor(wholeText ? 0 : LineStartOf(m_cursor), extend); }
    void MoveEnd(bool wholeText, bool extend) { MoveCursor(wholeText ? int(m_text.size()) : LineEndOf(m_cursor), extend); }

    bool Modified() const { return m_modified; }
    void SetModified(bool v) { m_modified = v; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool v) { m_readOnly = v; }
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int v) { m_maxLength = qMax(0, v); }
    bool CanUndo() const { return !m_undo.empty(); }

    // Edits as the user makes them: undoable, set Modified, refused while read-only. Each
    // leaves the caret after what it inserted (or where it removed) with no selection.
    // Text goes in place of the selection, cut to what MaxLength leaves room for.
    Change Insert(const QString &text);
    Change RemoveSelection();
    // Backspace removes one code point (a combining mark goes without its base), Delete
    // one character; word removes to the word's start or the next word's start.
    Change DeleteBackward(bool word);
    Change DeleteForward(bool word);
    // Takes back the last step (a run of typing is one step) and restores the caret and
    // selection from before it.
    Change Undo();

    // Positions. A line ends before its CR, LF or CR LF.
    int LineStartOf(int pos) const;
    int LineEndOf(int pos) const;
    // A position between the CR and LF of one line break belongs before the CR.
    int SnapOutOfLineBreak(int pos) const;
    // The next and previous caret positions: whole grapheme clusters and line breaks; a
    // character that draws nothing by itself (shown as a sign) is a stop of its own.
    int NextPosition(int pos) const;
    int PreviousPosition(int pos) const;
    // Words are runs of letters and digits, runs of other symbols, and runs of blanks.
    int WordStartBefore(int pos) const;
    int NextWordStart(int pos) const;
    // The word around pos, within its line.
    void WordAt(int pos, int *start, int *end) const;

private:
    struct UndoStep {
        int position;
        QString removed;
        QString inserted;
        int anchorBefore, cursorBefore;
        bool typing;
        ~UndoStep();
        UndoStep(int p, QString r, QString i, int a, int c, bool t)
            : position(p), removed(std::move(r)), inserted(std::move(i)), anchorBefore(a), cursorBefore(c), typing(t) {}
        UndoStep(const UndoStep &) = default;
        UndoStep(UndoStep &&) = default;
        UndoStep &operator=(const UndoStep &) = default;
        UndoStep &operator=(UndoStep &&) = default;
    };
    // m_text becomes `text`; the old buffer is wiped unless someone else still holds it.
    void SetTextWiping(QString text);

    Change Replace(int start, int end, const QString &with, bool typing);
    int CharacterStartBefore(int pos) const;

    QString m_text;
    int m_cursor = 0;
    int m_anchor = 0;
    bool m_modified = false;
    bool m_readOnly = false;
    int m_maxLength = 0;
    std::vector<UndoStep> m_undo;
    qsizetype m_undoSize = 0;
};
