#include "Accessible.h"

#include "Accelerator.h"
#include "AdvGlassButton.h"
#include "AdvOfficeButtons.h"
#include "AdvPanel.h"
#include "AdvSmoothPanel.h"
#include "EllipsLabel.h"
#include "NativeEdit.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>

namespace {

// Relations and shortcuts are kept on the widgets themselves, as dynamic properties: what
// a widget is labelled or controlled by, and what it labels or controls, each a list of
// the other widgets that forgets one when it goes.
using TWidgetRefs = QList<QPointer<QWidget>>;
constexpr char kLabels[] = "kanavoxAccessibleLabels";           // labelled by these
constexpr char kLabelFor[] = "kanavoxAccessibleLabelFor";       // the label of these
constexpr char kControllers[] = "kanavoxAccessibleControllers"; // controlled by these
constexpr char kControls[] = "kanavoxAccessibleControls";       // the controller of these
constexpr char kShortcut[] = "kanavoxAccessibleShortcut";

TWidgetRefs Refs(const QWidget *w, const char *name)
{
    return w->property(name).value<TWidgetRefs>();
}

void AddRef(QWidget *w, const char *name, QWidget *other)
{
    TWidgetRefs refs = Refs(w, name);
    refs.removeIf([](const QPointer<QWidget> &p) { return !p; });
    if (refs.contains(other))
        return;
    refs.append(other);
    w->setProperty(name, QVariant::fromValue(refs));
}

// The program's own makers, set once with the factory.
QList<QAccessible::InterfaceFactory> &MoreMakers()
{
    static QList<QAccessible::InterfaceFactory> makers;
    return makers;
}

QAccessibleInterface *WidgetSetInterface(const QString &key, QObject *object)
{
    // Keys arrive from the most derived class upwards; the first match wins.
    if (key == QLatin1String("TNativeEdit"))
        return new TAccessibleEdit(static_cast<TNativeEdit *>(object));
    if (key == QLatin1String("TCustomAdvOfficeCheckBox"))
        return new TAccessibleCheckBox(static_cast<TCustomAdvOfficeCheckBox *>(object));
    if (key == QLatin1String("TAdvCustomGlassButton"))
        return new TAccessibleGlassButton(static_cast<TAdvCustomGlassButton *>(object));
    if (key == QLatin1String("TEllipsLabel"))
        return new TAccessibleLabel(static_cast<TEllipsLabel *>(object));
    if (key == QLatin1String("TAdvSmoothPanel"))
        return new TAccessibleSmoothPanel(static_cast<TAdvSmoothPanel *>(object));
    if (key == QLatin1String("TCustomAdvPanel"))
        return new TAccessibleControl(static_cast<QWidget *>(object), QAccessible::Pane);
    return nullptr;
}

QAccessibleInterface *Factory(const QString &key, QObject *object)
{
    if (QAccessibleInterface *iface = WidgetSetInterface(key, object))
        return iface;
    for (QAccessible::InterfaceFactory make : std::as_const(MoreMakers()))
        if (QAccessibleInterface *iface = make(key, object))
            return iface;
    return nullptr;
}

QString MnemonicText(const QString &caption)
{
    return QKeySequence::mnemonic(caption).toString(QKeySequence::NativeText);
}

QKeySequence ShortcutOf(const QWidget *control)
{
    return control->property(kShortcut).value<QKeySequence>();
}

// The connection Qt's AT-SPI bridge registered our objects on; a signal must come from it
// to be taken as the application's.
QDBusConnection BridgeConnection() { return QDBusConnection(QStringLiteral("a11y")); }

// An object's path as Qt's bridge publishes it.
QString BridgePath(QAccessibleInterface *iface)
{
    if (iface->role() == QAccessible::Application)
        return QStringLiteral("/org/a11y/atspi/accessible/root");
    return QStringLiteral("/org/a11y/atspi/accessible/") + QString::number(QAccessible::uniqueId(iface));
}

// object:property-change:accessible-description with `value` as its data. A text is what
// the screen reader speaks and caches as the description; anything else only tells it
// that its cached description is stale, so it asks again the next time and says nothing.
void SendDescriptionChange(const QDBusConnection &bus, QAccessibleInterface *iface, const QVariant &value)
{
    QDBusMessage m = QDBusMessage::createSignal(BridgePath(iface), QStringLiteral("org.a11y.atspi.Event.Object"),
                                                QStringLiteral("PropertyChange"));
    m << QStringLiteral("accessible-description") << 0 << 0 << QVariant::fromValue(QDBusVariant(value))
      << QVariant::fromValue(QVariantMap());
    bus.send(m);
}

void UpdateHandler(QAccessibleEvent *e);

// Every event but a description change goes on to Qt's bridge as it would without us.
void ForwardToBridge(QAccessibleEvent *e)
{
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(e);
    QAccessible::installUpdateHandler(UpdateHandler);
}

void UpdateHandler(QAccessibleEvent *e)
{
    const QDBusConnection bus = BridgeConnection();
    QAccessibleInterface *iface = e->type() == QAccessible::DescriptionChanged ? e->accessibleInterface() : nullptr;
    if (!iface || !iface->isValid() || !bus.isConnected()) {
        ForwardToBridge(e);
        return;
    }
    if (const auto *announcement = dynamic_cast<const TAccessibleAnnouncement *>(e))
        SendDescriptionChange(bus, iface, announcement->Message());
    // The description a reader asks for afterwards is the object's own again.
    SendDescriptionChange(bus, iface, 0);
}

} // namespace

