#include "EllipsLabel.h"

#include "Accelerator.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr qreal kNoLimit = std::numeric_limits<qreal>::infinity();
// Break opportunities are found in windows of the text, so that a long text is never
// analysed as a whole; a margin at each inner window edge gives the rules their context.
constexpr int kBreakWindowHalf = 2048;
constexpr int kBreakContext = 32;
// Tab stops of the measuring: every eight average character widths.
constexpr int kTabStopChars = 8;

const QString kEllipsis = QStringLiteral("...");

// Characters a line must not start with: closing brackets and punctuation, the prolonged
// sound mark, iteration marks and small kana (they belong to the character before).
bool NoLineStart(QChar c)
{
    static const QString set = QStringLiteral(
        "、。，．・：；？！゛゜ヽヾゝゞ々〻ー―‐゠–〜～）］｝」』】〕〉》〙〗’”〟"
        "ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
        "｡､｣･ｰｧｨｩｪｫｬｭｮｯ),.:;!?]}");
    return set.contains(c);
}

// Characters a line must not end with: opening brackets.
bool NoLineEnd(QChar c)
{
    static const QString set = QStringLiteral("（［｛「『【〔〈《〘〖‘“〝｢([{");
    return set.contains(c);
}

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool IsLineBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

bool IsMarkAt(const QString &t, int i)
{
    const QChar c = t.at(i);
    if (c.isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate())
        return QChar::isMark(QChar::surrogateToUcs4(c, t.at(i + 1)));
    return c.isMark();
}

// The end of the character starting at `pos`, with its surrogate half and combining marks:
// the unit that is measured, cut and moved as one.
int UnitEnd(const QString &t, int pos)
{
    const int n = int(t.size());
    int i = pos + 1;
    if (t.at(pos).isHighSurrogate() && i < n && t.at(i).isLowSurrogate())
        ++i;
    while (i < n && !IsLineBreak(t.at(i)) && IsMarkAt(t, i))
        i += (t.at(i).isHighSurrogate() && i + 1 < n) ? 2 : 1;
    return i;
}

// The start of the unit that ends at `pos`, not before `floor`.
int UnitStartBefore(const QString &t, int pos, int floor)
{
    int i = pos - 1;
    while (i > floor) {
        if (t.at(i).isLowSurrogate() && t.at(i - 1).isHighSurrogate()) {
            if (!IsMarkAt(t, i - 1))
                return i - 1;
            i -= 2;
            continue;
        }
        if (!IsMarkAt(t, i))
            return i;
        --i;
    }
    return qMax(i, floor);
}

// Advances of the label's font, per character, with the tab rule of the caller.
class TAdvances {
public:
    TAdvances(const QFont &font, bool expandTabs)
        : m_fm(font), m_blank(m_fm.horizontalAdvance(QLatin1Char(' '))),
          m_tab(kTabStopChars * m_fm.averageCharWidth()), m_expandTabs(expandTabs)
    {
    }

    // The width of the unit [pos, end) when it starts at x.
    qreal Of(const QString &t, int pos, int end, qreal x)
    {
        const QChar c = t.at(pos);
        if (c == QLatin1Char('\t')) {
            if (!m_expandTabs || m_tab <= 0)
                return m_blank;
            return (std::floor(x / m_tab) + 1) * m_tab - x;
        }
        if (IsLineBreak(c))
            return m_blank; // a single-line label shows a line break as a blank
        if (end - pos == 1) {
            auto it = m_cache.constFind(c.unicode());
            if (it == m_cache.constEnd())
                it = m_cache.insert(c.unicode(), m_fm.horizontalAdvance(c));
            return *it;
        }
        return m_fm.horizontalAdvance(t.mid(pos, end - pos));
    }

    // The width of [from, to), stopping once it exceeds `limit`.
    qreal Range(const QString &t, int from, int to, qreal limit = kNoLimit)
    {
        qreal x = 0;
        for (int i = from; i < to && x <= limit;) {
            const int e = UnitEnd(t, i);
            x += Of(t, i, e, x);
            i = e;
        }
        return x;
    }

