#pragma once
// The fill description: a settings object that paints a shadowed, rounded, one- or
// two-part gradient body with border, glow and focus indicator into a rectangle.
#include "Colors.h"

#include <QObject>
#include <QRectF>

class TGPBrush;
class TGPGraphics;
class TGPPath;

class TGDIPFill : public QObject {
    Q_OBJECT
    // The fill paints no pictures, behind the body or over it.
    Q_CLASSINFO("IgnoredDesignNames",
                "BackGroundPictureAspectRatio BackGroundPictureMode BackGroundPicture BackGroundPicturePosition "
                "BackGroundPictureLeft BackGroundPictureTop BackGroundPictureAspectMode Picture PicturePosition "
                "PictureLeft PictureTop PictureSize PictureWidth PictureHeight PictureAspectRatio PictureAspectMode")
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor ColorTo READ ColorTo WRITE SetColorTo)
    Q_PROPERTY(TColor ColorMirror READ ColorMirror WRITE SetColorMirror)
    Q_PROPERTY(TColor ColorMirrorTo READ ColorMirrorTo WRITE SetColorMirrorTo)
    Q_PROPERTY(TAdvGradientType GradientType READ GradientType WRITE SetGradientType)
    Q_PROPERTY(TAdvGradientType GradientMirrorType READ GradientMirrorType WRITE SetGradientMirrorType)
    Q_PROPERTY(int HatchStyle READ HatchStyle WRITE SetHatchStyle)
    Q_PROPERTY(int HatchStyleMirror READ HatchStyleMirror WRITE SetHatchStyleMirror)
    Q_PROPERTY(int Opacity READ Opacity WRITE SetOpacity)
    Q_PROPERTY(int OpacityTo READ OpacityTo WRITE SetOpacityTo)
    Q_PROPERTY(int OpacityMirror READ OpacityMirror WRITE SetOpacityMirror)
    Q_PROPERTY(int OpacityMirrorTo READ OpacityMirrorTo WRITE SetOpacityMirrorTo)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderOpacity READ BorderOpacity WRITE SetBorderOpacity)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(int Rounding READ Rounding WRITE SetRounding)
    Q_PROPERTY(TFillRoundingType RoundingType READ RoundingType WRITE SetRoundingType)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE SetShadowOffset)
    Q_PROPERTY(TShadowType ShadowType READ ShadowType WRITE SetShadowType)
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_PROPERTY(TGlowMode Glow READ Glow WRITE SetGlow)
    Q_PROPERTY(TColor GlowGradientColor READ GlowGradientColor WRITE SetGlowGradientColor)
    Q_PROPERTY(TColor GlowRadialColor READ GlowRadialColor WRITE SetGlowRadialColor)
