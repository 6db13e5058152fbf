#include "Main.h"

#include "Accessible.h"
#include "Application.h"
#include "Clipboard.h"
#include "DictationView.h"
#include "Icon.h"
#include "LayoutLoader.h"
#include "MaximiseRefusal.h"
#include "OptionTable.h"
#include "Settings.h"
#include "WindowPlacement.h"
#include "Wipe.h"
#include "X11Frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QWindow>

#include <functional>
#include <utility>

namespace {

// What a change of the password put in: the part of `now` between what it shares with
// `before` at either end. Empty for an erased password (nothing new to hear) or no change.
QString InsertedText(const QString &before, const QString &now)
{
    if (now.isEmpty() || now == before)
        return QString();
    qsizetype head = 0;
    while (head < before.size() && head < now.size() && before.at(head) == now.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < now.size() - head
           && before.at(before.size() - 1 - tail) == now.at(now.size() - 1 - tail))
        ++tail;
    return now.mid(head, now.size() - head - tail);
}
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
    for (const TOptionRow &row : kOptionRows) {
        auto *box = findChild<TAdvOfficeCheckBox *>(QLatin1String(row.controlName));
        // The layout is built in: a box it lacks is a fault of this build, not of the user's.
        if (!box)
            qFatal("The layout has no check box %s", row.controlName);
        m_optionBoxes.append(box);
    }
    connect(&m_reading, &TReadingModel::Changed, this, &TfmKanavox::ShowReading);
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
    ConnectAssistiveTechnology();
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
    if (m_borderStyle != bsSizeable) {
        setFixedSize(m_clientWidth, m_clientHeight);
        setBaseSize(m_clientWidth, m_clientHeight);
        new TMaximiseRefusal(this);
    }
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
    for (qsizetype i = 0; i < m_optionBoxes.size(); ++i)
        m_optionBoxes.at(i)->SetChecked(s.Options.*kOptionRows[i].member);
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
    // A disabled box counts as it stands.
    for (qsizetype i = 0; i < m_optionBoxes.size(); ++i)
        o.*kOptionRows[i].member = m_optionBoxes.at(i)->GetChecked();
    return o;
}

void TfmKanavox::RefreshReading()
{
    // An option click with nothing to read keeps the copy status, as nothing it reported
    // has changed.
    if (!edtPass->Text().isEmpty() || !lblEGkekka->Caption().isEmpty())
        lblCopyKekka->SetCaption(QString());
    m_reading.Set(edtPass->Text(), ReadOptionsFromWindow());
}

void TfmKanavox::ShowReading()
{
    // The empty password has the empty reading: a former password's reading left on show
    // would be copied beside the empty one. The reading spells the password out: the one
    // it replaces is wiped, once the label has let go of it.
    QString previous = lblEGkekka->Caption();
    lblEGkekka->SetCaption(m_reading.Reading());
    // The edit's description holds the reading too: it lets go of the old one first.
    ShowReadingToAssistiveTechnology();
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
        m_dictation = new TDictationView(&m_reading, this);
    m_dictation->show();
    m_dictation->raise();
    m_dictation->activateWindow();
}

// --- assistive technology --------------------------------------------------------------

namespace {
const QString kOptionOn = QStringLiteral("オン");
const QString kOptionOff = QStringLiteral("オフ");
const QString kOptionAvailable = QStringLiteral("使用可");
const QString kOptionUnavailable = QStringLiteral("使用不可");
const QString kPartSeparator = QStringLiteral("。");

// Tells the window when assistive technology comes or goes.
class TActivationObserver : public QAccessible::ActivationObserver {
public:
    explicit TActivationObserver(std::function<void(bool)> changed) : m_changed(std::move(changed)) {}
    void accessibilityActiveChanged(bool active) override { m_changed(active); }

private:
    std::function<void(bool)> m_changed;
};
} // namespace

