#include "DictationView.h"

#include "Accessible.h"
#include "Characters.h"
#include "Fonts.h"
#include "ReadingComposer.h"
#include "ReadingModel.h"
#include "Wipe.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

#include <utility>

using namespace DictationMetrics;

// --- cells ------------------------------------------------------------------------------

namespace {

const QString kUnreadable = QStringLiteral("読みなし");
const QString kFirstCell = QStringLiteral("先頭の文字");
const QString kLastCell = QStringLiteral("末尾の文字");
const QString kOnlyCell = QStringLiteral("ただ一つの文字");

} // namespace

QString TDictationCell::AccessibleName() const
{
    return QStringLiteral("%1文字目 %2").arg(position).arg(Reading());
}

bool TDictationCell::GlyphIsCode() const
{
    if (text.isEmpty())
        return false;
    const TCharacterLook look = LookOf(CharacterCode(text, 0));
    return look == TCharacterLook::Invisible || look == TCharacterLook::Mark;
}

QString TDictationCell::Glyph() const
{
    if (text.isEmpty())
        return QString();
    const char32_t code = CharacterCode(text, 0);
    switch (LookOf(code)) {
    case TCharacterLook::Blank: return QStringLiteral("␣");
    case TCharacterLook::Tab: return QStringLiteral("⇥");
    case TCharacterLook::LineBreak: return QStringLiteral("↵");
    case TCharacterLook::Invisible:
    case TCharacterLook::Mark: return CodeText(code);
    case TCharacterLook::Ink: break;
    }
    return text;
}

QList<TDictationCell> DictationCells(const QString &password)
{
    // A prefix before every character, and a reading for all of the alphabet.
    const QList<TReadingPiece> pieces = ReadingPieces(password, ReadingOptions());
    QList<TDictationCell> cells;
    cells.reserve(pieces.size());
    for (const TReadingPiece &p : pieces) {
        TDictationCell c;
        c.text = password.mid(p.start, p.length);
        c.position = int(cells.size() + 1);
        // A character without a reading shows that in its own words, not as a symbol.
        c.cls = p.readable ? p.cls : 0;
        c.prefix = p.readable ? p.prefix : kUnreadable;
        c.piece = p.reading;
        cells.append(c);
    }
    return cells;
}

TDictationLayout LayoutDictation(int count, QSize cell, int width)
{
    TDictationLayout l;
    const int available = qMax(0, width - 2 * kMargin);
    const int groupWidth = kGroupSize * cell.width() + (kGroupSize - 1) * kCellSpacing;
    if (available >= groupWidth) {
        const int groups = qMax(1, (available + kGroupGap) / (groupWidth + kGroupGap));
        l.perRow = groups * kGroupSize;
    } else {
        l.perRow = qMax(1, (available + kCellSpacing) / (cell.width() + kCellSpacing));
    }
    // Never wider than the password needs, rounded up to whole groups.
    const int needed = qMax(kGroupSize, (count + kGroupSize - 1) / kGroupSize * kGroupSize);
    l.perRow = qMin(l.perRow, needed);
    l.cells.reserve(count);
    int right = 0;
    for (int i = 0; i < count; ++i) {
        const int row = i / l.perRow;
        const int col = i % l.perRow;
        const int x = kMargin + col * (cell.width() + kCellSpacing) + (col / kGroupSize) * (kGroupGap - kCellSpacing);
        const int y = kMargin + row * (cell.height() + kRowSpacing);
        l.cells.append(QRect(QPoint(x, y), cell));
        right = qMax(right, x + cell.width());
    }
    const int rows = (count + l.perRow - 1) / l.perRow;
    l.size = QSize(right + kMargin, rows ? kMargin * 2 + rows * cell.height() + (rows - 1) * kRowSpacing : 0);
    return l;
}

// --- colours ----------------------------------------------------------------------------

