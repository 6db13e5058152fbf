#pragma once
// The styled panel: a container that paints a solid background and 3-D bevels. Its
// caption bar, status bar, background image, position saving, auto-size and office hint
// are settings it owns and keeps; with them hidden or off, as on the window's bar, they
// draw nothing and take no space, so a change to them repaints nothing.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QImage>
#include <QWidget>

class TPanelCaption : public QObject {
    Q_OBJECT
public:
    enum TCaptionPosition { cpTop, cpLeft, cpRight };
    Q_ENUM(TCaptionPosition)

private:
    Q_PROPERTY(TColor Color MEMBER m_color NOTIFY Changed)
    Q_PROPERTY(TColor ColorTo MEMBER m_colorTo NOTIFY Changed)
    Q_PROPERTY(int Indent MEMBER m_indent NOTIFY Changed)
    Q_PROPERTY(bool Visible MEMBER m_visible NOTIFY Changed)
    Q_PROPERTY(int Height MEMBER m_height NOTIFY Changed)
    Q_PROPERTY(TCaptionPosition Position MEMBER m_position NOTIFY Changed)
    Q_PROPERTY(TFont *Font READ Font)

public:
    explicit TPanelCaption(QObject *parent = nullptr);
    TFont *Font() const { return m_font; }
    bool Visible() const { return m_visible; }
    int Height() const { return m_height; }
    TCaptionPosition Position() const { return m_position; }

signals:
    void Changed();

private:
    TColor m_color = clHighlight;
    TColor m_colorTo = clNone;
    int m_indent = 0;
    bool m_visible = false;
    int m_height = 20;
    TCaptionPosition m_position = cpTop;
    TFont *m_font;
};

class TPanelStatusBar : public QObject {
    Q_OBJECT
    // The bar is never drawn, so it has no text of its own.
    Q_CLASSINFO("IgnoredDesignNames", "Text")
    Q_PROPERTY(bool Visible MEMBER m_visible NOTIFY Changed)
    Q_PROPERTY(int Height MEMBER m_height NOTIFY Changed)
    Q_PROPERTY(TColor Color MEMBER m_color NOTIFY Changed)
    Q_PROPERTY(TColor ColorTo MEMBER m_colorTo NOTIFY Changed)
    Q_PROPERTY(TFont *Font READ Font)
public:
    explicit TPanelStatusBar(QObject *parent = nullptr);
    TFont *Font() const { return m_font; }
    bool Visible() const { return m_visible; }
    int Height() const { return m_height; }

signals:
    void Changed();

private:
    bool m_visible = false;
    int m_height = 18;
    TColor m_color = clBtnFace;
    TColor m_colorTo = clNone;
    TFont *m_font;
};

// The background picture; kept and reported, not drawn (the window's bar has none).
class TPanelBackground : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    QImage Image() const { return m_image; }
    void SetImage(const QImage &image);
    bool Empty() const { return m_image.isNull(); }

signals:
    void Changed();

private:
    QImage m_image;
};

// Saving the panel's position and size: off unless `Save` is set, which no layout here
// does; nothing is saved, so where it would go is not kept.
class TPanelPosition : public QObject {
    Q_OBJECT
    Q_CLASSINFO("IgnoredDesignNames", "Key Section")
    Q_PROPERTY(bool Save MEMBER m_save)
public:
    using QObject::QObject;
    bool Save() const { return m_save; }

private:
    bool m_save = false;
};

// Sizing the panel to its body text, which the panel never does.
class TAutoSize : public QObject {
    Q_OBJECT
    Q_CLASSINFO("IgnoredDesignNames", "Enabled Height Width")
public:
    using QObject::QObject;
};

// The office-style hint, which the panel never shows.
class TPanelOfficeHint : public QObject {
    Q_OBJECT
    Q_CLASSINFO("IgnoredDesignNames", "Title Notes ShowHelp")
public:
    using QObject::QObject;
};

