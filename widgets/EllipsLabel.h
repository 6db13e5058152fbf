#pragma once
// The text label: one text in one font, single line or word-wrapped, optionally shortened.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QList>
#include <QWidget>

#include <memory>
#include <vector>

class QTextLayout;

// One line of a broken label text: the characters [start, end) are shown, the next line
// starts at `next` (after a line break, or at `end` for a soft break).
struct TLabelLine {
    int start = 0;
    int end = 0;
    int next = 0;
    bool hard = false;    // ended by a line break in the text
    qreal width = 0;      // without the blanks a soft break leaves at the line's end
    qreal fullWidth = 0;  // with them
};

// Breaks `text` into lines that fit `width` pixels in `font`, at most `maxLines` of them,
// looking only at as much text as those lines need. Line breaks in the text start a new
// line. Lines break where Unicode line breaking allows (between words, and between most
// CJK characters), and never start with closing punctuation (e.g. "、" "。" "）" "」"
// "ー" or a small kana) nor end with opening punctuation: such a break moves back before
// the preceding character. A word wider than the line is broken where it overflows when
// `breakAnywhere`, otherwise it runs past the edge. `expandTabs`: a tab advances to the
// next stop of eight average character widths; otherwise it is one blank.
QList<TLabelLine> BreakLabelText(const QString &text, const QFont &font, qreal width, bool breakAnywhere,
                                 bool expandTabs, int maxLines);

class TEllipsLabel : public QWidget, public TComponent {
    Q_OBJECT
    // The framework label's own shortening; EllipsType says how this label shortens.
    Q_CLASSINFO("IgnoredDesignNames", "EllipsisPosition")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TEllipsType EllipsType READ EllipsType WRITE SetEllipsType)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    // etEndEllips: a single line too wide ends in "..."; wrapped text breaks at word
    // boundaries only, a word wider than the label inside the text is cut at the edge and
    // only the text's last line gets "...". etPathEllips: "..." stands in the middle, the
    // part from the last "\" or "/" on is kept as far as it fits (both ends without a
    // separator); wrapped, each line wider than the label is shortened so. etNone: a
    // wrapped word wider than the label breaks where it overflows.
    enum TEllipsType { etNone, etEndEllips, etPathEllips };
    Q_ENUM(TEllipsType)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)

    explicit TEllipsLabel(QWidget *parent = nullptr);
    ~TEllipsLabel() override;

    // Visual styles count as active unless the application runs with Qt's classic
    // unthemed "Windows" style (-style windows), the counterpart of the classic look.
    static bool VisualStylesActive();

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    // The caption as drawn: accelerator marks resolved when they are shown.
    QString ShownCaption() const;
    TEllipsType EllipsType() const { return m_ellipsType; }
    void SetEllipsType(TEllipsType v);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout v);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool v);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool v);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    TFont *Font() const { return m_font; }
    QString Version() const { return VersionText(0x01000000); }
    void SetVersion(const QString &) {}

    void Loaded() override;

    // How often the painted lines were laid out (they are kept until an input changes).
    int LayoutCount() const { return m_layoutCount; }

protected:
    void paintEvent(QPaintEvent *) override;
    void changeEvent(QEvent *e) override;

private:
    struct PaintLine;
    void AdjustBounds();
    void InvalidateLayout();
    void BuildLayout();
    QColor BackgroundColor() const;

    QString m_caption;
    TEllipsType m_ellipsType = etNone;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    bool m_transparent;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    bool m_parentFont = true;
    TFont *m_font;

    // The laid-out lines of the last paint; rebuilt when caption, font, size or a flag changes.
    std::vector<std::unique_ptr<PaintLine>> m_lines;
    bool m_layoutValid = false;
    QSize m_layoutSize;
    int m_layoutCount = 0;
};