namespace DictationColours {
QColor Page() { return QColor(0xF1, 0xF1, 0xEE); }
QColor CellBack() { return QColor(0xFF, 0xFF, 0xFF); }
QColor CurrentBack() { return QColor(0xFF, 0xF3, 0xB0); }
QColor UnreadableBack() { return QColor(0xFD, 0xE7, 0xEA); }
QColor Glyph() { return QColor(0x14, 0x14, 0x14); }
QColor Position() { return QColor(0x55, 0x55, 0x55); }
QColor CellBorder() { return QColor(0xC4, 0xC4, 0xC0); }
// Bright enough that the screenshot check finds the glyphs as the only dark marks.
QColor CurrentBorder() { return QColor(0xD0, 0x7A, 0x00); }
QColor Class(int cls)
{
    switch (cls) {
    case 1: return QColor(0x00, 0x50, 0xB3); // upper: blue
    case 2: return QColor(0x17, 0x69, 0x2B); // lower: green
    case 3: return QColor(0x9A, 0x4A, 0x00); // digit: brown
    case 4: return QColor(0x7A, 0x2A, 0x9E); // symbol: purple
    default: return QColor(0xB0, 0x00, 0x20); // no reading: red
    }
}
} // namespace DictationColours

double ContrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : qPow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// --- accessibility ----------------------------------------------------------------------

namespace {

class TDictationCellAccessible : public QAccessibleInterface {
public:
    TDictationCellAccessible(TDictationGrid *grid, int index) : m_grid(grid), m_index(index) {}

    bool isValid() const override { return m_grid && m_index < m_grid->Cells().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        // The description tells the ends apart: a reader says it after the name.
        if (t == QAccessible::Description)
            return m_grid->EdgeNote(m_index);
        if (t != QAccessible::Name)
            return QString();
        return m_grid->Cells().at(m_index).AccessibleName();
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = m_grid->VisualRect(m_index);
        return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        const bool current = m_grid->Current() == m_index;
        s.selected = current;
        s.focused = current && m_grid->hasFocus();
        s.offscreen = !m_grid->viewport()->rect().intersects(m_grid->VisualRect(m_index));
        return s;
    }

private:
    QPointer<TDictationGrid> m_grid;
    int m_index;
};

// The grid as a list whose items are the cells; the scroll bars are left out, a reader
// moves through the cells with the arrow keys.
class TDictationGridAccessible : public QAccessibleWidget {
public:
    explicit TDictationGridAccessible(TDictationGrid *grid) : QAccessibleWidget(grid, QAccessible::List) {}
    ~TDictationGridAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }

    TDictationGrid *Grid() const { return static_cast<TDictationGrid *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QStringLiteral("パスワードの文字");
        if (t == QAccessible::Description && Grid()->Cells().isEmpty())
            return TDictationGrid::EmptyNote();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return int(Grid()->Cells().size()); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        const auto it = m_children.constFind(index);
        if (it != m_children.constEnd())
            return QAccessible::accessibleInterface(*it);
        auto *cell = new TDictationCellAccessible(Grid(), index);
        m_children.insert(index, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const int i = Grid()->CellAt(Grid()->viewport()->mapFromGlobal(QPoint(x, y)));
        return i < 0 ? nullptr : child(i);
    }

    QAccessibleInterface *focusChild() const override
    {
        return Grid()->hasFocus() && Grid()->Current() >= 0 ? child(Grid()->Current()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> m_children;
};

} // namespace

QAccessibleInterface *DictationAccessibleInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("TDictationGrid") && object && object->isWidgetType())
        return new TDictationGridAccessible(static_cast<TDictationGrid *>(object));
    return nullptr;
}

// --- grid -------------------------------------------------------------------------------

