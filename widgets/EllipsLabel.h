#pragma once
// The text label: one text in one font, single line or word-wrapped, optionally shortened.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QWidget>

class TEllipsLabel : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TEllipsType EllipsType READ EllipsType WRITE SetEllipsType)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    enum TEllipsType { etNone, etEndEllips, etPathEllips };
    Q_ENUM(TEllipsType)

    explicit TEllipsLabel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v);
    TEllipsType EllipsType() const { return m_ellipsType; }
    void SetEllipsType(TEllipsType v);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool v);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool v);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    TFont *Font() const { return m_font; }
    QString Version() const { return VersionText(0x01000000); }
    void SetVersion(const QString &) {}

    void Loaded() override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void AdjustBounds();

    QString m_caption;
    TEllipsType m_ellipsType = etNone;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    bool m_transparent = true;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    bool m_parentFont = true;
    TFont *m_font;
};