    qreal Ellipsis() { return Range(kEllipsis, 0, int(kEllipsis.size())); }

private:
    QFontMetricsF m_fm;
    qreal m_blank;
    qreal m_tab;
    bool m_expandTabs;
    QHash<char16_t, qreal> m_cache;
};

// Where a line may break, by Unicode line breaking, computed window by window.
class TBreakOpportunities {
public:
    explicit TBreakOpportunities(const QString &text) : m_text(text) {}

    // True when a line may break before `pos` (0 < pos < length).
    bool Before(int pos)
    {
        if (pos < m_validFrom || pos >= m_validTo)
            Fill(pos);
        return m_flags[size_t(pos - m_from)] != 0;
    }

private:
    void Fill(int pos)
    {
        const int n = int(m_text.size());
        m_from = qMax(0, pos - kBreakWindowHalf);
        const int to = qMin(n, pos + kBreakWindowHalf);
        QTextBoundaryFinder bf(QTextBoundaryFinder::Line, QStringView(m_text).mid(m_from, to - m_from));
        m_flags.assign(size_t(to - m_from + 1), 0);
        for (qsizetype b = bf.toNextBoundary(); b >= 0; b = bf.toNextBoundary())
            m_flags[size_t(b)] = 1;
        m_validFrom = m_from == 0 ? 0 : m_from + kBreakContext;
        m_validTo = to == n ? n + 1 : to - kBreakContext;
    }

    const QString &m_text;
    std::vector<unsigned char> m_flags;
    int m_from = 0;
    int m_validFrom = 0;
    int m_validTo = 0;
};

struct TLineBreaker {
    const QString &text;
    TAdvances &adv;
    TBreakOpportunities &breaks;
    qreal width;
    bool breakAnywhere;

    // Moves a break that would start a line with closing punctuation (or end one with
    // opening punctuation) back before the preceding character; keeps it when the line
    // would become empty.
    int Kinsoku(int b, int start) const
    {
        int k = b;
        while (k > start && (NoLineStart(text.at(k)) || NoLineEnd(text.at(k - 1))))
            k = UnitStartBefore(text, k, start);
        return k > start ? k : b;
    }

    TLabelLine Soft(int start, int b) const
    {
        TLabelLine line;
        line.start = start;
        line.end = line.next = b;
        qreal x = 0, content = 0;
        for (int i = start; i < b;) {
            const int e = UnitEnd(text, i);
            x += adv.Of(text, i, e, x);
            if (!IsBlank(text.at(i)))
                content = x;
            i = e;
        }
        line.width = content;
        line.fullWidth = x;
        return line;
    }

    // The last break opportunity in (start, i].
    int LastBreak(int start, int i) const
    {
        for (int k = i; k > start; k = UnitStartBefore(text, k, start))
            if (breaks.Before(k))
                return k;
        return -1;
    }

    TLabelLine Next(int start) const
    {
        const int n = int(text.size());
        qreal x = 0, content = 0;
        bool overflow = false; // a word wider than the line runs on to its end
        for (int i = start; i < n;) {
            const QChar c = text.at(i);
            if (IsLineBreak(c)) {
                TLabelLine line;
                line.start = start;
                line.end = i;
                line.next = i + 1 + ((c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ? 1 : 0);
                line.hard = true;
                line.width = content;
                line.fullWidth = x;
                return line;
            }
            if (overflow && breaks.Before(i))
                return Soft(start, Kinsoku(i, start));
            const int e = UnitEnd(text, i);
            const qreal a = adv.Of(text, i, e, x);
            const bool blank = IsBlank(c);
            if (!overflow && !blank && i > start && x + a > width) {
                const int b = LastBreak(start, i);
                if (b > start)
                    return Soft(start, Kinsoku(b, start));
                if (breakAnywhere)
                    return Soft(start, Kinsoku(i, start));
                overflow = true;
            }
            x += a;
            if (!blank)
                content = x;
            i = e;
        }
        TLabelLine line;
        line.start = start;
        line.end = line.next = n;
        line.width = content;
        line.fullWidth = x;
        return line;
    }
};

// The text as shown: the caption itself, or with accelerator marks on, the caption
// without its marks and with the marked characters to underline.
TAcceleratorText ShownText(const QString &caption, bool accelMarks)
{
    if (!accelMarks)
        return TAcceleratorText{caption, {}};
    return ParseAccelerators(caption);
}

// One painted line being put together from pieces of the shown text and "...".
struct TSegment {
    QString text;
    QList<int> underlined;

