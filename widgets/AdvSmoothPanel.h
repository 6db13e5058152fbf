#pragma once
// The smooth panel: a container with a cached, rounded, shadowed gradient background
// and an underlined gradient caption, blended over its parent.
#include "Component.h"
#include "Font.h"
#include "GDIPFill.h"

#include <QImage>

class TGPGraphics;

#include <QWidget>

class TAdvSmoothPanel;

class TAdvSmoothPanelCaption : public QObject {
    Q_OBJECT
    // The caption texture and the second, HTML-formatted caption are not drawn.
    Q_CLASSINFO("IgnoredDesignNames",
                "Picture HTMLText HTMLLocation HTMLLeft HTMLTop HTMLURLColor HTMLShadowColor HTMLShadowOffset "
                "HTMLWordWrapping")
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TAdvSmoothPanelLocation Location READ Location WRITE SetLocation)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(TFont *HTMLFont READ HTMLFont)
    Q_PROPERTY(TColor ColorStart READ ColorStart WRITE SetColorStart)
    Q_PROPERTY(TColor ColorEnd READ ColorEnd WRITE SetColorEnd)
    Q_PROPERTY(TColor LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(bool Line READ Line WRITE SetLine)
    Q_PROPERTY(bool TextWordWrapping READ TextWordWrapping WRITE SetTextWordWrapping)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int OpacityStart READ OpacityStart WRITE SetOpacityStart)
    Q_PROPERTY(int OpacityEnd READ OpacityEnd WRITE SetOpacityEnd)
    Q_PROPERTY(TGDIPFill::TAdvGradientType GradientType READ GradientType WRITE SetGradientType)
    Q_PROPERTY(int HatchStyle READ HatchStyle WRITE SetHatchStyle)
    Q_PROPERTY(TAdvSmoothPanelTextRenderingHint TextRendering READ TextRendering WRITE SetTextRendering)
    Q_PROPERTY(TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_PROPERTY(TColor BackgroundColor READ BackgroundColor WRITE SetBackgroundColor)
    Q_PROPERTY(TColor BackgroundColorTo READ BackgroundColorTo WRITE SetBackgroundColorTo)
public:
    enum TAdvSmoothPanelLocation { plTopLeft, plTopCenter, plTopRight, plCenterLeft, plCenterCenter, plCenterRight, plBottomLeft, plBottomCenter, plBottomRight, plCustom };
    Q_ENUM(TAdvSmoothPanelLocation)
    enum TAdvSmoothPanelTextRenderingHint { tAntiAlias, tAntiAliasGridFit, tClearType };
    Q_ENUM(TAdvSmoothPanelTextRenderingHint)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TAdvSmoothPanelCaption(QObject *parent = nullptr);

    QString Text() const { return m_text; }
    void SetText(const QString &v);
    TAdvSmoothPanelLocation Location() const { return m_location; }
    void SetLocation(TAdvSmoothPanelLocation v);
    TFont *Font() const { return m_font; }
    TFont *HTMLFont() const { return m_htmlFont; }
    TColor ColorStart() const { return m_colorStart; }
    void SetColorStart(TColor v);
    TColor ColorEnd() const { return m_colorEnd; }
    void SetColorEnd(TColor v);
    TColor LineColor() const { return m_lineColor; }
    void SetLineColor(TColor v);
    bool Line() const { return m_line; }
    void SetLine(bool v);
    bool TextWordWrapping() const { return m_wrap; }
    void SetTextWordWrapping(bool v);
    int Left() const { return m_left; }
    void SetLeft(int v);
    int Top() const { return m_top; }
    void SetTop(int v);
    int OpacityStart() const { return m_opacityStart; }
    void SetOpacityStart(int v);
    int OpacityEnd() const { return m_opacityEnd; }
    void SetOpacityEnd(int v);
    TGDIPFill::TAdvGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TGDIPFill::TAdvGradientType v);
    int HatchStyle() const { return m_hatchStyle; }
    void SetHatchStyle(int v);
    TAdvSmoothPanelTextRenderingHint TextRendering() const { return m_textRendering; }
    void SetTextRendering(TAdvSmoothPanelTextRenderingHint v);
    TAlignment TextAlignment() const { return m_textAlignment; }
    void SetTextAlignment(TAlignment v);
    // The caption band's background is not drawn here; the values are only kept, so a
    // change renders nothing.
    TColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(TColor v) { m_backgroundColor = v; }
    TColor BackgroundColorTo() const { return m_backgroundColorTo; }
    void SetBackgroundColorTo(TColor v) { m_backgroundColorTo = v; }
    // Copies every caption setting but LineColor (and the rendering and band settings).
    void Assign(const TAdvSmoothPanelCaption &other);

signals:
    void OnChange(QObject *Sender);

private:
    QString m_text;
    TAdvSmoothPanelLocation m_location = plTopLeft;
    TColor m_colorStart = 11563548;
    TColor m_colorEnd = 10446362;
    TColor m_lineColor = 11563548;
    bool m_line = true;
    bool m_wrap = true;
    int m_left = 0;
    int m_top = 0;
    int m_opacityStart = 255;
    int m_opacityEnd = 255;
    TGDIPFill::TAdvGradientType m_gradientType = TGDIPFill::gtVertical;
    int m_hatchStyle = 0;
    TAdvSmoothPanelTextRenderingHint m_textRendering = tAntiAliasGridFit;
    TAlignment m_textAlignment = taLeftJustify;
    TColor m_backgroundColor = clNone;
    TColor m_backgroundColorTo = clNone;
    TFont *m_font;
    TFont *m_htmlFont;
};

class TAdvSmoothPanel : public QWidget, public TComponent {
    Q_OBJECT
    // The default cursor is the only one shown; hyperlinks, moving and sizing by mouse and
    // office hints are not built, so nothing refers to images or picture containers.
    Q_CLASSINFO("IgnoredDesignNames",
                "Cursor AnchorHint Images PictureContainer CanMove Resizable ResizeHandle ResizeHandleColor "
                "ResizeHandleOpacity ResizeHandleSize OfficeHint")
    Q_PROPERTY(TAdvSmoothPanelCaption *Caption READ Caption)
    Q_PROPERTY(TGDIPFill *Fill READ Fill)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    explicit TAdvSmoothPanel(QWidget *parent = nullptr);

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    // Paints the whole panel (fill and caption) onto a surface.
    virtual void RenderPanel(TGPGraphics &g);
    // The rectangle the fill paints into: one pixel outside the client when no border is drawn.
    QRectF OuterRect() const;
    // How often the cached image was rendered (the cache is rebuilt only when stale).
    int RenderCount() const { return m_renderCount; }
    // The body rectangle the fill gives the panel at its present size and settings.
    QRectF BodyRect() const;

    TAdvSmoothPanelCaption *Caption() const { return m_caption; }
    TGDIPFill *Fill() const { return m_fill; }
    QString Version() const { return VersionText(0x01070000); }
    void SetVersion(const QString &) {}

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    void moveEvent(QMoveEvent *) override;
    void changeEvent(QEvent *) override;

private:
    void Refresh();

    TAdvSmoothPanelCaption *m_caption;
    QString m_namedBy; // the caption text last announced as the name
    TGDIPFill *m_fill;
    bool m_transparent = true;
    bool refreshcache = true;
    QImage FCache;
    int m_renderCount = 0;
};