namespace Accessibility {

void InstallFactory(std::initializer_list<QAccessible::InterfaceFactory> more)
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    MoreMakers() = more;
    QAccessible::installFactory(Factory);
    QAccessible::installUpdateHandler(UpdateHandler);
}

void SetLabel(QWidget *control, QWidget *label)
{
    AddRef(control, kLabels, label);
    AddRef(label, kLabelFor, control);
}

void SetController(QWidget *controller, QWidget *controlled)
{
    AddRef(controlled, kControllers, controller);
    AddRef(controller, kControls, controlled);
}

QString StripAccelerator(const QString &caption) { return ParseAccelerators(caption).text; }

void SetShortcut(QWidget *control, const QKeySequence &key)
{
    control->setProperty(kShortcut, QVariant::fromValue(key));
}

QAccessibleInterface *FocusedInterface(QWidget *context)
{
    QWidget *focus = QApplication::focusWidget();
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(focus ? focus : context);
    // Down to the focused item inside the widget, as a list reports its current item.
    for (int depth = 0; iface && depth < 8; ++depth) {
        QAccessibleInterface *inner = iface->focusChild();
        if (!inner || inner == iface)
            break;
        iface = inner;
    }
    return iface;
}

void ReportFocusLater(QWidget *window)
{
    QTimer::singleShot(0, window, [window] {
        if (!window->isActiveWindow() || !QAccessible::isActive())
            return;
        QAccessible::State active;
        active.active = true;
        QAccessibleStateChangeEvent activation(window, active);
        QAccessible::updateAccessibility(&activation);
        if (QAccessibleInterface *focus = FocusedInterface(window)) {
            QAccessibleEvent e(focus, QAccessible::Focus);
            QAccessible::updateAccessibility(&e);
        }
    });
}

void Announce(QWidget *context, const QString &message)
{
    if (message.isEmpty())
        return;
    Announce(FocusedInterface(context), message);
}

void Announce(QAccessibleInterface *source, const QString &message)
{
    if (!source || message.isEmpty())
        return;
    TAccessibleAnnouncement e(source, message);
    QAccessible::updateAccessibility(&e);
}

} // namespace Accessibility

// --- common -------------------------------------------------------------------------------

TAccessibleControl::TAccessibleControl(QWidget *w, QAccessible::Role role, const QString &name)
    : QAccessibleWidget(w, role, name)
{
}