    void Append(const TAcceleratorText &s, int from, int to)
    {
        const int offset = int(text.size()) - from;
        for (int i = from; i < to; ++i) {
            const QChar c = s.text.at(i);
            // Tabs are not expanded, and a single line shows a line break as a blank.
            text += (IsBlank(c) || IsLineBreak(c)) ? QChar(QLatin1Char(' ')) : c;
        }
        auto it = std::lower_bound(s.underlined.begin(), s.underlined.end(), from);
        for (; it != s.underlined.end() && *it < to; ++it)
            underlined.append(*it + offset);
    }
    void AppendEllipsis() { text += kEllipsis; }
};

// The longest prefix of [from, to) no wider than `budget`; returns its end.
int FitPrefix(const QString &t, int from, int to, qreal budget, TAdvances &adv)
{
    qreal x = 0;
    int i = from;
    while (i < to) {
        const int e = UnitEnd(t, i);
        const qreal a = adv.Of(t, i, e, x);
        if (x + a > budget)
            break;
        x += a;
        i = e;
    }
    return i;
}

// [from, to) shortened to `width` with "..." at its end.
TSegment EndEllipsis(const TAcceleratorText &s, int from, int to, qreal width, TAdvances &adv)
{
    TSegment seg;
    seg.Append(s, from, FitPrefix(s.text, from, to, qMax<qreal>(0, width - adv.Ellipsis()), adv));
    seg.AppendEllipsis();
    return seg;
}

// [from, to) shortened to `width` by "..." in its middle. The part from the last path
// separator ("\" or "/") on is kept whole as far as it fits; the start of the text fills
// what is left. Without a separator, as much of both ends as fits is kept.
TSegment PathEllipsis(const TAcceleratorText &s, int from, int to, qreal width, TAdvances &adv)
{
    const QString &t = s.text;
    const qreal budget = qMax<qreal>(0, width - adv.Ellipsis());
    TSegment seg;
    int sep = -1;
    for (int i = to - 1; i >= from && sep < 0; --i)
        if (t.at(i) == QLatin1Char('\\') || t.at(i) == QLatin1Char('/'))
            sep = i;
    if (sep >= 0) {
        const qreal tail = adv.Range(t, sep, to, budget);
        if (tail <= budget)
            seg.Append(s, from, FitPrefix(t, from, sep, budget - tail, adv));
        seg.AppendEllipsis();
        seg.Append(s, sep, tail <= budget ? to : FitPrefix(t, sep, to, width, adv));
        return seg;
    }
    // Grow both ends in turn, the head first.
    int head = from, tailStart = to;
    qreal used = 0;
    for (bool grew = true; grew && head < tailStart;) {
        grew = false;
        const int he = UnitEnd(t, head);
        if (he <= tailStart) {
            const qreal a = adv.Of(t, head, he, used);
            if (used + a <= budget) {
                used += a;
                head = he;
                grew = true;
            }
        }
        if (head < tailStart) {
            const int ts = UnitStartBefore(t, tailStart, head);
            const qreal a = adv.Of(t, ts, tailStart, 0);
            if (used + a <= budget) {
                used += a;
                tailStart = ts;
                grew = true;
            }
        }
    }
    seg.Append(s, from, head);
    seg.AppendEllipsis();
    seg.Append(s, tailStart, to);
    return seg;
}

// The line height of the design's text measuring is the font's pixel height.
int LineHeight(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
}

// A piece of the shown text and where its line goes: at `left`, or, when `aligned`, where
// the label's alignment puts a line of its width.
struct TPlacedSegment {
    TSegment seg;
    int top = 0;
    qreal left = 0;
    bool aligned = true;
};

qreal AlignedLeft(qreal textWidth, qreal width, TEllipsLabel::TAlignment alignment)
{
    if (alignment == TEllipsLabel::taRightJustify)
        return std::round(width - textWidth);
    if (alignment == TEllipsLabel::taCenter)
        return std::floor((width - textWidth) / 2);
    return 0;
}

// Word-wrapped text starts at the top; lines below the bottom are not laid out.
QList<TPlacedSegment> WrappedLines(const TAcceleratorText &shown, const QFont &f, qreal w, int height, int lineHeight,
                                   TEllipsLabel::TEllipsType type, TAdvances &adv)
{
    const QString &t = shown.text;
    const int n = int(t.size());
    const int visible = height > 0 ? (height + lineHeight - 1) / lineHeight + 1 : 0;
    const QList<TLabelLine> lines = BreakLabelText(t, f, w, type == TEllipsLabel::etNone, false, visible);
    QList<TPlacedSegment> placed;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TLabelLine &l = lines.at(i);
        int end = l.end;
        if (!l.hard)
            while (end > l.start && IsBlank(t.at(end - 1)))
                --end;
        TPlacedSegment p;
        p.top = int(i) * lineHeight;
        const bool textEnd = !l.hard && l.next >= n;
        if (l.width > w && type == TEllipsLabel::etEndEllips && textEnd)
            p.seg = EndEllipsis(shown, l.start, end, w, adv);
        else if (l.width > w && type == TEllipsLabel::etPathEllips)
            p.seg = PathEllipsis(shown, l.start, end, w, adv);
        else
            p.seg.Append(shown, l.start, end); // a long word inside the text is cut at the edge
        placed.append(p);
    }
    return placed;
}

