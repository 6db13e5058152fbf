#pragma once
// The glass push button: a translucent rounded plate over the parent's image, with a
// shine over its upper half and a glow from the bottom edge while it is held down.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QImage>
#include <QWidget>

class QTimer;
class TGPGraphics;

// The glow's ellipse under a w × h plate: exposed for its tests.
QRectF GlowEllipse(int w, int h);

class TAdvCustomGlassButton : public QWidget, public TComponent {
    Q_OBJECT
public:
    enum TAdvButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };
    Q_ENUM(TAdvButtonState)
    enum TAdvToolButtonStyle { tasButton, tasCheck };
    Q_ENUM(TAdvToolButtonStyle)
    enum TButtonLayout {
        blGlyphLeft, blGlyphTop, blGlyphRight, blGlyphBottom,
        blGlyphLeftAdjusted, blGlyphRightAdjusted, blGlyphTopAdjusted, blGlyphBottomAdjusted
    };
    Q_ENUM(TButtonLayout)
    enum TAntiAlias { aaNone, aaClearType, aaAntiAlias };
    Q_ENUM(TAntiAlias)
    enum TButtonShape { btsRectangle, btsCurvedRectangle };
    Q_ENUM(TButtonShape)
    enum TButtonDirection { bdLeft, bdRight };
    Q_ENUM(TButtonDirection)
    enum TBackGroundSymbol {
        bsArrowLeft, bsArrowRight, bsArrowUp, bsArrowDown, bsPlay, bsPause, bsStop, bsFastForward,
        bsForward, bsBackward, bsFastBackward, bsSpeaker, bsNoSpeaker, bsNone, bsRecord, bsCustom
    };
    Q_ENUM(TBackGroundSymbol)
    enum TShortCutHintPos {
        shpLeft, shpTop, shpRight, shpBottom, shpCenter, shpAuto, shpTopLeft, shpTopRight, shpAboveTop,
        shpAboveTopLeft, shpAboveTopRight, shpBottomLeft, shpBottomRight, shpBelowBottom,
        shpBelowBottomLeft, shpBelowBottomRight, shpBelowBottomCenter
    };
    Q_ENUM(TShortCutHintPos)

    // What the caption is drawn with: the design's family name, size in points, style
    // (bold 1, italic 2, underline 4) and the resolved colour.
    struct TCaptionFont {
        QString Name;
        qreal Points = 0;
        int Style = 0;
        QColor Color;
    };

    static constexpr int kDefaultWidth = 100;
    static constexpr int kDefaultHeight = 32;
    static constexpr int kDefaultCornerRadius = 4;
    static constexpr TColor kDefaultGlowColor = 0x00FFBD8D;

    explicit TAdvCustomGlassButton(QWidget *parent = nullptr);
    ~TAdvCustomGlassButton() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    TFont *Font() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor v);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor v) { m_foreColor = v; } // kept for the layout, never drawn
    TColor OuterBorderColor() const { return m_outerBorderColor; }
    void SetOuterBorderColor(TColor v);
    TColor InnerBorderColor() const { return m_innerBorderColor; }
    void SetInnerBorderColor(TColor v);
    TColor ShineColor() const { return m_shineColor; }
    void SetShineColor(TColor v);
    TColor GlowColor() const { return m_glowColor; }
    void SetGlowColor(TColor v);
    // Public, not published: filled first (opaque) unless clNone.
    TColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(TColor v);
    int CornerRadius() const { return m_cornerRadius; }
    void SetCornerRadius(int v);
    TAntiAlias AntiAlias() const { return m_antiAlias; }
    void SetAntiAlias(TAntiAlias v);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout v);
    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool v);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool v);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool v);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool v) { m_showHint = v; }
    TButtonShape ButtonShape() const { return m_buttonShape; }
    void SetButtonShape(TButtonShape v) { m_buttonShape = v; } // kept for the layout, never drawn
    TButtonDirection ButtonDirection() const { return m_buttonDirection; }
    void SetButtonDirection(TButtonDirection v) { m_buttonDirection = v; } // kept for the layout, never drawn
    TBackGroundSymbol BackGroundSymbol() const { return m_backGroundSymbol; }
    void SetBackGroundSymbol(TBackGroundSymbol v) { m_backGroundSymbol = v; } // kept for the layout, never drawn
    TColor BackGroundSymbolColor() const { return m_backGroundSymbolColor; }
    void SetBackGroundSymbolColor(TColor v) { m_backGroundSymbolColor = v; } // kept for the layout, never drawn
    QImage Picture() const { return m_picture; }
    void SetPicture(const QImage &v);
    QImage PictureDown() const { return m_pictureDown; }
    void SetPictureDown(const QImage &v);
    QImage PictureDisabled() const { return m_pictureDisabled; }
    void SetPictureDisabled(const QImage &v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int v) { m_groupIndex = v; }
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool v) { m_allowAllUp = v; }
    TAdvToolButtonStyle Style() const { return m_style; }
    void SetStyle(TAdvToolButtonStyle v);
    bool ForceTransparent() const { return m_forceTransparent; }
    void SetForceTransparent(bool v) { m_forceTransparent = v; } // kept for the layout, never drawn
    QString ShortCutHint() const { return m_shortCutHint; }
    void SetShortCutHint(const QString &v) { m_shortCutHint = v; }
    TShortCutHintPos ShortCutHintPos() const { return m_shortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos v) { m_shortCutHintPos = v; }
    QString Version() const { return VersionText(GetVersionNr()); }
    void SetVersion(const QString &) {}

    void SetBounds(int left, int top, int width, int height);
    virtual void Click();
    void Loaded() override;

    // Design-to-screen scale of the corner radius.
    qreal ScaleFactor() const;
    TAdvButtonState State() const { return FState; }

