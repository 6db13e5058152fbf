#pragma once
// The office-style check box: a glyph image followed by a plain-text caption. The box
// paints no background: Qt composites it over its parent, which shows through.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QHash>
#include <QImage>
#include <QLine>
#include <QStringList>
#include <QWidget>

class QPainter;
class TGlyphCache;

class TCustomAdvOfficeCheckBox : public QWidget, public TComponent {
    Q_OBJECT
public:
    enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)
    enum TLeftRight { taLeftJustify, taRightJustify };
    Q_ENUM(TLeftRight)
    enum TMouseButton { mbLeft, mbRight, mbMiddle };
    Q_ENUM(TMouseButton)
    enum TGlyphLook { glNormal, glHot, glDown };

    explicit TCustomAdvOfficeCheckBox(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    virtual bool GetChecked() const { return FState == cbChecked; }
    virtual void SetChecked(bool v);
    virtual TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState v);
    TLeftRight Alignment() const { return m_alignment; }
    void SetAlignment(TLeftRight v);
    TTextLayout ButtonVertAlign() const { return m_buttonVertAlign; }
    void SetButtonVertAlign(TTextLayout v);
    bool ReturnIsTab() const { return m_returnIsTab; }
    void SetReturnIsTab(bool v) { m_returnIsTab = v; }
    bool ShowFocus() const { return m_showFocus; }
    void SetShowFocus(bool v);
    TColor DisabledFontColor() const { return m_disabledFontColor; }
    void SetDisabledFontColor(TColor v);
    TFont *Font() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void SetTabStop(bool v);
    bool Down() const { return FDown; }
    void SetDown(bool v) { FDown = v; } // the look changes with the next paint only
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool v) { m_readOnly = v; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    // Kept, never drawn: the caption is plain text without ellipsis or markup, and the
    // glyph is always the stored image.
    bool Ellipsis() const { return m_ellipsis; }
    void SetEllipsis(bool v) { m_ellipsis = v; }
    bool Themed() const { return m_themed; }
    void SetThemed(bool v) { m_themed = v; }
    TColor URLColor() const { return m_urlColor; }
    void SetURLColor(TColor v) { m_urlColor = v; }
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor v) { m_shadowColor = v; }
    int ShadowOffset() const { return m_shadowOffset; }
    void SetShadowOffset(int v) { m_shadowOffset = v; }
    QObject *Images() const { return m_images; }
    void SetImages(QObject *v) { m_images = v; }
    QObject *PictureContainer() const { return m_pictureContainer; }
    void SetPictureContainer(QObject *v) { m_pictureContainer = v; }
    QString Version() const { return VersionText(0x01070000); }
    void SetVersion(const QString &) {}

    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool v) { m_allowGrayed = v; }
    // Qt always composites the parent under the box, so these two only keep their values.
    bool DrawBkg() const { return m_drawBkg; }
    void SetDrawBkg(bool v) { m_drawBkg = v; }
    bool TransparentChaching() const { return m_transparentChaching; }
    void SetTransparentChaching(bool v) { m_transparentChaching = v; }

    virtual void Toggle();
    // What a click of the user does, for callers other than mouse and keyboard: the state
    // moves on, then OnClick.
    void UserClick();

    float DPIScale() const { return FDPIScale; }
    // Fixes the scale instead of taking it from the screen (tests, other densities).
    void ForceDPIScale(float scale);
    int GlyphSide() const;          // p: the drawn glyph's side
    QRect GlyphRect() const;        // where the glyph is drawn
    QRect TextRect() const;         // the caption's area
    int CtrlWidth() const;          // the width AutoSize gives: glyph, gap and widest caption line

    // One of the nine glyph images as stored: 13 x 13 at scale 1, or drawn at twice the
    // resolution (26 x 26) at scale 2.
    static QImage GlyphImage(TCheckBoxState state, TGlyphLook look, int scale = 1);
    // The image at side x side, nearest-neighbour, with its key colour (the bottom-left
    // pixel's) made fully transparent before scaling so it never reaches the edge.
    static QImage ScaledGlyph(const QImage &glyph, int side);
    // What the box draws for a glyph of `side` logical pixels at a device pixel ratio:
    // at 1 the 13 x 13 image as above; denser screens get the 26 x 26 image brought to
    // the device pixels, so the mark stays as sharp as the screen allows.
    static QImage GlyphForScreen(TCheckBoxState state, TGlyphLook look, int side, qreal dpr);
    // Plain-text caption laid out into lines no wider than `width`, breaking only at blanks.
    static QStringList CaptionLines(const QString &text, const QFontMetrics &fm, int width);
    // The glyph images drawn so far, shared by every check box.
    static TGlyphCache &Glyphs();

