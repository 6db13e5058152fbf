#pragma once
// The password edit: the platform edit with the owner's key, character and change events
// in front of it, its own paste and cut rules, and the focus colour and select-all on entry.
#include "Colors.h"
#include "Component.h"
#include "Font.h"
#include "NativeEdit.h"

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

class TCustomAdvEdit : public TNativeEdit, public TComponent {
    Q_OBJECT
public:
    enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel };
    Q_ENUM(TImeMode)

    explicit TCustomAdvEdit(QWidget *parent = nullptr);

    QString Text() const { return NativeText(); }
    // Replaces the whole text and reports the change before returning; nothing when equal.
    void SetText(const QString &value);
    void Clear() { SetText(QString()); }

    TColor Color() const { return m_color; }
    void SetColor(TColor c);
    TColor FocusColor() const { return m_focusColor; }
    void SetFocusColor(TColor c);
    TColor FocusFontColor() const { return m_focusFontColor; }
    void SetFocusFontColor(TColor c);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool v) { m_autoSelect = v; }
    bool ReturnIsTab() const { return m_returnIsTab; }
    void SetReturnIsTab(bool v) { m_returnIsTab = v; }
    bool DefaultHandling() const { return m_defaultHandling; }
    void SetDefaultHandling(bool v) { m_defaultHandling = v; }
    TImeMode ImeMode() const { return m_imeMode; }
    void SetImeMode(TImeMode m);
    TFont::TFontStyles EmptyTextStyle() const { return m_emptyTextStyle; }
    void SetEmptyTextStyle(TFont::TFontStyles s) { m_emptyTextStyle = s; }
    TFont *LabelFont() const { return m_labelFont; }
    TEditLookup *Lookup() const { return m_lookup; }
    QString Version() const { return VersionText(0x03050204); }
    void SetVersion(const QString &) {}

    void CutToClipboard() override;
    void PasteFromClipboard() override;

    void Loaded() override;

signals:
    void OnKeyDown(QObject *Sender, quint16 &Key, TShiftState Shift);
    void OnKeyPress(QObject *Sender, QChar &Key);
    void OnChange(QObject *Sender);

protected:
    void Changed() override;
    bool AccessibilityObserves() const override { return !ComponentLoading(); }
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void Character(QChar ch, TShiftState shift);
    void SetTextColour(const QColor &c);
    void SetBackground(TColor c);

    TColor m_color = clWindow;
    TColor m_focusColor = clNone;
    TColor m_focusFontColor = clWindowText;
    bool m_autoSize = true;
    bool m_autoSelect = true;
    bool m_returnIsTab = false;
    bool m_defaultHandling = true;
    TImeMode m_imeMode = imDontCare;
    TFont::TFontStyles m_emptyTextStyle;
    TFont *m_labelFont;
    TEditLookup *m_lookup;

    QColor m_normalFontColor;          // taken when the focus arrives, given back when it leaves
    bool m_buttonDownInSelection = false;
    bool m_focusByMousePending = false; // the press that gave the focus has not arrived yet
    bool m_pressedUnfocused = false;    // a press came before the focus it asked for
};

class TAdvEdit : public TCustomAdvEdit {
    Q_OBJECT
    // Looks and features this edit does not have: the platform edit draws its own border
    // and background; no address, error or modified colouring, placeholder, attached
    // label or drag and drop. EditType, Prefix, Suffix, LengthLimit and EditorEnabled are
    // not listed: they would change what the edit takes or holds, so a layout naming them
    // fails.
    Q_CLASSINFO("IgnoredDesignNames",
                "BorderStyle Flat FocusBorder BorderColor FocusBorderColor Transparent ShowURL ShowError "
                "ShowModified EmptyText LabelCaption OleDropTarget OleDropSource")
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(TColor FocusFontColor READ FocusFontColor WRITE SetFocusFontColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE SetReturnIsTab)
    Q_PROPERTY(bool DefaultHandling READ DefaultHandling WRITE SetDefaultHandling)
    Q_PROPERTY(TImeMode ImeMode READ ImeMode WRITE SetImeMode)
    Q_PROPERTY(TFont::TFontStyles EmptyTextStyle READ EmptyTextStyle WRITE SetEmptyTextStyle)
    Q_PROPERTY(TFont *LabelFont READ LabelFont)
    Q_PROPERTY(TEditLookup *Lookup READ Lookup)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
public:
    using TCustomAdvEdit::TCustomAdvEdit;
};