// The top of a single line, as Layout places it vertically.
int SingleLineTop(TEllipsLabel::TTextLayout layout, int height, int lineHeight)
{
    if (layout == TEllipsLabel::tlCenter)
        return (height - lineHeight) / 2;
    if (layout == TEllipsLabel::tlBottom)
        return height - lineHeight;
    return 0;
}

// Too wide and not shortened: only the units over the label, starting where the first
// of them lies once the whole line is aligned.
TPlacedSegment VisiblePart(const TAcceleratorText &shown, qreal w, TEllipsLabel::TAlignment alignment, TAdvances &adv)
{
    const QString &t = shown.text;
    const int n = int(t.size());
    qreal origin = 0;
    if (alignment != TEllipsLabel::taLeftJustify)
        origin = AlignedLeft(adv.Range(t, 0, n), w, alignment);
    qreal x = origin;
    int from = 0;
    while (from < n) {
        const int e = UnitEnd(t, from);
        const qreal a = adv.Of(t, from, e, x - origin);
        if (x + a > 0)
            break;
        x += a;
        from = e;
    }
    const int to = FitPrefix(t, from, n, w - x, adv);
    TPlacedSegment p;
    p.seg.Append(shown, from, qMin(n, to < n ? UnitEnd(t, to) : n)); // include the unit cut at the edge
    p.left = x;
    p.aligned = false;
    return p;
}

// One line: line breaks show as blanks; a line too wide is shortened as the type says.
TPlacedSegment SingleLine(const TAcceleratorText &shown, qreal w, int top, TEllipsLabel::TEllipsType type,
                          TEllipsLabel::TAlignment alignment, TAdvances &adv)
{
    const int n = int(shown.text.size());
    TPlacedSegment p;
    if (adv.Range(shown.text, 0, n, w) <= w)
        p.seg.Append(shown, 0, n);
    else if (type == TEllipsLabel::etEndEllips)
        p.seg = EndEllipsis(shown, 0, n, w, adv);
    else if (type == TEllipsLabel::etPathEllips)
        p.seg = PathEllipsis(shown, 0, n, w, adv);
    else
        p = VisiblePart(shown, w, alignment, adv);
    p.top = top;
    return p;
}

