#pragma once
// What assistive technology (screen readers over AT-SPI) sees of the widget set: one small
// accessible interface per control class, made by one factory.
#include <QAccessibleWidget>
#include <QKeySequence>

#include <initializer_list>

class TNativeEdit;
class TCustomAdvOfficeCheckBox;
class TAdvCustomGlassButton;
class TEllipsLabel;
class TAdvSmoothPanel;

namespace Accessibility {

// Registers with Qt one factory for the widget set's interfaces and, after them, those
// `more` make for the program's own classes; call once after the application object
// exists and before any window is shown. Calling it again does nothing.
void InstallFactory(std::initializer_list<QAccessible::InterfaceFactory> more = {});

// `label` names `control` (labelled-by / label-for), e.g. the caption beside an edit.
// Each relation is kept on both widgets and goes with either.
void SetLabel(QWidget *control, QWidget *label);
// `controller` changes what `controlled` shows (controller-for / controlled-by).
void SetController(QWidget *controller, QWidget *controlled);

// A caption with its accelerator marks resolved: "&&" is "&", a single "&" is dropped.
QString StripAccelerator(const QString &caption);

// A key that clicks `control` from anywhere in its window, reported to assistive
// technology as the control's key binding when its caption has no accelerator. Kept on
// the control.
void SetShortcut(QWidget *control, const QKeySequence &key);

// Says `message` through the screen reader: sent as a change of the description of what
// has the keyboard focus (the focused control, or the focused item inside it), the one
// change of an object other than a window that Orca presents whatever the object's role.
// `context` stands in when the application has no focus widget. Nothing for an empty text.
void Announce(QWidget *context, const QString &message);
// The same for an accessible object without a widget of its own (an item of a list).
void Announce(QAccessibleInterface *source, const QString &message);

// Tells assistive technology, once the activation has settled, that `window` is active and
// where its focus is. Qt reports an activation only when the platform delivers one; without
// a window manager a window that gets the focus back may never hear of it.
void ReportFocusLater(QWidget *window);

// What the focus is on as assistive technology sees it: the focus widget's interface, or
// the focused item inside it. Null when nothing of the application has the focus.
QAccessibleInterface *FocusedInterface(QWidget *context);


} // namespace Accessibility

// The event Announce sends. Qt's own bridge would report a description change with the
// object in place of the text, which a screen reader cannot speak; the handler that
// Accessibility::InstallFactory installs sends this one over AT-SPI itself.
class TAccessibleAnnouncement : public QAccessibleEvent {
public:
    TAccessibleAnnouncement(QObject *object, const QString &message)
        : QAccessibleEvent(object, QAccessible::DescriptionChanged), m_message(message)
    {
    }
    TAccessibleAnnouncement(QAccessibleInterface *iface, const QString &message)
        : QAccessibleEvent(iface, QAccessible::DescriptionChanged), m_message(message)
    {
    }
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// Shared by all of the widget set's interfaces: the relations set above.
class TAccessibleControl : public QAccessibleWidget {
public:
    TAccessibleControl(QWidget *w, QAccessible::Role role, const QString &name = QString());
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override;
    QString text(QAccessible::Text t) const override;

protected:
    // The name when no accessible name was given to the widget.
    virtual QString DefaultName() const { return QString(); }
};

// The password edit: editable text shown in clear, with caret, selection and editing.
class TAccessibleEdit : public TAccessibleControl, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit TAccessibleEdit(TNativeEdit *edit);
    void *interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    using TAccessibleControl::text;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

protected:
    QString DefaultName() const override;

private:
    TNativeEdit *Edit() const;
    bool Writable() const;
};

// A control with one action that does what a click does (Toggle, Press), offered while the
// control is enabled, and the caption's accelerator as its key binding.
class TAccessibleClickable : public TAccessibleControl {
public:
    TAccessibleClickable(QWidget *w, QAccessible::Role role, const QString &action);
    QStringList actionNames() const override;
    void doAction(const QString &action) override;
    QStringList keyBindingsForAction(const QString &action) const override;

protected:
    QString DefaultName() const override;
    virtual QString Caption() const = 0;
    virtual void Click() = 0;

private:
    QString m_action;
};

class TAccessibleCheckBox : public TAccessibleClickable {
public:
    explicit TAccessibleCheckBox(TCustomAdvOfficeCheckBox *box);
    QAccessible::State state() const override;

protected:
    QString Caption() const override;
    void Click() override;

private:
    TCustomAdvOfficeCheckBox *Box() const;
};

class TAccessibleGlassButton : public TAccessibleClickable {
public:
    explicit TAccessibleGlassButton(TAdvCustomGlassButton *button);

protected:
    QString Caption() const override;
    void Click() override;

private:
    TAdvCustomGlassButton *Button() const;
};

class TAccessibleLabel : public TAccessibleControl {
public:
    explicit TAccessibleLabel(TEllipsLabel *label);

protected:
    QString DefaultName() const override;
};

class TAccessibleSmoothPanel : public TAccessibleControl {
public:
    explicit TAccessibleSmoothPanel(TAdvSmoothPanel *panel);

protected:
    QString DefaultName() const override;
};
