#pragma once
// The password edit: a one-line text control with the owner's key, character and
// change events in front of Qt's own editing.
#include "Colors.h"
#include "Component.h"
#include "Font.h"

#include <QLineEdit>

class TEditLookup : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled MEMBER m_enabled)
    Q_PROPERTY(int NumChars MEMBER m_numChars)
    Q_PROPERTY(int DisplayCount MEMBER m_displayCount)
    Q_PROPERTY(QString Separator MEMBER m_separator)
    Q_PROPERTY(TFont *Font READ Font)
public:
    explicit TEditLookup(QObject *parent = nullptr);
    TFont *Font() const { return m_font; }

private:
    bool m_enabled = false;
    int m_numChars = 2;
    int m_displayCount = 4;
    QString m_separator = QStringLiteral(";");
    TFont *m_font;
};

class TCustomAdvEdit : public QLineEdit, public TComponent {
    Q_OBJECT
public:
    enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel };
    Q_ENUM(TImeMode)

    explicit TCustomAdvEdit(QWidget *parent = nullptr);

    QString Text() const;
    void SetText(const QString &value);
    void Clear();
    void SelectAll();

    TColor Color() const { return m_color; }
    void SetColor(TColor c);
    TColor FocusFontColor() const { return m_focusFontColor; }
    void SetFocusFontColor(TColor c) { m_focusFontColor = c; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v) { m_autoSize = v; }
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool v) { m_autoSelect = v; }
    TImeMode ImeMode() const { return m_imeMode; }
    void SetImeMode(TImeMode m);
    TFont::TFontStyles EmptyTextStyle() const { return m_emptyTextStyle; }
    void SetEmptyTextStyle(TFont::TFontStyles s) { m_emptyTextStyle = s; }
    TFont *LabelFont() const { return m_labelFont; }
    TEditLookup *Lookup() const { return m_lookup; }
    QString Version() const { return VersionText(0x03050204); }
    void SetVersion(const QString &) {}

signals:
    void OnKeyDown(QObject *Sender, quint16 &Key, TShiftState Shift);
    void OnKeyPress(QObject *Sender, QChar &Key);
    void OnChange(QObject *Sender);

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    TColor m_color = clWindow;
    TColor m_focusFontColor = clWindowText;
    bool m_autoSize = true;
    bool m_autoSelect = true;
    TImeMode m_imeMode = imDontCare;
    TFont::TFontStyles m_emptyTextStyle;
    TFont *m_labelFont;
    TEditLookup *m_lookup;
};

class TAdvEdit : public TCustomAdvEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor FocusFontColor READ FocusFontColor WRITE SetFocusFontColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(TImeMode ImeMode READ ImeMode WRITE SetImeMode)
    Q_PROPERTY(TFont::TFontStyles EmptyTextStyle READ EmptyTextStyle WRITE SetEmptyTextStyle)
    Q_PROPERTY(TFont *LabelFont READ LabelFont)
    Q_PROPERTY(TEditLookup *Lookup READ Lookup)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TCustomAdvEdit::TCustomAdvEdit;
};
