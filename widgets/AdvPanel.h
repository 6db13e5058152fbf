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
    TPanelCaption *Caption() const { return m_caption; }
    TPanelStatusBar *StatusBar() const { return m_statusBar; }
    QString Version() const { return VersionText(0x02050900); }
    void SetVersion(const QString &) {}

protected:
    void paintEvent(QPaintEvent *) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void Dock();

    TColor m_color = clBtnFace;
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
