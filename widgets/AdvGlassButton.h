#pragma once
// The glass push button: a translucent rounded plate over the parent's image.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QWidget>

class TAdvCustomGlassButton : public QWidget, public TComponent {
    Q_OBJECT
public:
    explicit TAdvCustomGlassButton(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor v);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor v);
    TColor GlowColor() const { return m_glowColor; }
    void SetGlowColor(TColor v);
    TColor InnerBorderColor() const { return m_innerBorderColor; }
    void SetInnerBorderColor(TColor v);
    TColor OuterBorderColor() const { return m_outerBorderColor; }
    void SetOuterBorderColor(TColor v);
    TColor ShineColor() const { return m_shineColor; }
    void SetShineColor(TColor v);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    TFont *Font() const { return m_font; }
    QString Version() const { return VersionText(0x01030100); }
    void SetVersion(const QString &) {}

signals:
    void OnClick(QObject *Sender);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_caption;
    TColor m_backColor = clBlack;
    TColor m_foreColor = clWhite;
    TColor m_glowColor = 0x00FFBD8D;
    TColor m_innerBorderColor = clBlack;
    TColor m_outerBorderColor = clWhite;
    TColor m_shineColor = clWhite;
    bool m_parentFont = false;
    bool m_down = false;
    TFont *m_font;
};

class TAdvGlassButton : public TAdvCustomGlassButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(TColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TColor GlowColor READ GlowColor WRITE SetGlowColor)
    Q_PROPERTY(TColor InnerBorderColor READ InnerBorderColor WRITE SetInnerBorderColor)
    Q_PROPERTY(TColor OuterBorderColor READ OuterBorderColor WRITE SetOuterBorderColor)
    Q_PROPERTY(TColor ShineColor READ ShineColor WRITE SetShineColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TAdvCustomGlassButton::TAdvCustomGlassButton;
};
