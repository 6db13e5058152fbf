#pragma once
// Builds a window from its layout document: a JSON tree of controls, each with its class,
// name, property values, nested settings objects and the names of the handlers bound to
// its events. Properties are written through Qt's meta-object system, so every layout
// value is a Q_PROPERTY of the control that owns it, or a design name its class lists
// as ignored (TLayoutLoader::IgnoredNames); anything else is an error.
#include "Exceptions.h"
#include "HandlerGuard.h"

#include <QJsonObject>
#include <QList>
#include <QMetaMethod>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

// One of the window's own events (created, asked to close). The window raises it itself
// and learns whether the bound handler succeeded, which a signal cannot tell it.
template <class... Args> class TEvent {
public:
    explicit TEvent(const char *name) : m_name(name) {}
    const char *Name() const { return m_name; }
    void Bind(std::function<void(Args...)> handler) { m_handler = std::move(handler); }
    // True when no handler is bound or the bound one returned normally.
    bool operator()(Args... args) const
    {
        return !m_handler || RunHandler([&] { m_handler(std::forward<Args>(args)...); });
    }

private:
    const char *m_name;
    std::function<void(Args...)> m_handler;
};

// The handlers a window offers its layout: each handler's name with the one event it
// serves and the window's member that handles it. The argument lists are checked by the
// compiler; the loader binds a name only to its own event on a control of its class.
class THandlerTable {
public:
    // A control's signal.
    template <class Control, class Window, class... Args>
    THandlerTable &Add(const char *handler, void (Control::*event)(Args...), void (Window::*member)(Args...))
    {
        const QByteArray name = QMetaMethod::fromSignal(event).name();
        m_entries.append({QString::fromLatin1(handler),
                          [name](QObject *sender) { return qobject_cast<Control *>(sender) ? name : QByteArray(); },
                          [event, member](QObject *sender, QObject *root) {
                              auto *window = qobject_cast<Window *>(root);
                              // Direct: handlers take some arguments by reference and may change them.
                              return window
                                  && QObject::connect(
                                      static_cast<Control *>(sender), event, window,
                                      [window, member](Args... args) {
                                          RunHandler([&] { (window->*member)(std::forward<Args>(args)...); });
                                      },
                                      Qt::DirectConnection);
                          }});
        return *this;
    }
    // One of the window's own events.
    template <class Window, class... Args>
    THandlerTable &Add(const char *handler, TEvent<Args...> Window::*event, void (Window::*member)(Args...))
    {
        m_entries.append({QString::fromLatin1(handler),
                          [event](QObject *sender) {
                              auto *window = qobject_cast<Window *>(sender);
                              return window ? QByteArray((window->*event).Name()) : QByteArray();
                          },
                          [event, member](QObject *, QObject *root) {
                              auto *window = qobject_cast<Window *>(root);
                              if (window)
                                  (window->*event).Bind([window, member](Args... args) {
                                      (window->*member)(std::forward<Args>(args)...);
                                  });
                              return window != nullptr;
                          }});
        return *this;
    }

    struct Entry {
        QString handler;
        // The name of the handler's event on `sender`, empty when it is not of the event's class.
        std::function<QByteArray(QObject *sender)> eventOf;
        // False when `root` is not of the window class the handler belongs to.
        std::function<bool(QObject *sender, QObject *root)> bind;
    };
    const QList<Entry> &Entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};

class TLayoutLoader {
public:
    using Factory = std::function<QWidget *(QWidget *parent)>;

    static void RegisterClass(const QString &className, Factory factory);
    template <class T> static void Register(const char *className)
    {
        RegisterClass(QString::fromLatin1(className), [](QWidget *p) { return new T(p); });
    }
    // The widget set's own classes; called by Apply, safe to call again.
    static void RegisterWidgetClasses();

    // Applies `layout` to `root`: the root's values, then its children, created in
    // document order; font values come last, in the same order, once every control
    // exists (the first font may wait for the font configuration). Child pointers of the root named like a child are set; Loaded()
    // runs on every component once all values are in; events are bound last, to the
    // root's handlers in `handlers`, so no handler runs during the load. Throws ELayoutError.
    static void Apply(QWidget *root, const QJsonObject &layout, const THandlerTable &handlers = {});
    // Reads a layout document (e.g. from the resource ":/layout/Main.json").
    static QJsonObject Read(const QString &path);

    // The design names a class (or the nearest base that says) lets a layout carry and
    // leaves alone, whatever their value: the blank-separated list in its class info
    // under this key. A name neither a property, nor a framework value, nor listed fails.
    static constexpr const char *kIgnoredNamesKey = "IgnoredDesignNames";
    static QStringList IgnoredNames(const QMetaObject &mo);
    static bool Ignores(const QMetaObject &mo, const QString &name);
};