QString TAccessibleControl::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString given = widget()->accessibleName();
        return given.isEmpty() ? DefaultName() : given;
    }
    return QAccessibleWidget::text(t);
}

QList<QPair<QAccessibleInterface *, QAccessible::Relation>> TAccessibleControl::relations(QAccessible::Relation match) const
{
    auto rels = QAccessibleWidget::relations(match);
    QWidget *self = widget();
    auto add = [&rels, match](QWidget *other, QAccessible::Relation r) {
        if (!(match & r) || !other)
            return;
        if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(other))
            rels.append({iface, r});
    };
    // Qt's relation names the role of the other object: Label means "the other is my label".
    const std::pair<const char *, QAccessible::Relation> kept[] = {
        {kLabels, QAccessible::Label},
        {kLabelFor, QAccessible::Labelled},
        {kControllers, QAccessible::Controller},
        {kControls, QAccessible::Controlled},
    };
    for (const auto &[property, relation] : kept)
        for (const QPointer<QWidget> &other : Refs(self, property))
            add(other, relation);
    return rels;
}

// --- edit ---------------------------------------------------------------------------------

TAccessibleEdit::TAccessibleEdit(TNativeEdit *edit) : TAccessibleControl(edit, QAccessible::EditableText) {}

TNativeEdit *TAccessibleEdit::Edit() const { return static_cast<TNativeEdit *>(widget()); }

bool TAccessibleEdit::Writable() const { return Edit()->isEnabled() && !Edit()->ReadOnly(); }

void *TAccessibleEdit::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return TAccessibleControl::interface_cast(t);
}

QAccessible::State TAccessibleEdit::state() const
{
    QAccessible::State s = TAccessibleControl::state();
    s.editable = !Edit()->ReadOnly();
    s.readOnly = Edit()->ReadOnly();
    s.selectableText = true;
    return s;
}

QString TAccessibleEdit::DefaultName() const
{
    // Named by its label, as a line edit is named by the label whose buddy it is.
    const auto labels = relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

void TAccessibleEdit::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Edit()->HasSelection())
        return;
    *startOffset = Edit()->SelStart();
    *endOffset = Edit()->SelStart() + Edit()->SelLength();
}

int TAccessibleEdit::selectionCount() const { return Edit()->HasSelection() ? 1 : 0; }

void TAccessibleEdit::addSelection(int startOffset, int endOffset)
{
    // One selection only: a new one replaces it.
    setSelection(0, startOffset, endOffset);
}

void TAccessibleEdit::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        Edit()->SetSelection(Edit()->CursorPosition(), 0);
}

void TAccessibleEdit::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    Edit()->SetSelection(startOffset, endOffset - startOffset);
}

int TAccessibleEdit::cursorPosition() const { return Edit()->CursorPosition(); }

void TAccessibleEdit::setCursorPosition(int position) { Edit()->SetSelection(position, 0); }

QString TAccessibleEdit::text(int startOffset, int endOffset) const
{
    const QString t = Edit()->NativeText();
    startOffset = qBound(0, startOffset, int(t.size()));
    endOffset = endOffset < 0 ? int(t.size()) : qBound(startOffset, endOffset, int(t.size()));
    return t.mid(startOffset, endOffset - startOffset);
}

int TAccessibleEdit::characterCount() const { return int(Edit()->NativeText().size()); }

QRect TAccessibleEdit::characterRect(int offset) const
{
    const QRect r = Edit()->CharacterRect(offset);
    return r.isValid() ? QRect(Edit()->mapToGlobal(r.topLeft()), r.size()) : QRect();
}

int TAccessibleEdit::offsetAtPoint(const QPoint &point) const
{
    return Edit()->CharacterAt(Edit()->mapFromGlobal(point));
}

