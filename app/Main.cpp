#include "Main.h"

#include "Accessible.h"
#include "Application.h"
#include "Clipboard.h"
#include "DictationView.h"
#include "Icon.h"
#include "LayoutLoader.h"
#include "Settings.h"
#include "WindowPlacement.h"
#include "Wipe.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>

namespace {
constexpr quint16 kVirtualKeyV = 86;
constexpr quint16 kVirtualKeyL = 76;
constexpr char16_t kBackspace = 8;
const QString kCopyOK = QStringLiteral("コピーOK");
const QString kCopyNG = QStringLiteral("NG");
} // namespace

TfmKanavox::TfmKanavox(QWidget *parent) : QWidget(parent), m_font(new TFont(this))
{
    setAttribute(Qt::WA_QuitOnClose);
    setAutoFillBackground(true);
    // The application's own when set (the program sets it first): decoded once.
    const QIcon appIcon = QGuiApplication::windowIcon();
    setWindowIcon(appIcon.isNull() ? KanavoxIcon() : appIcon);
    // The window shows its initial colour and border, so that a layout value equal to one
    // of them changes nothing.
    ApplyColor();
    ApplyWindowFlags();
    connect(m_font, &TFont::Changed, this, [this] { m_font->ApplyTo(this); });
    TLayoutLoader::Apply(this, TLayoutLoader::Read(QString::fromLatin1(kLayoutResource)), Handlers());
    // The edit holds a password: its own copy and cut mark it as one, as the copy button does.
    edtPass->SetClipboardSensitivity(TClipboard::Secret);
    Accessibility::SetLabel(edtPass, EllipsLabel2);
    Accessibility::SetLabel(lblEGkekka, AdvSmoothPanel1);
    Accessibility::SetController(edtPass, lblEGkekka);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &TfmKanavox::CommitData);
    // Ctrl+L opens the dictation view; the edit keeps Ctrl+letters, see edtPassKeyDown.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this,
            &TfmKanavox::ShowDictation);
    // The result area offers the same on a right click; the edit keeps its own menu.
    for (QWidget *w : {static_cast<QWidget *>(AdvSmoothPanel1), static_cast<QWidget *>(lblEGkekka)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &pos) {
            auto *menu = new QMenu(this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->addAction(QStringLiteral("大きく表示(&L)"), this, &TfmKanavox::ShowDictation);
            menu->popup(w->mapToGlobal(pos));
        });
    }
    OnCreate(this);
}

const THandlerTable &TfmKanavox::Handlers()
{
    static const THandlerTable table = THandlerTable()
        .Add("FormCreate", &TfmKanavox::OnCreate, &TfmKanavox::FormCreate)
        .Add("FormCloseQuery", &TfmKanavox::OnCloseQuery, &TfmKanavox::FormCloseQuery)
        .Add("edtPassChange", &TAdvEdit::OnChange, &TfmKanavox::edtPassChange)
        .Add("edtPassKeyDown", &TAdvEdit::OnKeyDown, &TfmKanavox::edtPassKeyDown)
        .Add("edtPassKeyPress", &TAdvEdit::OnKeyPress, &TfmKanavox::edtPassKeyPress)
        .Add("chkMojisyuInsClick", &TAdvOfficeCheckBox::OnClick, &TfmKanavox::chkMojisyuInsClick)
        .Add("chk1MojisyuClick", &TAdvOfficeCheckBox::OnClick, &TfmKanavox::chk1MojisyuClick)
        .Add("btnEndClick", &TAdvGlassButton::OnClick, &TfmKanavox::btnEndClick)
        .Add("btnCopyClick", &TAdvGlassButton::OnClick, &TfmKanavox::btnCopyClick);
    return table;
}

void TfmKanavox::SetClientWidth(int v)
{
    if (v == m_clientWidth && v == width())
        return;
    m_clientWidth = v;
    resize(v, height());
}

void TfmKanavox::SetClientHeight(int v)
{
    if (v == m_clientHeight && v == height())
        return;
    m_clientHeight = v;
    resize(width(), v);
}

void TfmKanavox::SetColor(TColor v)
{
    if (v == m_color)
        return;
    m_color = v;
    ApplyColor();
}

void TfmKanavox::ApplyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(m_color));
    setPalette(pal);
}

void TfmKanavox::SetBorderStyle(TFormBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    ApplyWindowFlags();
}

void TfmKanavox::SetBorderIcons(TBorderIcons v)
{
    if (v == m_borderIcons)
        return;
    m_borderIcons = v;
    ApplyWindowFlags();
}

void TfmKanavox::ApplyWindowFlags()
{
    Qt::WindowFlags f = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_borderIcons & biSystemMenu)
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_borderIcons & biMinimize)
        f |= Qt::WindowMinimizeButtonHint;
    if ((m_borderIcons & biMaximize) && m_borderStyle == bsSizeable)
        f |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(f);
}

void TfmKanavox::Loaded()
{
    TComponent::Loaded();
    // A single border is not resizable: the client area stays as laid out.
    if (m_borderStyle != bsSizeable)
        setFixedSize(m_clientWidth, m_clientHeight);
}

// --- start-up ---------------------------------------------------------------------------

