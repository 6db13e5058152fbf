#pragma once
// The smooth panel: a container with a cached, rounded, shadowed gradient background
// and an underlined gradient caption, blended over its parent.
#include "Component.h"
#include "Font.h"
#include "GDIPFill.h"

#include <QWidget>

class TAdvSmoothPanel;

class TAdvSmoothPanelCaption : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TAdvSmoothPanelLocation Location READ Location WRITE SetLocation)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(TFont *HTMLFont READ HTMLFont)
public:
    enum TAdvSmoothPanelLocation { plTopLeft, plTopCenter, plTopRight, plCenterLeft, plCenterCenter, plCenterRight, plBottomLeft, plBottomCenter, plBottomRight, plCustom };
    Q_ENUM(TAdvSmoothPanelLocation)

    explicit TAdvSmoothPanelCaption(QObject *parent = nullptr);

    QString Text() const { return m_text; }
    void SetText(const QString &v);
    TAdvSmoothPanelLocation Location() const { return m_location; }
    void SetLocation(TAdvSmoothPanelLocation v);
    TFont *Font() const { return m_font; }
    TFont *HTMLFont() const { return m_htmlFont; }

signals:
    void OnChange(QObject *Sender);

private:
    QString m_text;
    TAdvSmoothPanelLocation m_location = plTopLeft;
    TFont *m_font;
    TFont *m_htmlFont;
};

class TAdvSmoothPanel : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(TAdvSmoothPanelCaption *Caption READ Caption)
    Q_PROPERTY(TGDIPFill *Fill READ Fill)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    explicit TAdvSmoothPanel(QWidget *parent = nullptr);

    TAdvSmoothPanelCaption *Caption() const { return m_caption; }
    TGDIPFill *Fill() const { return m_fill; }
    QString Version() const { return VersionText(0x01070000); }
    void SetVersion(const QString &) {}

protected:
    void paintEvent(QPaintEvent *) override;

private:
    TAdvSmoothPanelCaption *m_caption;
    TGDIPFill *m_fill;
};