class TCustomAdvPanel : public QWidget, public TComponent {
    Q_OBJECT
public:
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
    Q_ENUM(TAlign)
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)
    enum TGradientDirection { gdVertical, gdHorizontal };
    Q_ENUM(TGradientDirection)
    enum TTextVAlignment { tvaTop, tvaCenter, tvaBottom };
    Q_ENUM(TTextVAlignment)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TCustomAdvPanel(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign v);
    bool DoubleBuffered() const { return m_doubleBuffered; }
    void SetDoubleBuffered(bool v) { m_doubleBuffered = v; }
    bool UseDockManager() const { return m_useDockManager; }
    void SetUseDockManager(bool v) { m_useDockManager = v; }
    // The body text, kept and not drawn: the window's bar has none.
    QString Text() const { return m_text; }
    void SetText(const QString &v) { m_text = v; }
    // The expanded height (the width with the caption at the left or right edge), kept
    // equal to a size set later; only collapsing, which no panel here does, reads it.
    int FullHeight() const { return m_fullHeight; }
    void SetFullHeight(int v) { m_fullHeight = v; }
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut v);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut v);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v);
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v);
    // Kept, not drawn: the background is solid.
    TColor ColorTo() const { return m_colorTo; }
    void SetColorTo(TColor v) { m_colorTo = v; }
    // Kept for the layout: the window's backing store already shows each paint whole.
    bool Buffered() const { return m_buffered; }
    void SetBuffered(bool v) { m_buffered = v; }

    // Redrawing held back between the two, nested as often as needed.
    void BeginUpdate();
    void EndUpdate();

    // Draws the classic 3-D frame: `n` nested one-pixel passes inside `r`, which shrinks
    // by n on every side. Corners top-right and bottom-left take the bottom-right colour.
    static void Frame3D(QPainter &p, QRect &r, const QColor &topLeft, const QColor &bottomRight, int n);

    TPanelCaption *Caption() const { return m_caption; }
    TPanelStatusBar *StatusBar() const { return m_statusBar; }
    TPanelBackground *Background() const { return m_background; }
    TPanelPosition *Position() const { return m_position; }
    TAutoSize *AutoSize() const { return m_autoSize; }
    TPanelOfficeHint *OfficeHint() const { return m_officeHint; }
    QString Version() const { return VersionText(0x02050900); }
    void SetVersion(const QString &) {}

    void Loaded() override;

signals:
    void OnPaint(QObject *Sender, QPainter *Canvas, const QRect &Rect);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    bool eventFilter(QObject *o, QEvent *e) override;

    // Settings of features the window's bar leaves off (gradients, body-text layout,
    // hyperlinks, moving, sizing, collapsing): kept and published, not drawn.
    TColor m_colorMirror = clNone;
    TColor m_colorMirrorTo = clNone;
    TGradientDirection m_gradientDirection = gdVertical;
    bool m_borderShadow = false;
    TBorderStyle m_borderStyle = bsNone;
    TTextVAlignment m_textVAlign = tvaTop;
    int m_indent = 0;
    int m_topIndent = 0;
    int m_bottomIndent = 0;
    int m_lineSpacing = 0;
    bool m_ellipsis = false;
    bool m_hover = false;
    TColor m_hoverColor = clNone;
    TColor m_hoverFontColor = clNone;
    TColor m_urlColor = clBlue;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 2;
    bool m_anchorHint = false;
    bool m_canMove = false;
    bool m_canSize = false;
    bool m_collaps = false;
    bool m_freeOnClose = false;
    bool m_fixedTop = false;
    bool m_fixedLeft = false;
    bool m_fixedWidth = false;
    bool m_fixedHeight = false;
    TColor m_collapsColor = clGray;
    int m_collapsDelay = 20;
    int m_collapsSteps = 0;
    bool m_autoHideChildren = true;

