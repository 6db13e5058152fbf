#pragma once
// The office-style check box: a glyph image followed by a plain-text caption.
#include "Colors.h"
#include "Component.h"

#include <QWidget>

class TCustomAdvOfficeCheckBox : public QWidget, public TComponent {
    Q_OBJECT
public:
    enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)
    enum TLeftRight { taLeftJustify, taRightJustify };
    Q_ENUM(TLeftRight)

    explicit TCustomAdvOfficeCheckBox(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    virtual bool GetChecked() const { return m_state == cbChecked; }
    virtual void SetChecked(bool v);
    virtual TCheckBoxState GetState() const { return m_state; }
    void SetState(TCheckBoxState v);
    TLeftRight Alignment() const { return m_alignment; }
    void SetAlignment(TLeftRight v);
    bool ReturnIsTab() const { return m_returnIsTab; }
    void SetReturnIsTab(bool v) { m_returnIsTab = v; }
    QString Version() const { return VersionText(0x01070000); }
    void SetVersion(const QString &) {}

    virtual void Toggle();

signals:
    void OnClick(QObject *Sender);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_caption;
    TCheckBoxState m_state = cbUnchecked;
    TLeftRight m_alignment = taLeftJustify;
    bool m_returnIsTab = false;
    bool m_gotClick = false;
};

class TAdvOfficeCheckBox : public TCustomAdvOfficeCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ GetChecked WRITE SetChecked)
    Q_PROPERTY(TCheckBoxState State READ GetState WRITE SetState)
    Q_PROPERTY(TLeftRight Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE SetReturnIsTab)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TCustomAdvOfficeCheckBox::TCustomAdvOfficeCheckBox;
};
