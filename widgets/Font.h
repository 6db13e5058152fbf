#pragma once
// A font as the layout describes it: name, character height in pixels (stored negative),
// colour, style and character set. Controls own one and push it into Qt with ApplyTo.
#include "Colors.h"

#include <QFont>
#include <QObject>

class QWidget;

class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
    Q_PROPERTY(TFontCharset Charset READ Charset WRITE SetCharset)

public:
    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)
    enum TFontCharset {
        ANSI_CHARSET = 0,
        DEFAULT_CHARSET = 1,
        SYMBOL_CHARSET = 2,
        SHIFTJIS_CHARSET = 128,
        HANGEUL_CHARSET = 129,
        GB2312_CHARSET = 134,
        CHINESEBIG5_CHARSET = 136,
        OEM_CHARSET = 255,
    };
    Q_ENUM(TFontCharset)

    // The layout's density: heights and point sizes convert at 96 pixels per inch.
    static constexpr int kPixelsPerInch = 96;

    explicit TFont(QObject *parent = nullptr);

    QString Name() const { return m_name; }
    void SetName(const QString &v);
    int Height() const { return m_height; }
    void SetHeight(int v);
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles v);
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset v);

    void Assign(const TFont &other);

    // The Qt font (family resolved by substitution; pixel size = character height).
    QFont ToQFont() const;
    // Sets the widget's font and its text colour roles (WindowText, Text, ButtonText).
    void ApplyTo(QWidget *w) const;
    // Takes name, height and colour from what a widget currently uses.
    void AssignFromWidget(const QWidget *w);

signals:
    void Changed();

private:
    QString m_name = QStringLiteral("Tahoma");
    int m_height = -11;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    TFontCharset m_charset = DEFAULT_CHARSET;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)