QKeySequence TfmKanavox::OptionShortcut(int index)
{
    return QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + index));
}

QList<TAdvOfficeCheckBox *> TfmKanavox::OptionBoxes() const
{
    return m_optionBoxes;
}

void TfmKanavox::ConnectAssistiveTechnology()
{
    // Connected after the layout's handlers, so each runs once the handler has done its work.
    connect(edtPass, &TAdvEdit::OnKeyPress, this, [this](QObject *, QChar &Key) { m_typedKey = Key; });
    // After the label, and before a dictation view opened later: a change is heard as it
    // shows. An option's change has nothing new in the password and says nothing here.
    connect(&m_reading, &TReadingModel::Changed, this, &TfmKanavox::SpeakPasswordChange);
    // A key is forgotten with its change, also one that left the text as it was.
    connect(edtPass, &TAdvEdit::OnChange, this, [this] { m_typedKey = QChar(); });
    connect(btnCopy, &TAdvGlassButton::OnClick, this, &TfmKanavox::SpeakCopyResult);
    const QList<TAdvOfficeCheckBox *> boxes = OptionBoxes();
    for (int i = 0; i < boxes.size(); ++i) {
        TAdvOfficeCheckBox *box = boxes.at(i);
        connect(box, &TAdvOfficeCheckBox::OnClick, this, &TfmKanavox::SpeakOptionClick);
        // The same as a click; a disabled box cannot be clicked.
        connect(new QShortcut(OptionShortcut(i), this), &QShortcut::activated, box, [box] {
            if (box->isEnabled() && box->isVisible())
                box->UserClick();
        });
        Accessibility::SetShortcut(box, OptionShortcut(i));
        m_heardEnabled.append(box->isEnabled());
        m_designedTabStops.append(box->TabStop());
    }
    m_heardPassword = m_reading.Password();
    ShowReadingToAssistiveTechnology();
    // Each window has its own observer, removed with it.
    // The bridge comes up a moment after the window may have been shown and focused; a
    // screen reader that was already running would hear nothing of it until the next move.
    auto *observer = new TActivationObserver([this](bool active) {
        ApplyAssistiveTabStops(active);
        if (active)
            Accessibility::ReportFocusLater(this);
    });
    QAccessible::installActivationObserver(observer);
    connect(this, &QObject::destroyed, [observer] {
        QAccessible::removeActivationObserver(observer);
        delete observer;
    });
    ApplyAssistiveTabStops(QAccessible::isActive());
}

void TfmKanavox::ApplyAssistiveTabStops(bool active)
{
    // A screen reader's user moves by Tab: the options join the tab stops, in the order they
    // stand in, for as long as assistive technology is active. Others tab as designed.
    const QList<TAdvOfficeCheckBox *> boxes = OptionBoxes();
    for (int i = 0; i < boxes.size(); ++i)
        boxes.at(i)->SetTabStop(active || m_designedTabStops.at(i));
}

void TfmKanavox::ShowReadingToAssistiveTechnology()
{
    // The reading on display is the edit's description: a screen reader says it with the
    // edit, and again on request ("where am I").
    const QString reading = lblEGkekka->Caption();
    if (edtPass->accessibleDescription() != reading)
        edtPass->setAccessibleDescription(reading);
}

void TfmKanavox::SpeakPasswordChange()
{
    // The copy kept to compare with shares the edit's buffer, so the edit cannot wipe the
    // text it lets go of: that text is wiped here, with the piece cut out of it.
    QString before = std::exchange(m_heardPassword, m_reading.Password());
    const QChar typed = std::exchange(m_typedKey, QChar());
    QString inserted = InsertedText(before, m_heardPassword);
    WipeString(before);
    // What went is said by the screen reader's own echo of the deleting key.
    if (inserted.isEmpty())
        return;
    // One typed character: its own piece of the reading, so a user hears each key's reading
    // without the whole reading growing with every key. A paste gets the whole reading.
    if (inserted.size() == 1 && inserted.at(0) == typed && !typed.isNull()) {
        QString piece = ComposeFullReading(inserted, m_reading.Options());
        Accessibility::Announce(this, piece);
        WipeString(piece);
    } else {
        Accessibility::Announce(this, lblEGkekka->Caption());
    }
    WipeString(inserted);
}

