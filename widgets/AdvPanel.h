#pragma once
// The styled panel: a container that paints a solid background and 3-D bevels.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QWidget>

class TPanelCaption : public QObject {
    Q_OBJECT
    Q_PROPERTY(TColor Color MEMBER m_color)
    Q_PROPERTY(TColor ColorTo MEMBER m_colorTo)
    Q_PROPERTY(int Indent MEMBER m_indent)
    Q_PROPERTY(bool Visible MEMBER m_visible)
    Q_PROPERTY(int Height MEMBER m_height)
    Q_PROPERTY(TFont *Font READ Font)
public:
    explicit TPanelCaption(QObject *parent = nullptr);
    TFont *Font() const { return m_font; }

private:
    TColor m_color = clHighlight;
    TColor m_colorTo = clNone;
    int m_indent = 0;
    bool m_visible = false;
    int m_height = 20;
    TFont *m_font;
};

class TPanelStatusBar : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible MEMBER m_visible)
    Q_PROPERTY(int Height MEMBER m_height)
    Q_PROPERTY(TFont *Font READ Font)
public:
    explicit TPanelStatusBar(QObject *parent = nullptr);
    TFont *Font() const { return m_font; }

private:
    bool m_visible = false;
    int m_height = 18;
    TFont *m_font;
};

class TCustomAdvPanel : public QWidget, public TComponent {
    Q_OBJECT
public:
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
    Q_ENUM(TAlign)
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)

    explicit TCustomAdvPanel(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign v);
    bool DoubleBuffered() const { return m_doubleBuffered; }
    void SetDoubleBuffered(bool v) { m_doubleBuffered = v; }
    bool UseDockManager() const { return m_useDockManager; }
    void SetUseDockManager(bool v) { m_useDockManager = v; }
    QString Text() const { return m_text; }
    void SetText(const QString &v);
    int FullHeight() const { return m_fullHeight; }
    void SetFullHeight(int v) { m_fullHeight = v; }
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut v) { if (m_bevelOuter != v) { m_bevelOuter = v; update(); } }
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut v) { if (m_bevelInner != v) { m_bevelInner = v; update(); } }
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int v) { v = qMax(1, v); if (m_bevelWidth != v) { m_bevelWidth = v; update(); } }
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v) { v = qMax(0, v); if (m_borderWidth != v) { m_borderWidth = v; update(); } }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v) { if (m_borderColor != v) { m_borderColor = v; update(); } }
    TColor ColorTo() const { return m_colorTo; }
    void SetColorTo(TColor v) { if (m_colorTo != v) { m_colorTo = v; update(); } }
    bool Buffered() const { return m_buffered; }
    void SetBuffered(bool v) { m_buffered = v; }

    // Draws the classic 3-D frame: `n` nested one-pixel passes inside `r`, which shrinks
    // by n on every side. Corners top-right and bottom-left take the bottom-right colour.
    static void Frame3D(QPainter &p, QRect &r, const QColor &topLeft, const QColor &bottomRight, int n);

    TPanelCaption *Caption() const { return m_caption; }
    TPanelStatusBar *StatusBar() const { return m_statusBar; }
    QString Version() const { return VersionText(0x02050900); }
    void SetVersion(const QString &) {}

    void Loaded() override;

signals:
    void OnPaint(QObject *Sender, QPainter *Canvas, const QRect &Rect);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;
    bool eventFilter(QObject *o, QEvent *e) override;

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
    TPanelCaption *m_caption;
    TPanelStatusBar *m_statusBar;
};

class TAdvPanel : public TCustomAdvPanel {
    Q_OBJECT
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
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TCustomAdvPanel::TCustomAdvPanel;
};