namespace {

QFont GlyphFont()
{
    QFont f;
    // A face that keeps 0/O and 1/l/I apart; full-width pastes fall to the window's face.
    f.setFamilies({QStringLiteral("DejaVu Sans Mono"), ResolvedFontFamily(QStringLiteral("ＭＳ ゴシック"))});
    f.setPixelSize(kGlyphPixels);
    return f;
}

// Draws one cell: class bar, position, the character, then prefix and reading.
void PaintCell(QPainter &p, const QRect &r, const TDictationCell &c, bool current, const QFont &glyphFont,
               const QFont &readingFont, const QFont &smallFont)
{
    const QColor classColour = DictationColours::Class(c.cls);
    QColor back = DictationColours::CellBack();
    if (c.cls == 0)
        back = DictationColours::UnreadableBack();
    if (current)
        back = DictationColours::CurrentBack();
    p.fillRect(r, back);
    p.fillRect(QRect(r.left(), r.top(), r.width(), kClassBar), classColour);

    const QFontMetrics small(smallFont);
    const QFontMetrics glyph(glyphFont);
    const QFontMetrics reading(readingFont);
    const int inner = r.width() - 2 * kPadding;
    int y = r.top() + kClassBar + kPadding / 2;

    p.setFont(smallFont);
    p.setPen(DictationColours::Position());
    p.drawText(QRect(r.left() + kPadding, y, inner, small.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(c.position));
    y += small.height();

    const QString shown = c.Glyph();
    p.setFont(c.GlyphIsCode() ? readingFont : glyphFont);
    p.setPen(c.cls ? DictationColours::Glyph() : classColour);
    p.drawText(QRect(r.left(), y, r.width(), glyph.height()), Qt::AlignCenter, shown);
    y += glyph.height() + kPadding / 2; // an underscore sits low in its line

    p.setPen(classColour);
    p.setFont(smallFont);
    p.drawText(QRect(r.left() + kPadding, y, inner, small.height()), Qt::AlignHCenter | Qt::AlignVCenter, c.prefix);
    y += small.height();
    p.setFont(readingFont);
    p.drawText(QRect(r.left() + kPadding, y, inner, reading.height()), Qt::AlignHCenter | Qt::AlignVCenter,
               reading.elidedText(c.piece, Qt::ElideRight, inner));

    p.setBrush(Qt::NoBrush);
    if (current) {
        QPen pen(DictationColours::CurrentBorder(), kCurrentBorder);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        const int inset = kCurrentBorder / 2;
        p.drawRect(r.adjusted(inset, inset, -inset - 1, -inset - 1));
    } else if (c.cls == 0) {
        // Dashed red: a position without a reading must not look like an ordinary cell.
        QPen pen(classColour, 2, Qt::DashLine);
        p.setPen(pen);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    } else {
        p.setPen(DictationColours::CellBorder());
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

} // namespace

TDictationGrid::TDictationGrid(QWidget *parent)
    : QAbstractScrollArea(parent), m_glyphFont(GlyphFont()),
      m_readingFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), kReadingPixels)),
      m_smallFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), kSmallPixels))
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_cellSize = MeasureCell();
    Relayout();
}

namespace {
// Each cell holds its character, and an unreadable one's name holds it too.
void WipeCells(QList<TDictationCell> &cells)
{
    for (TDictationCell &c : cells) {
        WipeString(c.text);
        WipeString(c.piece);
    }
    cells.clear();
}
} // namespace

TDictationGrid::~TDictationGrid()
{
    // Closed after the main window's edit let go: the last copy may be this one.
    WipeString(m_password);
    WipeCells(m_cells);
}

QString TDictationGrid::EmptyNote()
{
    return QStringLiteral("パスワードが空です。表示する文字はありません。");
}

QString TDictationGrid::EdgeNote(int index) const
{
    const int last = int(m_cells.size()) - 1;
    if (index < 0 || index > last)
        return QString();
    if (last == 0)
        return kOnlyCell;
    if (index == 0)
        return kFirstCell;
    return index == last ? kLastCell : QString();
}