// Lays one segment out as a single unwrapped line with its accelerator underlines.
QTextLine LayOutSegment(QTextLayout &layout, const TSegment &seg, const QFont &f)
{
    layout.setFont(f);
    layout.setText(seg.text);
    QTextOption opt;
    opt.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(opt);
    QList<QTextLayout::FormatRange> formats;
    for (int u : seg.underlined) {
        QTextLayout::FormatRange r;
        r.start = u;
        r.length = UnitEnd(seg.text, u) - u;
        r.format.setFontUnderline(true);
        formats.append(r);
    }
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

} // namespace

QList<TLabelLine> BreakLabelText(const QString &text, const QFont &font, qreal width, bool breakAnywhere,
                                 bool expandTabs, int maxLines)
{
    TAdvances adv(font, expandTabs);
    TBreakOpportunities breaks(text);
    const TLineBreaker breaker{text, adv, breaks, width, breakAnywhere};
    QList<TLabelLine> lines;
    const int n = int(text.size());
    for (int pos = 0; lines.size() < maxLines;) {
        const TLabelLine line = breaker.Next(pos);
        lines.append(line);
        if (!line.hard && line.next >= n)
            break; // a final line break leaves one more, empty line
        pos = line.next;
    }
    return lines;
}

struct TEllipsLabel::PaintLine {
    QTextLayout layout;
    QPointF origin;
};

TEllipsLabel::TEllipsLabel(QWidget *parent)
    : QWidget(parent), m_transparent(VisualStylesActive()), m_font(new TFont(this))
{
    resize(65, 17);
    connect(m_font, &TFont::Changed, this, [this] {
        m_parentFont = false;
        m_font->ApplyTo(this); // the font change event applies auto-size and repaints
    });
}

TEllipsLabel::~TEllipsLabel() = default;

bool TEllipsLabel::VisualStylesActive()
{
    const QStyle *style = QApplication::style();
    return !style || style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

void TEllipsLabel::SetCaption(const QString &v)
{
    if (m_caption == v)
        return;
    m_caption = v;
    InvalidateLayout();
    AdjustBounds();
    update();
    ReportAccessibility(QAccessibleEvent(this, QAccessible::NameChanged));
}

QString TEllipsLabel::ShownCaption() const
{
    return ShownText(m_caption, m_showAccelChar).text;
}

void TEllipsLabel::SetEllipsType(TEllipsType v)
{
    if (m_ellipsType == v)
        return;
    m_ellipsType = v;
    InvalidateLayout();
    update();
}

void TEllipsLabel::SetAlignment(TAlignment v)
{
    if (m_alignment == v)
        return;
    m_alignment = v;
    InvalidateLayout();
    update();
}

void TEllipsLabel::SetLayout(TTextLayout v)
{
    if (m_layout == v)
        return;
    m_layout = v;
    InvalidateLayout();
    update();
}

void TEllipsLabel::SetAutoSize(bool v)
{
    if (m_autoSize == v)
        return;
    m_autoSize = v;
    AdjustBounds();
}

void TEllipsLabel::SetWordWrap(bool v)
{
    if (m_wordWrap == v)
        return;
    m_wordWrap = v;
    InvalidateLayout();
    AdjustBounds();
    update();
}

void TEllipsLabel::SetShowAccelChar(bool v)
{
    if (m_showAccelChar == v)
        return;
    m_showAccelChar = v;
    InvalidateLayout();
    update();
    if (m_caption.contains(QLatin1Char('&')))
        ReportAccessibility(QAccessibleEvent(this, QAccessible::NameChanged));
}

void TEllipsLabel::SetTransparent(bool v) { if (m_transparent != v) { m_transparent = v; update(); } }
void TEllipsLabel::SetColor(TColor v) { m_parentColor = false; if (m_color != v) { m_color = v; update(); } }
void TEllipsLabel::SetParentColor(bool v) { if (m_parentColor != v) { m_parentColor = v; update(); } }
void TEllipsLabel::SetParentFont(bool v) { m_parentFont = v; }

void TEllipsLabel::Loaded()
{
    TComponent::Loaded();
    AdjustBounds();
}

void TEllipsLabel::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange) {
        InvalidateLayout();
        AdjustBounds();
        update();
    }
    QWidget::changeEvent(e);
}