signals:
    void OnClick(QObject *Sender);
    void OnMouseDown(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void OnMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void OnKeyDown(QObject *Sender, quint16 &Key, TShiftState Shift);
    // Caption markup is plain text here, so these never fire.
    void OnAnchorClick(QObject *Sender, const QString &Anchor);
    void OnAnchorEnter(QObject *Sender, const QString &Anchor);
    void OnAnchorExit(QObject *Sender, const QString &Anchor);

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    struct CaptionLayout {
        QStringList lines;
        int width = 0;
        int height = 0;
    };

    int TextHeight() const;
    // The focus rectangle's four lines: along the top, down the right, back along the
    // bottom, up the left.
    static QList<QLine> FocusRectLines(const QPoint &topLeft, const QPoint &bottomRight);
    static void DrawAlternateLine(QPainter &p, const QPoint &from, const QPoint &to);
    CaptionLayout LayoutCaption(const QFontMetrics &fm) const;
    QString DisplayCaption() const;
    QChar Accelerator() const;
    void WatchWindowForAccelerator();
    void HandlePress(QMouseEvent *e);
    void Click();
    void UpdateStrip(int minWidth);
    void Remeasure();
    void ReportCheckState(TCheckBoxState old);

    TCheckBoxState FState = cbUnchecked;
    bool FDown = false;
    bool FHot = false;
    bool FFocused = false;
    bool FGotClick = false;
    float FDPIScale = 1.0f;

    QString m_caption;
    TLeftRight m_alignment = taLeftJustify;
    TTextLayout m_buttonVertAlign = tlTop;
    bool m_returnIsTab = false;
    bool m_showFocus = true;
    TColor m_disabledFontColor = 0x00808080;
    TFont *m_font;
    bool m_parentFont = true;
    bool m_readOnly = false;
    bool m_autoSize = false;
    bool m_ellipsis = false;
    bool m_themed = false;
    TColor m_urlColor = clBlue;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 1;
    QObject *m_images = nullptr;
    QObject *m_pictureContainer = nullptr;
    bool m_allowGrayed = false;
    bool m_drawBkg = true;
    bool m_transparentChaching = false;
    bool m_dpiForced = false;
    bool m_spaceDown = false;       // a Space press seen by this box, waiting for its release
    QWidget *m_acceleratorWindow = nullptr;

    static TGlyphCache s_glyphs;
};

// Glyph images as GlyphForScreen draws them, kept for the next paint. An image depends on
// state, look, side and device pixel ratio only (never on a box's colours or caption),
// so one cache serves every box; the check box class owns it.
class TGlyphCache {
public:
    const QImage &Get(TCustomAdvOfficeCheckBox::TCheckBoxState state, TCustomAdvOfficeCheckBox::TGlyphLook look,
                      int side, qreal dpr);
    int Count() const { return int(m_images.size()); }
    void Clear() { m_images.clear(); }

private:
    struct Key {
        int state, look, side;
        qreal dpr;
        bool operator==(const Key &o) const
        {
            return state == o.state && look == o.look && side == o.side && dpr == o.dpr;
        }
        friend size_t qHash(const Key &k, size_t seed = 0) { return qHashMulti(seed, k.state, k.look, k.side, k.dpr); }
    };
    QHash<Key, QImage> m_images;
};

class TAdvOfficeCheckBox : public TCustomAdvOfficeCheckBox {
    Q_OBJECT
    // The parent's image covers the whole box, so its own colour never shows; no
    // application-wide style is followed.
    Q_CLASSINFO("IgnoredDesignNames", "Color ParentColor StyleElements")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ GetChecked WRITE SetChecked)
    Q_PROPERTY(TCheckBoxState State READ GetState WRITE SetState)
    Q_PROPERTY(TLeftRight Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TTextLayout ButtonVertAlign READ ButtonVertAlign WRITE SetButtonVertAlign)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE SetReturnIsTab)
    Q_PROPERTY(bool ShowFocus READ ShowFocus WRITE SetShowFocus)
    Q_PROPERTY(TColor DisabledFontColor READ DisabledFontColor WRITE SetDisabledFontColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE SetEllipsis)
    Q_PROPERTY(bool Themed READ Themed WRITE SetThemed)
    Q_PROPERTY(TColor URLColor READ URLColor WRITE SetURLColor)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE SetShadowOffset)
    Q_PROPERTY(QObject *Images READ Images WRITE SetImages)
    Q_PROPERTY(QObject *PictureContainer READ PictureContainer WRITE SetPictureContainer)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TCustomAdvOfficeCheckBox::TCustomAdvOfficeCheckBox;
};
