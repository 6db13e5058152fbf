#pragma once
// The main window: password edit, five reading options, the result area, and the bar
// with the copy status and the copy and exit buttons. Built from resources/layout/Main.json.
#include "AdvEdit.h"
#include "AdvGlassButton.h"
#include "AdvOfficeButtons.h"
#include "AdvPanel.h"
#include "AdvSmoothPanel.h"
#include "Colors.h"
#include "Component.h"
#include "EllipsLabel.h"
#include "Font.h"
#include "LayoutLoader.h"
#include "ReadingComposer.h"
#include "ReadingModel.h"

#include <QKeySequence>
#include <QPointer>
#include <QWidget>

class QSessionManager;
class TDictationView;

class TfmKanavox : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TBorderIcons BorderIcons READ BorderIcons WRITE SetBorderIcons)
    // Position: the start-up moves the window to its stored place before it shows, so no
    // placement asked for beforehand would be seen. PixelsPerInch, TextHeight: the density
    // the layout was made at; its values are pixels as they stand, never rescaled.
    Q_CLASSINFO("IgnoredDesignNames", "Position PixelsPerInch TextHeight")
    // Controls, bound by name from the layout.
    Q_PROPERTY(TAdvPanel *pnlFunction MEMBER pnlFunction)
    Q_PROPERTY(TAdvSmoothPanel *AdvSmoothPanel1 MEMBER AdvSmoothPanel1)
    Q_PROPERTY(TAdvOfficeCheckBox *chk1Mojisyu MEMBER chk1Mojisyu)
    Q_PROPERTY(TAdvOfficeCheckBox *chkSepBlank MEMBER chkSepBlank)
    Q_PROPERTY(TEllipsLabel *lblEGkekka MEMBER lblEGkekka)
    Q_PROPERTY(TEllipsLabel *EllipsLabel1 MEMBER EllipsLabel1)
    Q_PROPERTY(TAdvOfficeCheckBox *chkMojisyuIns MEMBER chkMojisyuIns)
    Q_PROPERTY(TAdvEdit *edtPass MEMBER edtPass)
    Q_PROPERTY(TEllipsLabel *EllipsLabel2 MEMBER EllipsLabel2)
    Q_PROPERTY(TAdvOfficeCheckBox *chkNum MEMBER chkNum)
    Q_PROPERTY(TAdvOfficeCheckBox *chkKigou MEMBER chkKigou)
    Q_PROPERTY(TAdvGlassButton *btnEnd MEMBER btnEnd)
    Q_PROPERTY(TAdvGlassButton *btnCopy MEMBER btnCopy)
    Q_PROPERTY(TEllipsLabel *lblCopyKekka MEMBER lblCopyKekka)

public:
    enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
    Q_ENUM(TFormBorderStyle)
    enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
    Q_DECLARE_FLAGS(TBorderIcons, TBorderIcon)
    Q_FLAG(TBorderIcons)

    // The layout resource the window is built from.
    static constexpr const char *kLayoutResource = ":/layout/Main.json";

    explicit TfmKanavox(QWidget *parent = nullptr);

    TAdvPanel *pnlFunction = nullptr;
    TAdvSmoothPanel *AdvSmoothPanel1 = nullptr;
    TAdvOfficeCheckBox *chk1Mojisyu = nullptr;
    TAdvOfficeCheckBox *chkSepBlank = nullptr;
    TEllipsLabel *lblEGkekka = nullptr;
    TEllipsLabel *EllipsLabel1 = nullptr;
    TAdvOfficeCheckBox *chkMojisyuIns = nullptr;
    TAdvEdit *edtPass = nullptr;
    TEllipsLabel *EllipsLabel2 = nullptr;
    TAdvOfficeCheckBox *chkNum = nullptr;
    TAdvOfficeCheckBox *chkKigou = nullptr;
    TAdvGlassButton *btnEnd = nullptr;
    TAdvGlassButton *btnCopy = nullptr;
    TEllipsLabel *lblCopyKekka = nullptr;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &v) { setWindowTitle(v); }
    int ClientWidth() const { return m_clientWidth; }
    void SetClientWidth(int v);
    int ClientHeight() const { return m_clientHeight; }
    void SetClientHeight(int v);
    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    TFont *Font() const { return m_font; }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons v);

    void Loaded() override;

    // Runs the close query as every close request does; true when the window may close.
    bool CloseQuery();
    // The session is about to end (log-off, shut-down): the settings are written as on
    // any close request. False when they could not be.
    bool SessionEnding();

    // Opens the large dictation view of the password, or brings it to the front.
    void ShowDictation();

    // The window's own events, bound by the layout.
    TEvent<QObject *> OnCreate{"OnCreate"};
    TEvent<QObject *, bool &> OnCloseQuery{"OnCloseQuery"};

    // Handlers the layout binds by name.
    void FormCreate(QObject *Sender);
    void edtPassKeyPress(QObject *Sender, QChar &Key);
    void edtPassChange(QObject *Sender);
    void FormCloseQuery(QObject *Sender, bool &CanClose);
    void chkMojisyuInsClick(QObject *Sender);
    void chk1MojisyuClick(QObject *Sender);
    void btnEndClick(QObject *Sender);
    void btnCopyClick(QObject *Sender);
    void edtPassKeyDown(QObject *Sender, quint16 &Key, TShiftState Shift);

    // The keys that click the options from anywhere in the window, in their order on the
    // screen: Alt+1 to Alt+5.
    static QKeySequence OptionShortcut(int index);
    // The options in their order on the screen, one per row of kOptionRows.
    QList<TAdvOfficeCheckBox *> OptionBoxes() const;
    // The password and options as the window last took them, and their reading.
    const TReadingModel &ReadingModel() const { return m_reading; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *e) override;

private:
    static const THandlerTable &Handlers();
    void ResetInput();
    void RefreshReading();
    void ShowReading();
    ReadingOptions ReadOptionsFromWindow() const;
    void ApplyColor();
    void ApplyWindowFlags();
    void CommitData(QSessionManager &manager);
    // The window's outer top-left corner, as stored and restored.
    QPoint OuterTopLeft() const;

    // What a screen reader hears beyond what it reads of the controls itself.
    void ConnectAssistiveTechnology();
    void SpeakPasswordChange();
    void SpeakOptionClick(QObject *Sender);
    void SpeakCopyResult();
    void ShowReadingToAssistiveTechnology();
    void ApplyAssistiveTabStops(bool active);

    int m_clientWidth = 0;
    int m_clientHeight = 0;
    TColor m_color = clBtnFace;
    TFont *m_font;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TBorderIcons m_borderIcons = TBorderIcons(biSystemMenu | biMinimize | biMaximize);
    TReadingModel m_reading;
    QPointer<TDictationView> m_dictation;
    // The password as last heard, and the character the key filter last let through:
    // a change that inserts just that character is typing, any other is a paste.
    QString m_heardPassword;
    QChar m_typedKey;
    // Which options were available when last heard.
    QList<bool> m_heardEnabled;
    QList<bool> m_designedTabStops;
    // The check boxes of kOptionRows, row by row.
    QList<TAdvOfficeCheckBox *> m_optionBoxes;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TfmKanavox::TBorderIcons)
