#pragma once
// The dictation view: the password in large type, one cell per character with its
// position and reading, for reading it out over the phone. It shows and writes nothing
// else: no settings, no clipboard.
#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class TReadingModel;

// One character of the password, counted as the reading counts them: a surrogate pair
// is one, a CR LF pair is one line break. Positions count those characters from 1; a
// character without a reading has class 0 and still gets its cell.
struct TDictationCell {
    QString text;    // the character: one or two code units
    int position = 0;
    int cls = 0;     // 1 upper, 2 lower, 3 digit, 4 symbol; 0 no reading
    QString prefix;  // "小文字:" (with its colon), or "読みなし" for class 0
    QString piece;   // "エックス", or for class 0 the name the reading gives it, "「空白」"

    // The reading of the character alone, prefix included: the composer's for one of the
    // alphabet, "読みなし 「空白」" for any other.
    QString Reading() const { return cls ? prefix + piece : prefix + QLatin1Char(' ') + piece; }
    // What a screen reader says for the cell: "7文字目 小文字:エックス".
    QString AccessibleName() const;
    // What the cell shows in large type: the character, or a visible stand-in for one
    // that draws nothing by itself (a blank, a line break, a control, a lone surrogate).
    QString Glyph() const;
    // Whether Glyph() is a code written out rather than a sign.
    bool GlyphIsCode() const;
};

QList<TDictationCell> DictationCells(const QString &password);

// Where the cells go at a given viewport width: rows of whole groups of four while one
// group fits, else as many single cells as fit (at least one).
struct TDictationLayout {
    QList<QRect> cells;
    QSize size;      // the content's extent, margins included
    int perRow = 0;
};
TDictationLayout LayoutDictation(int count, QSize cell, int width);

namespace DictationMetrics {
constexpr int kMargin = 16;
constexpr int kCellSpacing = 6;
constexpr int kGroupGap = 30;      // after every fourth cell, wide enough to see at a glance
constexpr int kRowSpacing = 14;
constexpr int kGroupSize = 4;
constexpr int kGlyphPixels = 72;   // the em; capitals and digits stand over 48 px high
constexpr int kReadingPixels = 20;
constexpr int kSmallPixels = 15;
constexpr int kPadding = 8;
constexpr int kClassBar = 6;
constexpr int kMinCellWidth = 96;
constexpr int kCurrentBorder = 3;
} // namespace DictationMetrics

// The view's own colours, the same under any desktop scheme.
namespace DictationColours {
QColor Page();
QColor CellBack();
QColor CurrentBack();
QColor UnreadableBack();
QColor Glyph();
QColor Position();
QColor CellBorder();
QColor CurrentBorder();
// The colour of a class, 0 (no reading) to 4.
QColor Class(int cls);
} // namespace DictationColours

// WCAG contrast ratio of two opaque colours, 1 to 21.
double ContrastRatio(const QColor &a, const QColor &b);

// What assistive technology sees of the grid: a list of the cells. For the application's
// one accessibility factory (InstallAccessibility); null for an object of any other class.
class QAccessibleInterface;
QAccessibleInterface *DictationAccessibleInterface(const QString &className, QObject *object);

class TDictationGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TDictationGrid(QWidget *parent = nullptr);
    ~TDictationGrid() override;

    QString Password() const { return m_password; }
    void SetPassword(const QString &password);
    const QList<TDictationCell> &Cells() const { return m_cells; }

    // The highlighted cell, -1 when there is none (empty password).
    int Current() const { return m_current; }
    void SetCurrent(int index);

    QSize CellSize() const { return m_cellSize; }
    // Cell rectangles in content coordinates (unscrolled).
    const TDictationLayout &Layout() const { return m_layout; }
    // A cell's rectangle on the viewport as it is scrolled now.
    QRect VisualRect(int index) const;
    int CellAt(const QPoint &viewportPos) const;
    // The viewport size that shows every cell at once, laid out as wide as `maxWidth` allows.
    QSize ContentSizeFor(int maxWidth) const;

    static QString EmptyNote();
    // What a screen reader hears besides a cell's name when the cell stands at an end:
    // empty for a cell between others.
    QString EdgeNote(int index) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Relayout();
    void ShowCurrent();
    void AnnounceCurrent();
    void SpeakBlockedMove();
    void ReportEdgesChanged(int oldCount);
    QSize MeasureCell() const;

    QString m_password;
    QList<TDictationCell> m_cells;
    TDictationLayout m_layout;
    QSize m_cellSize;
    int m_current = -1;
    QFont m_glyphFont;
    QFont m_readingFont;
    QFont m_smallFont;
};

class TDictationView : public QWidget {
    Q_OBJECT
public:
    static QString Title();

    // Follows `source`'s password while open; closes when `owner` closes.
    TDictationView(const TReadingModel *source, QWidget *owner);

    TDictationGrid *Grid() const { return m_grid; }
    // Sizes the window to show the whole password, within the screen's available area.
    void FitToScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void ToggleFullScreen();
    void ReturnFocusToOwner();

    QPointer<const TReadingModel> m_source;
    TDictationGrid *m_grid;
    QLabel *m_keys;
};