void TDictationGrid::SetPassword(const QString &password)
{
    if (password == m_password)
        return;
    const int oldCount = int(m_cells.size());
    // The edit wipes the text it lets go of only when nobody else holds it; here the last
    // holder may be this view.
    QString previous = std::exchange(m_password, password);
    WipeString(previous);
    WipeCells(m_cells);
    m_cells = DictationCells(password);
    m_cellSize = MeasureCell();
    const int oldCurrent = m_current;
    m_current = m_cells.isEmpty() ? -1 : qBound(0, qMax(0, m_current), int(m_cells.size()) - 1);
    Relayout();
    viewport()->update();
    QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
    ReportEdgesChanged(oldCount);
    if (m_current >= 0 && m_current != oldCurrent)
        AnnounceCurrent();
}

void TDictationGrid::ReportEdgesChanged(int oldCount)
{
    // A cell that was or is now at an end has another description; a reader that keeps
    // descriptions must ask again.
    const int count = int(m_cells.size());
    if (count == oldCount)
        return;
    QList<int> changed;
    for (int i : {0, oldCount - 1, count - 1})
        if (i >= 0 && i < count && !changed.contains(i))
            changed.append(i);
    for (int i : std::as_const(changed)) {
        QAccessibleEvent e(this, QAccessible::DescriptionChanged);
        e.setChild(i);
        QAccessible::updateAccessibility(&e);
    }
}

void TDictationGrid::SpeakBlockedMove()
{
    // A move past an end changes nothing a reader would report: say where the reader stands.
    if (m_current < 0)
        return;
    const QString note = EdgeNote(m_current);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (note.isEmpty() || !list || !hasFocus())
        return;
    Accessibility::Announce(list->child(m_current),
                            m_cells.at(m_current).AccessibleName() + QStringLiteral("。") + note);
}

void TDictationGrid::SetCurrent(int index)
{
    index = m_cells.isEmpty() ? -1 : qBound(0, index, int(m_cells.size()) - 1);
    if (index == m_current)
        return;
    m_current = index;
    viewport()->update();
    ShowCurrent();
    AnnounceCurrent();
}

QSize TDictationGrid::MeasureCell() const
{
    const QFontMetrics glyph(m_glyphFont);
    const QFontMetrics reading(m_readingFont);
    const QFontMetrics small(m_smallFont);
    // The widest character any cell can show, so the grid does not jump while typing.
    int width = glyph.horizontalAdvance(QStringLiteral("Ｗ"));
    QHash<QString, bool> measured;
    for (const TDictationCell &c : std::as_const(m_cells)) {
        if (measured.contains(c.piece))
            continue;
        measured.insert(c.piece, true);
        width = qMax(width, reading.horizontalAdvance(c.piece));
        width = qMax(width, small.horizontalAdvance(c.prefix));
    }
    const int height = kClassBar + kPadding + small.height() + glyph.height() + small.height()
        + reading.height() + kPadding;
    return QSize(qMax(kMinCellWidth, width + 2 * kPadding), height);
}

