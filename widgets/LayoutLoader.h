#pragma once
// Builds a window from its layout document: a JSON tree of controls, each with its class,
// name, property values, nested settings objects and the names of the handlers bound to
// its events. Properties are written through Qt's meta-object system, so every layout
// value is a Q_PROPERTY of the control that owns it; anything unknown is an error.
#include "Exceptions.h"

#include <QJsonObject>
#include <QString>
#include <functional>

class QWidget;

class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

// Handlers bound by the loader run inside a guard: a failure escaping a handler never
// unwinds through Qt's event delivery; it is passed to this function instead (the
// application shows it) and counted, so a caller can tell that a handler failed.
using EventExceptionHandler = std::function<void(const std::exception &failure)>;
void SetEventExceptionHandler(EventExceptionHandler handler);
int EventFailureCount();

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
    // document order. Child pointers of the root named like a child are set; Loaded()
    // runs on every component once all values are in; events are connected last, so
    // no handler runs during the load. Throws ELayoutError.
    static void Apply(QWidget *root, const QJsonObject &layout);
    // Reads a layout document (e.g. from the resource ":/layout/Main.json").
    static QJsonObject Read(const QString &path);
};