signals:
    void OnClick(QObject *Sender);
    void OnMouseEnter(QObject *Sender);
    void OnMouseLeave(QObject *Sender);

protected:
    virtual void PaintButtonFace(QPainter *canvas);
    virtual quint32 GetVersionNr() const { return 0x01030100; }

    // The plate; everything it uses comes in as arguments.
    struct TGlassLook {
        TColor OuterBorderColor, InnerBorderColor, BackColor, BackgroundColor, ShineColor, GlowColor;
        bool Glow;
    };
    static void PaintGlass(TGPGraphics &g, int w, int h, int r, const TGlassLook &look);
    // The picture and caption and the focus outline over the plate.
    struct TCaptionLook {
        QString Text; // empty when the caption is not shown
        TCaptionFont Font;
        bool Enabled = true;
        bool Focus = false;
        int Radius = 0;
        TButtonLayout Layout = blGlyphLeft;
        TAntiAlias AntiAlias = aaClearType;
        QImage Picture;
    };
    // Lays out and draws the picture and caption.
    static void PaintPictureAndCaption(QPainter *canvas, const QRect &client, const TCaptionLook &look);
    static void PaintCaption(QPainter *canvas, TGPGraphics &g, const QRect &area, const QString &text,
                             const TCaptionLook &look);

    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool event(QEvent *e) override;

private:
    void ClampCornerRadius(qreal s);
    void MouseEnter();
    void MouseLeave();
    void ReevaluateHover(const QPointF &pos);
    void UnHotTimerTick();
    void UpdateMnemonic();
    TCaptionFont CaptionFont() const;
    void NormaliseState();

    QString m_caption;
    TFont *m_font;
    bool m_parentFont = false;
    TColor m_backColor = clBlack;
    TColor m_foreColor = clWhite;
    TColor m_outerBorderColor = clWhite;
    TColor m_innerBorderColor = clBlack;
    TColor m_shineColor = clWhite;
    TColor m_glowColor = kDefaultGlowColor;
    TColor m_backgroundColor = clNone;
    int m_cornerRadius = kDefaultCornerRadius;
    TAntiAlias m_antiAlias = aaClearType;
    TButtonLayout m_layout = blGlyphLeft;
    bool m_showCaption = true;
    bool m_showFocusRect = false;
    bool m_tabStop = true;
    bool m_showHint = false;
    TButtonShape m_buttonShape = btsRectangle;
    TButtonDirection m_buttonDirection = bdRight;
    TBackGroundSymbol m_backGroundSymbol = bsNone;
    TColor m_backGroundSymbolColor = clWhite;
    QImage m_picture, m_pictureDown, m_pictureDisabled;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    TAdvToolButtonStyle m_style = tasButton;
    bool m_forceTransparent = false;
    QString m_shortCutHint;
    TShortCutHintPos m_shortCutHintPos = shpTop;
    int m_mnemonicId = 0;
    int m_unHotInsideTicks = 0;

    TAdvButtonState FState = absUp;
    bool FMouseInControl = false;
    bool FMouseDownInControl = false;
    bool FDragging = false;
    bool FActive = false;
    bool FDown = false;
    bool FInitialDown = false;
    QTimer *FUnHotTimer;
};

class TAdvGlassButton : public TAdvCustomGlassButton {
    Q_OBJECT
    // Office-style hints are not shown.
    Q_CLASSINFO("IgnoredDesignNames", "OfficeHint")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(TColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TColor OuterBorderColor READ OuterBorderColor WRITE SetOuterBorderColor)
    Q_PROPERTY(TColor InnerBorderColor READ InnerBorderColor WRITE SetInnerBorderColor)
    Q_PROPERTY(TColor ShineColor READ ShineColor WRITE SetShineColor)
    Q_PROPERTY(TColor GlowColor READ GlowColor WRITE SetGlowColor)
    Q_PROPERTY(int CornerRadius READ CornerRadius WRITE SetCornerRadius)
    Q_PROPERTY(TAdvCustomGlassButton::TAntiAlias AntiAlias READ AntiAlias WRITE SetAntiAlias)
    Q_PROPERTY(TAdvCustomGlassButton::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE SetShowCaption)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TAdvCustomGlassButton::TButtonShape ButtonShape READ ButtonShape WRITE SetButtonShape)
    Q_PROPERTY(TAdvCustomGlassButton::TButtonDirection ButtonDirection READ ButtonDirection WRITE SetButtonDirection)
    Q_PROPERTY(TAdvCustomGlassButton::TBackGroundSymbol BackGroundSymbol READ BackGroundSymbol WRITE SetBackGroundSymbol)
    Q_PROPERTY(TColor BackGroundSymbolColor READ BackGroundSymbolColor WRITE SetBackGroundSymbolColor)
    Q_PROPERTY(QImage Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QImage PictureDown READ PictureDown WRITE SetPictureDown)
    Q_PROPERTY(QImage PictureDisabled READ PictureDisabled WRITE SetPictureDisabled)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(TAdvCustomGlassButton::TAdvToolButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool ForceTransparent READ ForceTransparent WRITE SetForceTransparent)
    Q_PROPERTY(QString ShortCutHint READ ShortCutHint WRITE SetShortCutHint)
    Q_PROPERTY(TAdvCustomGlassButton::TShortCutHintPos ShortCutHintPos READ ShortCutHintPos WRITE SetShortCutHintPos)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TAdvCustomGlassButton::TAdvCustomGlassButton;
};