void TfmKanavox::FormCreate(QObject *)
{
    TKanavoxSettings s;
    try {
        s = LoadSettings();
    } catch (const EFOpenError &e) {
        // An unreadable file is reported; the window then starts as if there were none,
        // rather than with the layout's placeholder texts and no options.
        ShowFailure(e);
        s = TKanavoxSettings();
    }
    // A place left behind by an unplugged monitor would strand the window; it then starts
    // where the platform puts it, and the close stores that place.
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (PlacementUsable(QPoint(s.MainLeft, s.MainTop), size(),
                        QRect(btnEnd->mapTo(this, QPoint()), btnEnd->size()), screens)) {
        move(x(), s.MainTop);
        move(s.MainLeft, y());
    }
    chkMojisyuIns->SetChecked(s.MojiSyu);
    chk1Mojisyu->SetChecked(s.Mojigoto1);
    chkSepBlank->SetChecked(s.SepBlank);
    chkNum->SetChecked(s.Num);
    chkKigou->SetChecked(s.Kigou);
    ResetInput();
}

void TfmKanavox::ResetInput()
{
    edtPass->Clear();
    lblEGkekka->SetCaption(QString());
    chkMojisyuInsClick(chkMojisyuIns);
}

// --- reading ----------------------------------------------------------------------------

ReadingOptions TfmKanavox::ReadOptionsFromWindow() const
{
    ReadingOptions o;
    o.insertClass = chkMojisyuIns->GetChecked();
    o.classEachCharacter = chk1Mojisyu->GetChecked(); // counts even while disabled
    o.blankSeparator = chkSepBlank->GetChecked();
    o.keepDigits = chkNum->GetChecked();
    o.keepSymbols = chkKigou->GetChecked();
    return o;
}

void TfmKanavox::RefreshReading()
{
    const QString text = edtPass->Text();
    if (text.isEmpty())
        return;
    lblCopyKekka->SetCaption(QString());
    // The reading spells the password out: the one it replaces is wiped, once the label
    // has let go of it.
    QString previous = lblEGkekka->Caption();
    lblEGkekka->SetCaption(ComposeReading(text, ReadOptionsFromWindow()));
    WipeString(previous);
}

// --- handlers ---------------------------------------------------------------------------

void TfmKanavox::edtPassKeyPress(QObject *, QChar &Key)
{
    if (Key.unicode() != kBackspace && ReadingIndexOf(Key) < 0)
        Key = QChar(0);
}

void TfmKanavox::edtPassKeyDown(QObject *, quint16 &Key, TShiftState Shift)
{
    // Ctrl+V replaces the whole password with the clipboard text as it stands; the
    // character the key produces is then dropped by the key filter.
    if (Key == kVirtualKeyV && Shift.testFlag(ssCtrl))
        edtPass->SetText(TClipboard::AsText());
    // The edit holds on to Ctrl+letters, so the window's Ctrl+L is answered here too.
    else if (Key == kVirtualKeyL && Shift.testFlag(ssCtrl) && !Shift.testFlag(ssAlt))
        ShowDictation();
}

void TfmKanavox::edtPassChange(QObject *)
{
    RefreshReading();
}

void TfmKanavox::chkMojisyuInsClick(QObject *)
{
    chk1Mojisyu->setEnabled(chkMojisyuIns->GetChecked());
    RefreshReading();
}

void TfmKanavox::chk1MojisyuClick(QObject *)
{
    RefreshReading();
}

void TfmKanavox::btnCopyClick(QObject *)
{
    try {
        const QString text = edtPass->Text() + QStringLiteral("\r\n") + lblEGkekka->Caption();
        TClipboard::SetAsText(text, edtPass->ClipboardSensitivity());
        lblCopyKekka->SetCaption(kCopyOK);
    } catch (const std::exception &) {
        lblCopyKekka->SetCaption(kCopyNG);
    }
}

void TfmKanavox::btnEndClick(QObject *)
{
    close();
}

void TfmKanavox::ShowDictation()
{
    if (!m_dictation)
        m_dictation = new TDictationView(edtPass, this);
    m_dictation->show();
    m_dictation->raise();
    m_dictation->activateWindow();
}

// --- closing ----------------------------------------------------------------------------

void TfmKanavox::FormCloseQuery(QObject *, bool &CanClose)
{
    TKanavoxSettings s;
    s.MainTop = y();
    s.MainLeft = x();
    s.HasPosition = PlatformReportsWindowPosition();
    s.MojiSyu = chkMojisyuIns->GetChecked();
    s.Mojigoto1 = chk1Mojisyu->GetChecked();
    s.SepBlank = chkSepBlank->GetChecked();
    s.Num = chkNum->GetChecked();
    s.Kigou = chkKigou->GetChecked();
    SaveSettings(s);
    CanClose = true;
}

bool TfmKanavox::CloseQuery()
{
    bool canClose = true;
    // A failing handler abandons the close, as if it had said no.
    return OnCloseQuery(this, canClose) && canClose;
}

void TfmKanavox::closeEvent(QCloseEvent *event)
{
    event->setAccepted(CloseQuery());
}

bool TfmKanavox::SessionEnding()
{
    return CloseQuery();
}

void TfmKanavox::CommitData(QSessionManager &manager)
{
    // If the settings cannot be written, ask the session to wait: the error box is up.
    if (!SessionEnding() && manager.allowsInteraction())
        manager.cancel();
}