void TDictationGrid::Relayout()
{
    // Laid out for the whole area first; only when that overflows, for the area less the
    // scroll bar, so the bar showing up cannot take away the room it was sized for.
    const QSize area = contentsRect().size();
    m_layout = LayoutDictation(int(m_cells.size()), m_cellSize, area.width());
    if (m_layout.size.height() > area.height())
        m_layout = LayoutDictation(int(m_cells.size()), m_cellSize, area.width() - verticalScrollBar()->sizeHint().width());
    const bool overflow = m_layout.size.height() > area.height();
    verticalScrollBar()->setRange(0, qMax(0, m_layout.size.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(m_cellSize.height() / 4);
    const int width = area.width() - (overflow ? verticalScrollBar()->sizeHint().width() : 0);
    horizontalScrollBar()->setRange(0, qMax(0, m_layout.size.width() - width));
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(m_cellSize.width() / 4);
}

QSize TDictationGrid::ContentSizeFor(int maxWidth) const
{
    const TDictationLayout l = LayoutDictation(int(m_cells.size()), m_cellSize, maxWidth);
    if (m_cells.isEmpty()) {
        const QFontMetrics reading(m_readingFont);
        return QSize(reading.horizontalAdvance(EmptyNote()) + 2 * kMargin, reading.height() + 2 * kMargin);
    }
    return l.size;
}

QRect TDictationGrid::VisualRect(int index) const
{
    if (index < 0 || index >= m_layout.cells.size())
        return QRect();
    return m_layout.cells.at(index).translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

int TDictationGrid::CellAt(const QPoint &viewportPos) const
{
    const QPoint p = viewportPos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int row = (p.y() - kMargin) / (m_cellSize.height() + kRowSpacing);
    if (p.y() < kMargin || m_layout.perRow == 0)
        return -1;
    for (int i = row * m_layout.perRow; i < qMin(int(m_layout.cells.size()), (row + 1) * m_layout.perRow); ++i)
        if (m_layout.cells.at(i).contains(p))
            return i;
    return -1;
}

void TDictationGrid::ShowCurrent()
{
    const QRect r = VisualRect(m_current);
    if (r.isNull())
        return;
    QScrollBar *v = verticalScrollBar();
    if (r.top() < kMargin)
        v->setValue(v->value() + r.top() - kMargin);
    else if (r.bottom() > viewport()->height() - kMargin)
        v->setValue(v->value() + r.bottom() - viewport()->height() + kMargin);
    QScrollBar *h = horizontalScrollBar();
    if (r.left() < 0)
        h->setValue(h->value() + r.left() - kMargin);
    else if (r.right() > viewport()->width())
        h->setValue(h->value() + r.right() - viewport()->width() + kMargin);
}

void TDictationGrid::AnnounceCurrent()
{
    if (m_current < 0)
        return;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(m_current);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
}

void TDictationGrid::paintEvent(QPaintEvent *e)
{
    QPainter p(viewport());
    p.fillRect(e->rect(), DictationColours::Page());
    if (m_cells.isEmpty()) {
        p.setFont(m_readingFont);
        p.setPen(DictationColours::Glyph());
        p.drawText(viewport()->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, EmptyNote());
        return;
    }
    const int dx = horizontalScrollBar()->value();
    const int dy = verticalScrollBar()->value();
    p.translate(-dx, -dy);
    // Only the rows in view: a long paste costs no more to paint than a short one.
    const QRect visible = e->rect().translated(dx, dy);
    const int rowHeight = m_cellSize.height() + kRowSpacing;
    const int firstRow = qMax(0, (visible.top() - kMargin) / rowHeight);
    const int lastRow = qMax(0, (visible.bottom() - kMargin) / rowHeight);
    const int first = firstRow * m_layout.perRow;
    const int last = qMin(int(m_cells.size()), (lastRow + 1) * m_layout.perRow);
    for (int i = first; i < last; ++i) {
        const QRect &r = m_layout.cells.at(i);
        if (r.intersects(visible))
            PaintCell(p, r, m_cells.at(i), i == m_current, m_glyphFont, m_readingFont, m_smallFont);
    }
}

void TDictationGrid::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    Relayout();
}

void TDictationGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}

void TDictationGrid::keyPressEvent(QKeyEvent *e)
{
    if (e->modifiers() & ~Qt::KeypadModifier) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    const int before = m_current;
    switch (e->key()) {
    case Qt::Key_Left: SetCurrent(m_current - 1); break;
    case Qt::Key_Right: SetCurrent(m_current + 1); break;
    case Qt::Key_Home: SetCurrent(0); break;
    case Qt::Key_End: SetCurrent(int(m_cells.size()) - 1); break;
    case Qt::Key_Up: SetCurrent(m_current - m_layout.perRow); break;
    case Qt::Key_Down:
        if (m_current + m_layout.perRow < m_cells.size())
            SetCurrent(m_current + m_layout.perRow);
        break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
    }
    e->accept();
    if (m_current == before)
        SpeakBlockedMove();
}

void TDictationGrid::mousePressEvent(QMouseEvent *e)
{
    const int i = CellAt(e->position().toPoint());
    if (i >= 0)
        SetCurrent(i);
    QAbstractScrollArea::mousePressEvent(e);
}

void TDictationGrid::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    // The list itself is reported once this event is done; the current cell's focus goes
    // after it, so the reader ends up on the cell and says it.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            AnnounceCurrent();
    });
}