void TAccessibleEdit::scrollToSubstring(int startIndex, int endIndex)
{
    // The edit shows the caret's surroundings: put the caret at each end in turn.
    Edit()->SetSelection(endIndex, 0);
    Edit()->SetSelection(startIndex, 0);
}

QString TAccessibleEdit::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One font and colour for the whole text: a single run without attributes.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void TAccessibleEdit::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void TAccessibleEdit::insertText(int offset, const QString &text) { replaceText(offset, offset, text); }

void TAccessibleEdit::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (!Writable())
        return;
    TNativeEdit *e = Edit();
    e->SetSelection(startOffset, endOffset - startOffset);
    if (text.isEmpty())
        e->ClearSelection();
    else
        e->InsertText(text);
}

// --- check box and glass button ------------------------------------------------------------

TAccessibleClickable::TAccessibleClickable(QWidget *w, QAccessible::Role role, const QString &action)
    : TAccessibleControl(w, role), m_action(action)
{
}

QString TAccessibleClickable::DefaultName() const { return Accessibility::StripAccelerator(Caption()); }

QStringList TAccessibleClickable::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << m_action;
    return names + TAccessibleControl::actionNames();
}

void TAccessibleClickable::doAction(const QString &action)
{
    if (action == m_action) {
        if (widget()->isEnabled())
            Click();
        return;
    }
    TAccessibleControl::doAction(action);
}

QStringList TAccessibleClickable::keyBindingsForAction(const QString &action) const
{
    if (action == m_action) {
        QString key = MnemonicText(Caption());
        if (key.isEmpty())
            key = ShortcutOf(widget()).toString(QKeySequence::NativeText);
        return key.isEmpty() ? QStringList() : QStringList(key);
    }
    return TAccessibleControl::keyBindingsForAction(action);
}

TAccessibleCheckBox::TAccessibleCheckBox(TCustomAdvOfficeCheckBox *box)
    : TAccessibleClickable(box, QAccessible::CheckBox, QAccessibleActionInterface::toggleAction())
{
}

TCustomAdvOfficeCheckBox *TAccessibleCheckBox::Box() const { return static_cast<TCustomAdvOfficeCheckBox *>(widget()); }

QString TAccessibleCheckBox::Caption() const { return Box()->Caption(); }

// The same toggle-then-OnClick pair a mouse click, Space or the accelerator runs.
void TAccessibleCheckBox::Click() { Box()->UserClick(); }

QAccessible::State TAccessibleCheckBox::state() const
{
    QAccessible::State s = TAccessibleClickable::state();
    s.checkable = true;
    s.checked = Box()->GetState() == TCustomAdvOfficeCheckBox::cbChecked;
    s.checkStateMixed = Box()->GetState() == TCustomAdvOfficeCheckBox::cbGrayed;
    s.readOnly = Box()->ReadOnly();
    return s;
}

TAccessibleGlassButton::TAccessibleGlassButton(TAdvCustomGlassButton *button)
    : TAccessibleClickable(button, QAccessible::PushButton, QAccessibleActionInterface::pressAction())
{
}

TAdvCustomGlassButton *TAccessibleGlassButton::Button() const { return static_cast<TAdvCustomGlassButton *>(widget()); }

QString TAccessibleGlassButton::Caption() const { return Button()->Caption(); }

void TAccessibleGlassButton::Click() { Button()->Click(); }

// --- label and panels ---------------------------------------------------------------------

TAccessibleLabel::TAccessibleLabel(TEllipsLabel *label) : TAccessibleControl(label, QAccessible::StaticText) {}

QString TAccessibleLabel::DefaultName() const { return static_cast<TEllipsLabel *>(widget())->ShownCaption(); }

TAccessibleSmoothPanel::TAccessibleSmoothPanel(TAdvSmoothPanel *panel) : TAccessibleControl(panel, QAccessible::Grouping) {}

QString TAccessibleSmoothPanel::DefaultName() const
{
    return static_cast<TAdvSmoothPanel *>(widget())->Caption()->Text();
}
