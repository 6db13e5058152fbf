#pragma once
// The fill description: a settings object that paints a shadowed, rounded,
// two-part gradient body into a rectangle.
#include "Colors.h"

#include <QObject>

class TGDIPFill : public QObject {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor ColorTo READ ColorTo WRITE SetColorTo)
    Q_PROPERTY(TColor ColorMirror READ ColorMirror WRITE SetColorMirror)
    Q_PROPERTY(TColor ColorMirrorTo READ ColorMirrorTo WRITE SetColorMirrorTo)
    Q_PROPERTY(TAdvGradientType GradientType READ GradientType WRITE SetGradientType)
    Q_PROPERTY(TAdvGradientType GradientMirrorType READ GradientMirrorType WRITE SetGradientMirrorType)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int Rounding READ Rounding WRITE SetRounding)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE SetShadowOffset)
    Q_PROPERTY(TGlowMode Glow READ Glow WRITE SetGlow)
public:
    enum TAdvGradientType { gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtAngle, gtHatch, gtPath, gtTexture, gtNone };
    Q_ENUM(TAdvGradientType)
    enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };
    Q_ENUM(TGlowMode)

    explicit TGDIPFill(QObject *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v) { Set(m_color, v); }
    TColor ColorTo() const { return m_colorTo; }
    void SetColorTo(TColor v) { Set(m_colorTo, v); }
    TColor ColorMirror() const { return m_colorMirror; }
    void SetColorMirror(TColor v) { Set(m_colorMirror, v); }
    TColor ColorMirrorTo() const { return m_colorMirrorTo; }
    void SetColorMirrorTo(TColor v) { Set(m_colorMirrorTo, v); }
    TAdvGradientType GradientType() const { return m_gradientType; }
    void SetGradientType(TAdvGradientType v) { Set(m_gradientType, v); }
    TAdvGradientType GradientMirrorType() const { return m_gradientMirrorType; }
    void SetGradientMirrorType(TAdvGradientType v) { Set(m_gradientMirrorType, v); }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v) { Set(m_borderColor, v); }
    int Rounding() const { return m_rounding; }
    void SetRounding(int v) { Set(m_rounding, v); }
    int ShadowOffset() const { return m_shadowOffset; }
    void SetShadowOffset(int v) { Set(m_shadowOffset, v); }
    TGlowMode Glow() const { return m_glow; }
    void SetGlow(TGlowMode v) { Set(m_glow, v); }

signals:
    void OnChange(QObject *Sender);

private:
    template <class T> void Set(T &field, T v)
    {
        if (field == v)
            return;
        field = v;
        emit OnChange(this);
    }

    TColor m_color = clSilver;
    TColor m_colorTo = clGray;
    TColor m_colorMirror = clNone;
    TColor m_colorMirrorTo = clNone;
    TAdvGradientType m_gradientType = gtVertical;
    TAdvGradientType m_gradientMirrorType = gtSolid;
    TColor m_borderColor = clNone;
    int m_rounding = 0;
    int m_shadowOffset = 0;
    TGlowMode m_glow = gmNone;
};