// --- window -----------------------------------------------------------------------------

QString TDictationView::Title()
{
    return QStringLiteral("Kanavox 大きく表示");
}

TDictationView::TDictationView(const TReadingModel *source, QWidget *owner)
    : QWidget(owner, Qt::Window), m_source(source), m_grid(new TDictationGrid(this)), m_keys(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(Title());
    // Own colours throughout, scroll bars included: legible under a dark desktop scheme.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, DictationColours::Page());
    pal.setColor(QPalette::WindowText, DictationColours::Glyph());
    pal.setColor(QPalette::Base, DictationColours::CellBack());
    pal.setColor(QPalette::Text, DictationColours::Glyph());
    pal.setColor(QPalette::Button, DictationColours::Page());
    pal.setColor(QPalette::ButtonText, DictationColours::Glyph());
    setPalette(pal);
    setAutoFillBackground(true);

    m_keys->setText(QStringLiteral("← → 移動　Home 先頭　End 末尾　F11 全画面　Esc 閉じる"));
    m_keys->setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), kSmallPixels));
    m_keys->setContentsMargins(kMargin, 4, kMargin, 6);
    m_keys->setWordWrap(true); // so it never holds the window wider than a small screen
    m_keys->setForegroundRole(QPalette::WindowText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_keys);
    setFocusProxy(m_grid);

    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto *closeW = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(closeW, &QShortcut::activated, this, &QWidget::close);
    auto *full = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(full, &QShortcut::activated, this, &TDictationView::ToggleFullScreen);

    if (source) {
        // Each cell spells its character out in full, whatever the options of the result.
        m_grid->SetPassword(source->Password());
        connect(source, &TReadingModel::Changed, this, [this] {
            if (m_source)
                m_grid->SetPassword(m_source->Password());
        });
    }
    if (owner)
        owner->installEventFilter(this);
    FitToScreen();
}

void TDictationView::FitToScreen()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Room for a window manager's frame, which is not known before the window is shown.
    constexpr int kFrameAllowance = 40;
    const int scrollBar = m_grid->verticalScrollBar()->sizeHint().width();
    const int maxWidth = qMax(kMinCellWidth, avail.width() - kFrameAllowance);
    const int maxHeight = qMax(kMinCellWidth, avail.height() - kFrameAllowance);
    const int keysWidth = m_keys->fontMetrics().horizontalAdvance(m_keys->text()) + 2 * kMargin;
    QSize content = m_grid->ContentSizeFor(maxWidth);
    int width = qMin(maxWidth, qMax(content.width(), keysWidth));
    int height = content.height() + m_keys->heightForWidth(width);
    if (height > maxHeight) {
        // It scrolls: laid out again beside the scroll bar.
        content = m_grid->ContentSizeFor(maxWidth - scrollBar);
        width = qMin(maxWidth, qMax(content.width() + scrollBar, keysWidth));
        height = maxHeight;
    }
    resize(width, height);
    move(avail.left() + qMax(0, (avail.width() - frameGeometry().width()) / 2),
         avail.top() + qMax(0, (avail.height() - frameGeometry().height()) / 2));
}

void TDictationView::ToggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void TDictationView::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous())
        ReturnFocusToOwner();
}

void TDictationView::ReturnFocusToOwner()
{
    // Without a window manager nobody gives the focus back to the window that opened the
    // view, and the keyboard and the screen reader would be left with no window.
    QWidget *owner = parentWidget();
    QWidget *active = QApplication::activeWindow();
    if (owner && owner->isVisible() && !owner->isMinimized() && (active == this || !active))
        owner->activateWindow();
}

bool TDictationView::eventFilter(QObject *watched, QEvent *e)
{
    // A spontaneous hide is the owner being minimised; only its closing closes the view.
    if (watched == parentWidget() && e->type() == QEvent::Hide && !e->spontaneous())
        close();
    return QWidget::eventFilter(watched, e);
}