void TEllipsLabel::InvalidateLayout()
{
    m_layoutValid = false;
}

QColor TEllipsLabel::BackgroundColor() const
{
    const QWidget *p = parentWidget();
    if (!m_parentColor || !p)
        return ColorToQColor(m_color);
    const QVariant c = p->property("Color");
    if (c.metaType() == QMetaType::fromType<TColor>())
        return ColorToQColor(c.value<TColor>());
    return p->palette().color(p->backgroundRole());
}

void TEllipsLabel::AdjustBounds()
{
    if (!m_autoSize || ComponentLoading())
        return;
    // An empty text (or a lone accelerator mark) measures as one blank: one line high.
    QString text = ShownText(m_caption, m_showAccelChar).text;
    if (text.isEmpty())
        text = QStringLiteral(" ");
    const QFont f = font();
    const QList<TLabelLine> lines =
        BreakLabelText(text, f, m_wordWrap ? qreal(width()) : kNoLimit, false, true, INT_MAX);
    qreal w = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TLabelLine &l = lines.at(i);
        // Blanks at a soft break hang past the edge and are not measured.
        w = qMax(w, (l.hard || i + 1 == lines.size()) ? l.fullWidth : l.width);
    }
    const QSize size(int(std::ceil(w - 1e-6)), int(lines.size()) * LineHeight(f));
    if (m_alignment == taRightJustify)
        setGeometry(x() + width() - size.width(), y(), size.width(), size.height());
    else
        resize(size);
}

void TEllipsLabel::BuildLayout()
{
    ++m_layoutCount;
    m_lines.clear();
    m_layoutSize = size();
    const TAcceleratorText shown = ShownText(m_caption, m_showAccelChar);
    // Nothing to draw: no need to load the font (the empty result label of a new
    // window would load a face size that nothing else on its first frame uses).
    if (shown.text.isEmpty()) {
        m_layoutValid = true;
        return;
    }
    const QFont f = font();
    const qreal w = width();
    const int lineHeight = LineHeight(f);
    TAdvances adv(f, false);
    const QList<TPlacedSegment> placed =
        m_wordWrap ? WrappedLines(shown, f, w, height(), lineHeight, m_ellipsType, adv)
                   : QList<TPlacedSegment>{SingleLine(shown, w, SingleLineTop(m_layout, height(), lineHeight),
                                                      m_ellipsType, m_alignment, adv)};
    const int ascent = QFontMetrics(f).ascent();
    for (const TPlacedSegment &p : placed) {
        auto pl = std::make_unique<PaintLine>();
        const QTextLine line = LayOutSegment(pl->layout, p.seg, f);
        if (!line.isValid())
            continue;
        const qreal x = p.aligned ? AlignedLeft(line.horizontalAdvance(), w, m_alignment) : p.left;
        // Baselines sit one font ascent below each line's top, whatever faces fall back.
        pl->origin = QPointF(x, p.top + ascent - line.ascent());
        m_lines.push_back(std::move(pl));
    }
    m_layoutValid = true;
}

void TEllipsLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), BackgroundColor());
    if (!m_layoutValid || m_layoutSize != size())
        BuildLayout();
    p.setClipRect(rect());
    auto draw = [&](const QColor &color, const QPointF &offset) {
        p.setPen(color);
        for (const auto &line : m_lines)
            line->layout.draw(&p, line->origin + offset);
    };
    if (isEnabled()) {
        draw(palette().color(QPalette::WindowText), QPointF());
    } else {
        draw(ColorToQColor(clBtnHighlight), QPointF(1, 1));
        draw(ColorToQColor(clBtnShadow), QPointF());
    }
}