void TfmKanavox::SpeakOptionClick(QObject *Sender)
{
    QStringList parts;
    const QList<TAdvOfficeCheckBox *> boxes = OptionBoxes();
    for (int i = 0; i < boxes.size(); ++i) {
        TAdvOfficeCheckBox *box = boxes.at(i);
        const QString name = Accessibility::StripAccelerator(box->Caption());
        if (box == Sender)
            parts.prepend(name + QLatin1Char(' ') + (box->GetChecked() ? kOptionOn : kOptionOff));
        if (box->isEnabled() != m_heardEnabled.at(i)) {
            m_heardEnabled[i] = box->isEnabled();
            parts.append(name + QLatin1Char(' ') + (box->isEnabled() ? kOptionAvailable : kOptionUnavailable));
        }
    }
    ShowReadingToAssistiveTechnology();
    // With an empty password the reading did not change.
    if (!m_reading.Password().isEmpty())
        parts.append(lblEGkekka->Caption());
    // It ends with the reading: wiped like the reading itself.
    QString message = parts.join(kPartSeparator);
    Accessibility::Announce(this, message);
    WipeString(message);
}

void TfmKanavox::SpeakCopyResult()
{
    Accessibility::Announce(this, lblCopyKekka->Caption());
}

bool TfmKanavox::event(QEvent *e)
{
    // Back from another window, with or without a window manager: the screen reader is told
    // where the focus is again, or it stays with the window that went.
    if (e->type() == QEvent::WindowActivate)
        Accessibility::ReportFocusLater(this);
    return QWidget::event(e);
}

// --- closing ----------------------------------------------------------------------------

void TfmKanavox::FormCloseQuery(QObject *, bool &CanClose)
{
    TKanavoxSettings s;
    const QPoint place = OuterTopLeft();
    s.MainTop = place.y();
    s.MainLeft = place.x();
    s.HasPosition = PlatformReportsWindowPosition();
    s.Options = ReadOptionsFromWindow();
    SaveSettings(s);
    CanClose = true;
}

QPoint TfmKanavox::OuterTopLeft() const
{
    // Qt's own answer rounds the client's place and the frame's width to our pixels one by
    // one (at scale 1.5 the sum may gain one), and trusts the frame extents as reported.
    const QWindow *window = windowHandle();
    const std::optional<TX11Frame> frame = ReadX11Frame(window);
    if (!frame)
        return pos();
    const QScreen *screen = window->screen();
    return FrameTopLeft(frame->clientTopLeft,
                        FrameExtentsInXPixels(frame->reported, frame->enclosing),
                        window->devicePixelRatio(), screen ? screen->geometry().topLeft() : QPoint());
}

bool TfmKanavox::CloseQuery()
{
    bool canClose = true;
    // A failing handler abandons the close, as if it had said no.
    return OnCloseQuery(this, canClose) && canClose;
}

void TfmKanavox::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Qt scales its size increment of one pixel to the screen (2 at scale 1.5) and an unset
    // base size to -2: a window manager that honours increments then makes 664.5 pixels
    // 664 or 666, whatever the minimum and maximum say. Counted from the fixed size itself,
    // every size hint agrees. Qt leaves the widget's base size off the native window it
    // creates, so it is given here, before the window is mapped. Only X11 has such hints.
    QWindow *window = windowHandle();
    if (window && QGuiApplication::platformName() == QLatin1String("xcb") && minimumSize() == maximumSize() &&
        window->baseSize() != minimumSize())
        window->setBaseSize(minimumSize());
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