private:
    void Dock();

    TColor m_color = clBtnFace;
    TColor m_colorTo = clNone;
    TBevelCut m_bevelOuter = bvRaised;
    TBevelCut m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    TColor m_borderColor = clBlack;
    bool m_buffered = true;
    bool m_docking = false;
    TAlign m_align = alNone;
    bool m_doubleBuffered = true;
    bool m_useDockManager = false;
    QString m_text;
    int m_fullHeight = 0;
    int m_updateCount = 0;
    TPanelCaption *m_caption;
    TPanelStatusBar *m_statusBar;
    TPanelBackground *m_background;
    TPanelPosition *m_position;
    TAutoSize *m_autoSize;
    TPanelOfficeHint *m_officeHint;
};

class TAdvPanel : public TCustomAdvPanel {
    Q_OBJECT
    // Docking plays no part: the bar docks itself by Align.
    Q_CLASSINFO("IgnoredDesignNames", "DockSite")
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TColor ColorTo READ ColorTo WRITE SetColorTo)
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(bool Buffered READ Buffered WRITE SetBuffered)
    Q_PROPERTY(bool DoubleBuffered READ DoubleBuffered WRITE SetDoubleBuffered)
    Q_PROPERTY(bool UseDockManager READ UseDockManager WRITE SetUseDockManager)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int FullHeight READ FullHeight WRITE SetFullHeight)
    Q_PROPERTY(TPanelCaption *Caption READ Caption)
    Q_PROPERTY(TPanelStatusBar *StatusBar READ StatusBar)
    Q_PROPERTY(TPanelPosition *Position READ Position)
    Q_PROPERTY(TAutoSize *AutoSize READ AutoSize)
    Q_PROPERTY(TPanelOfficeHint *OfficeHint READ OfficeHint)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(TColor ColorMirror MEMBER m_colorMirror)
    Q_PROPERTY(TColor ColorMirrorTo MEMBER m_colorMirrorTo)
    Q_PROPERTY(TGradientDirection GradientDirection MEMBER m_gradientDirection)
    Q_PROPERTY(bool BorderShadow MEMBER m_borderShadow)
    Q_PROPERTY(TBorderStyle BorderStyle MEMBER m_borderStyle)
    Q_PROPERTY(TTextVAlignment TextVAlign MEMBER m_textVAlign)
    Q_PROPERTY(int Indent MEMBER m_indent)
    Q_PROPERTY(int TopIndent MEMBER m_topIndent)
    Q_PROPERTY(int BottomIndent MEMBER m_bottomIndent)
    Q_PROPERTY(int LineSpacing MEMBER m_lineSpacing)
    Q_PROPERTY(bool Ellipsis MEMBER m_ellipsis)
    Q_PROPERTY(bool Hover MEMBER m_hover)
    Q_PROPERTY(TColor HoverColor MEMBER m_hoverColor)
    Q_PROPERTY(TColor HoverFontColor MEMBER m_hoverFontColor)
    Q_PROPERTY(TColor URLColor MEMBER m_urlColor)
    Q_PROPERTY(TColor ShadowColor MEMBER m_shadowColor)
    Q_PROPERTY(int ShadowOffset MEMBER m_shadowOffset)
    Q_PROPERTY(bool AnchorHint MEMBER m_anchorHint)
    Q_PROPERTY(bool CanMove MEMBER m_canMove)
    Q_PROPERTY(bool CanSize MEMBER m_canSize)
    Q_PROPERTY(bool Collaps MEMBER m_collaps)
    Q_PROPERTY(bool FreeOnClose MEMBER m_freeOnClose)
    Q_PROPERTY(bool FixedTop MEMBER m_fixedTop)
    Q_PROPERTY(bool FixedLeft MEMBER m_fixedLeft)
    Q_PROPERTY(bool FixedWidth MEMBER m_fixedWidth)
    Q_PROPERTY(bool FixedHeight MEMBER m_fixedHeight)
    Q_PROPERTY(TColor CollapsColor MEMBER m_collapsColor)
    Q_PROPERTY(int CollapsDelay MEMBER m_collapsDelay)
    Q_PROPERTY(int CollapsSteps MEMBER m_collapsSteps)
    Q_PROPERTY(bool AutoHideChildren MEMBER m_autoHideChildren)

public:
    using TCustomAdvPanel::TCustomAdvPanel;
};
