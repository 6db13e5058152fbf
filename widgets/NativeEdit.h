#pragma once
// The platform edit control the widget set's edit is built on: a text that may hold line
// breaks, shown one line high with horizontal auto-scroll, with caret, selection,
// clipboard commands, undo, change notification and the standard context menu. Typing
// never inserts a line break. What is edited and how lives in TEditText; this is its view
// and its input.
//
// The view shows every character the text holds, in the order it holds them: the whole
// text on one line, left to right, never reordered by bidi rules, and each character that
// draws nothing by itself (a blank, a tab, a line break, a control or format character)
// as a small sign of its own. A password pasted with such a character must not look like
// another one.
#include "Characters.h"
#include "Clipboard.h"
#include "EditText.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QWidget>

#include <memory>

class QColor;
class QMenu;
class QPainter;
class QRectF;
class QStyleOptionFrame;
class QTextLayout;

// The text as the edit lays it out, code unit for code unit: a character that draws
// nothing by itself, other than a blank, gives way to an ideographic space (a gap as wide
// as a full-width letter, where its sign goes), and its second code unit if it has one to
// a zero-width space, so that positions in the layout stay positions in the text.
QString LayoutText(QStringView text);
// Draws the sign of a character that draws nothing by itself into its cell: a blank's
// open box, a tab's arrow to a bar, a line break's return arrow, a dashed box for any
// other. Painted, not taken from a font, so it shows whatever fonts are installed.
void PaintStandIn(QPainter *p, const QRectF &cell, TCharacterLook look, const QColor &colour);

class TNativeEdit : public QWidget {
    Q_OBJECT
public:
    explicit TNativeEdit(QWidget *parent = nullptr);
    ~TNativeEdit() override;

    QString NativeText() const { return m_edit.Text(); }
    // Replaces the whole text as a program would: caret to the start, no selection,
    // undo history and modified flag cleared; always reports a change.
    void SetNativeText(const QString &text);

    int SelStart() const { return m_edit.SelStart(); }
    int SelLength() const { return m_edit.SelLength(); }
    int CursorPosition() const { return m_edit.Cursor(); }
    // Selects [start, start + length); the caret ends at start + length.
    void SetSelection(int start, int length);
    void SetSelStart(int start) { SetSelection(start, 0); }
    void SetSelLength(int length) { SetSelection(SelStart(), length); }
    QString SelText() const { return m_edit.SelText(); }
    bool HasSelection() const { return m_edit.HasSelection(); }

    bool Modified() const { return m_edit.Modified(); }
    void SetModified(bool v) { m_edit.SetModified(v); }
    bool ReadOnly() const { return m_edit.ReadOnly(); }
    void SetReadOnly(bool v);
    int MaxLength() const { return m_edit.MaxLength(); }
    void SetMaxLength(int v) { m_edit.SetMaxLength(v); }
    bool CanUndo() const { return m_edit.CanUndo(); }

    // The first character shown at the left edge.
    int FirstVisible() const { return m_scroll; }
    // The text as shown: all of it, line breaks included, on the one line.
    QString VisibleLineText() const { return m_edit.Text(); }
    // Where the character at pos is drawn, in widget coordinates; empty when it is not shown.
    QRect CharacterRect(int pos) const;

    // Whether what the edit copies or cuts is a secret: the clipboard then carries the hint
    // that keeps it out of clipboard managers' history, whichever key or menu copied it.
    void SetClipboardSensitivity(TClipboard::TSensitivity s) { m_clipboardSensitivity = s; }
    TClipboard::TSensitivity ClipboardSensitivity() const { return m_clipboardSensitivity; }

    // Editing commands as the context menu and the keyboard shortcuts run them.
    virtual void CutToClipboard();
    virtual void CopyToClipboard();
    virtual void PasteFromClipboard();
    virtual void Undo();
    void ClearSelection();
    virtual void SelectAll();

    // The standard context menu: undo, cut, copy, paste, delete, select all.
    QMenu *CreateStandardContextMenu();

    // Assistive technology edits and hit-tests through these, as the user does.
    // Inserts text in place of the selection as the user would (undoable, sets Modified).
    void InsertText(const QString &text);
    // The character under a point, or -1 beside the text.
    int CharacterAt(const QPoint &p) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Called after every change of the text, whatever caused it.
    virtual void Changed() {}
    // Whether changes are told to assistive technology now: a subclass holds them back
    // while nobody can see the control yet.
    virtual bool AccessibilityObserves() const { return true; }

    // The control's own handling of a key that went down (caret and selection moves,
    // Delete, Shift+Insert, Ctrl+Insert, Shift+Delete); false when it has no use for it.
    bool NativeKeyDown(quint16 key, Qt::KeyboardModifiers modifiers);
    // The control's own handling of one character: insert it, or run the command of a
    // control code (Backspace, Ctrl+A/C/V/X/Z). Line breaks and other controls do nothing.
    void NativeChar(QChar ch);

    void keyPressEvent(QKeyEvent *e) override;
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

    // Caret position nearest to a point of the widget, in the visible line.
    int PositionAt(const QPoint &p) const;

private:
    // A layout of the text may hold the last copy of a password: its text is wiped as the
    // layout goes.
    struct WipingDelete {
        void operator()(QTextLayout *layout) const;
    };
    using LayoutPtr = std::unique_ptr<QTextLayout, WipingDelete>;
    struct Segment {
        int start = -1, end = -1;
        LayoutPtr layout;
    };

    // Shows what an edit of the text changed and reports it; nothing for an empty change.
    void ShowChange(const TEditText::Change &change);
    void MoveCursor(int pos, bool extend);

    QRect ContentsRect() const;
    void InitFrameOption(QStyleOptionFrame *opt) const;
    LayoutPtr LayoutOf(int start, int end) const;
    void PaintStandIns(QPainter *p, const Segment &seg, const QPointF &origin) const;
    const Segment &VisibleSegment() const;
    int FirstFittingStart(int end, int lineStart, int available) const;
    int SnapBack(int pos) const;
    int SnapForward(int pos) const;
    void EnsureCursorVisible();
    void ShowCaret();
    void InvalidateLayout();
    int TextTop() const;
    void RestartCaretBlink();
    void StopCaretBlink();
    void DragTo(const QPoint &p);
    // Tells assistive technology what changed, as Qt's line edit does.
    void ReportTextChange(const TEditText::Change &change);
    void ReportCaret();

    TEditText m_edit;
    TClipboard::TSensitivity m_clipboardSensitivity = TClipboard::Ordinary;
    int m_scroll = 0;

    mutable Segment m_visible;
    quint64 m_revision = 0;
    mutable quint64 m_visibleRevision = ~quint64(0);

    int m_reportedCursor = 0;
    int m_reportedAnchor = 0;

    bool m_caretOn = false;
    QBasicTimer m_blinkTimer;
    QElapsedTimer m_sinceInput;

    bool m_dragging = false;
    bool m_dragByWords = false;
    int m_wordAnchorStart = 0, m_wordAnchorEnd = 0;
    int m_dragDirection = 0;
    QBasicTimer m_dragScrollTimer;
};