public:
    enum TAdvGradientType { gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtAngle, gtHatch, gtPath, gtTexture, gtNone };
    Q_ENUM(TAdvGradientType)
    enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
    Q_ENUM(TFillRoundingType)
    enum TShadowType { stRightBottom, stBottom, stSurround };
    Q_ENUM(TShadowType)
    enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
    Q_ENUM(TGlowMode)

    explicit TGDIPFill(QObject *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    TColor ColorTo() const { return m_colorTo; }
    void SetColorTo(TColor v);
    TColor ColorMirror() const { return m_colorMirror; }
    void SetColorMirror(TColor v);
    TColor ColorMirrorTo() const { return m_colorMirrorTo; }
    void SetColorMirrorTo(TColor v);
    TAdvGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TAdvGradientType v);
    TAdvGradientType GradientMirrorType() const { return m_gradientMirrorType; }
    void SetGradientMirrorType(TAdvGradientType v);
    int HatchStyle() const { return m_hatchStyle; }
    void SetHatchStyle(int v);
    int HatchStyleMirror() const { return m_hatchStyleMirror; }
    void SetHatchStyleMirror(int v);
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v);
    int Rounding() const { return m_rounding; }
    void SetRounding(int v);
    TFillRoundingType RoundingType() const { return m_roundingType; }
    void SetRoundingType(TFillRoundingType v);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor v);
    int ShadowOffset() const { return m_shadowOffset; }
    void SetShadowOffset(int v);
    TShadowType ShadowType() const { return m_shadowType; }
    void SetShadowType(TShadowType v);
    int Angle() const { return m_angle; }
    void SetAngle(int v);
    TGlowMode Glow() const { return m_glow; }
    void SetGlow(TGlowMode v);
    TColor GlowGradientColor() const { return m_glowGradientColor; }
    void SetGlowGradientColor(TColor v);
    TColor GlowRadialColor() const { return m_glowRadialColor; }
    void SetGlowRadialColor(TColor v);
    // Opacities are bytes; values outside 0..255 are clamped.
    int Opacity() const { return m_opacity; }
    void SetOpacity(int v);
    int OpacityTo() const { return m_opacityTo; }
    void SetOpacityTo(int v);
    int OpacityMirror() const { return m_opacityMirror; }
    void SetOpacityMirror(int v);
    int OpacityMirrorTo() const { return m_opacityMirrorTo; }
    void SetOpacityMirrorTo(int v);
    int BorderOpacity() const { return m_borderOpacity; }
    void SetBorderOpacity(int v);

    // The focus indicator (public, not stored in layouts).
    bool Focus() const { return m_focus; }
    void SetFocus(bool v);
    TColor FocusColor() const { return m_focusColor; }
    void SetFocusColor(TColor v);

    int UpdateCount() const { return FUpdateCount; }
    void BeginUpdate() { ++FUpdateCount; }
    // Never fires OnChange itself: changes made during the update are not remembered.
    void EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }

    // Copies every stored setting from another fill (not Focus/FocusColor) and signals
    // one change; anything else is ignored.
    void Assign(const QObject *source);

    // Where a fill into `r` puts its body (inside the shadow) and its focus line.
    struct TFillAreas {
        QRectF Body, Focus;
    };
    TFillAreas Areas(const QRectF &r) const;
    // Paints into `r` (shadow included) and returns where the body and focus line went.
    // A byte below 255 overrides its opacity property for this call.
    TFillAreas Fill(TGPGraphics &g, const QRectF &r, int aBorderOpacity = 255, int aOpacity = 255,
                int aOpacityTo = 255, int aOpacityMirror = 255, int aOpacityMirrorTo = 255);
    void DrawGradientBackGround(TGPGraphics &g, const QRectF &r, bool mirror, int oc, int octo,
                                int ocmr, int ocmrto);
    void DrawGlow(TGPGraphics &g, const QRectF &r);

    // The rounded outline through the rectangle's edges, clockwise from the top-left.
    static TGPPath CreateRoundRectPath(const QRectF &r, int radius, TFillRoundingType corners);

signals:
    void OnChange(QObject *Sender);

private:
    // The opacities of one fill call: the part's start and end, the mirror's start and end.
    struct TOpacities {
        int Start, End, MirrorStart, MirrorEnd;
    };
    void Changed();
    void DrawShadow(TGPGraphics &g, const QRectF &r);
    void DrawBody(TGPGraphics &g, const QRectF &work, const TOpacities &o);
    // One part: radial with the given corners, or the gradient background.
    void DrawPart(TGPGraphics &g, const QRectF &r, bool mirror, TFillRoundingType radialCorners, const TOpacities &o);
    void DrawFocus(TGPGraphics &g, const QRectF &focus, int alpha);
    TFillRoundingType PartCorners(bool mirror) const;
    // The brush of a solid, linear, angle or hatch part.
    TGPBrush PartBrush(TGPGraphics &g, TAdvGradientType kind, const QRectF &r, const QColor &from, const QColor &to,
                       int hatch) const;
    void DrawRadialFill(TGPGraphics &g, const QRectF &r, TColor a, TColor b, int alphaA, int alphaB,
                        bool top, int radius, TFillRoundingType corners);

    TColor m_color = clSilver;
    TColor m_colorTo = clGray;
    TColor m_colorMirror = clNone;
    TColor m_colorMirrorTo = clNone;
    TAdvGradientType m_gradientType = gtVertical;
    TAdvGradientType m_gradientMirrorType = gtSolid;
    int m_hatchStyle = 0;
    int m_hatchStyleMirror = 0;
    int m_opacity = 255;
    int m_opacityTo = 255;
    int m_opacityMirror = 255;
    int m_opacityMirrorTo = 255;
    TColor m_borderColor = clNone;
    int m_borderOpacity = 255;
    int m_borderWidth = 1;
    int m_rounding = 0;
    TFillRoundingType m_roundingType = rtBoth;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 0;
    TShadowType m_shadowType = stRightBottom;
    int m_angle = 0;
    TGlowMode m_glow = gmNone;
    TColor m_glowGradientColor = clWhite;
    TColor m_glowRadialColor = clWhite;
    bool m_focus = false;
    TColor m_focusColor = clBlack;
    int FUpdateCount = 0;
};
