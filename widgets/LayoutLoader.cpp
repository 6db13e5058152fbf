#include "LayoutLoader.h"

#include "AdvEdit.h"
#include "AdvGlassButton.h"
#include "AdvOfficeButtons.h"
#include "AdvPanel.h"
#include "AdvSmoothPanel.h"
#include "Colors.h"
#include "Component.h"
#include "EllipsLabel.h"
#include "Font.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QWidget>
#include <algorithm>

namespace {

QHash<QString, TLayoutLoader::Factory> &Registry()
{
    static QHash<QString, TLayoutLoader::Factory> r;
    return r;
}

// Keys of a control entry that are not property values.
const QString kName = QStringLiteral("name");
const QString kClass = QStringLiteral("class");
const QString kChildren = QStringLiteral("children");

struct PendingEvent {
    QObject *sender;
    QString event;
    QString handler;
    QString path; // of the value, for the failure report
};

struct LoadState {
    QWidget *root = nullptr;
    QList<QObject *> created;               // every component, in load order
    QHash<QWidget *, int> tabOrder;         // layout TabOrder per control
    QList<PendingEvent> events;
    const THandlerTable *handlers = nullptr;
    // Font values, held back until every control exists (see TLayoutLoader::Apply).
    struct PendingFont {
        QObject *font;
        QJsonObject values;
        QString path;
    };
    QList<PendingFont> fonts;
};

[[noreturn]] void Fail(const QString &where, const QString &what)
{
    throw ELayoutError(QStringLiteral("Layout: %1: %2").arg(where, what));
}

QString Where(const QObject *obj, const QString &path)
{
    // A settings object is reported by the control that owns it; the path leads to it.
    while (!path.isEmpty() && !obj->isWidgetType() && obj->parent())
        obj = obj->parent();
    const QString n = obj->objectName().isEmpty() ? QString::fromLatin1(obj->metaObject()->className())
                                                  : obj->objectName();
    return path.isEmpty() ? n : n + QLatin1Char('.') + path;
}

bool IsEventKey(const QString &key, const QJsonValue &v)
{
    return key.size() > 2 && key.startsWith(QLatin1String("On")) && key.at(2).isUpper() && v.isString();
}

// Where a value sits, for failure reports; only built when one is made.
using WhereFn = std::function<QString()>;

QVariant EnumValue(const QMetaProperty &prop, const QJsonValue &v, const WhereFn &where)
{
    const QMetaEnum e = prop.enumerator();
    if (v.isDouble())
        return QVariant(v.toInt());
    QByteArray keys;
    if (v.isArray()) {
        if (!e.isFlag())
            Fail(where(), QStringLiteral("a set given for a plain enumeration"));
        QStringList parts;
        for (const QJsonValue &p : v.toArray())
            parts << p.toString();
        if (parts.isEmpty())
            return QVariant(0);
        keys = parts.join(QLatin1Char('|')).toLatin1();
    } else if (v.isString()) {
        keys = v.toString().toLatin1();
    } else {
        Fail(where(), QStringLiteral("an enumeration value must be a name"));
    }
    bool ok = false;
    const int value = e.isFlag() ? e.keysToValue(keys.constData(), &ok) : e.keyToValue(keys.constData(), &ok);
    if (!ok)
        Fail(where(), QStringLiteral("unknown value \"%1\" of %2").arg(QString::fromLatin1(keys), QString::fromLatin1(e.name())));
    return QVariant(value);
}

void ApplyObject(QObject *obj, const QJsonObject &values, LoadState &st, const QString &path);

// Values the framework's controls have that Qt spells differently.
bool ApplyFrameworkValue(QObject *obj, const QString &key, const QJsonValue &v, LoadState &st)
{
    QWidget *w = qobject_cast<QWidget *>(obj);
    if (!w)
        return false;
    if (key == QLatin1String("Left")) { w->move(v.toInt(), w->y()); return true; }
    if (key == QLatin1String("Top")) { w->move(w->x(), v.toInt()); return true; }
    if (key == QLatin1String("Width")) { w->resize(v.toInt(), w->height()); return true; }
    if (key == QLatin1String("Height")) { w->resize(w->width(), v.toInt()); return true; }
    if (key == QLatin1String("TabOrder")) { st.tabOrder.insert(w, v.toInt()); return true; }
    if (key == QLatin1String("TabStop")) {
        w->setFocusPolicy(v.toBool() ? Qt::StrongFocus : Qt::ClickFocus);
        return true;
    }
    if (key == QLatin1String("Visible")) { w->setVisible(v.toBool()); return true; }
    if (key == QLatin1String("Enabled")) { w->setEnabled(v.toBool()); return true; }
    return false;
}

void ApplyValue(QObject *obj, const QString &key, const QJsonValue &v, LoadState &st, const QString &path)
{
    const auto valuePath = [&] { return path.isEmpty() ? key : path + QLatin1Char('.') + key; };
    const WhereFn where = [&] { return Where(obj, valuePath()); };
    if (IsEventKey(key, v)) {
        st.events.append({obj, key, v.toString(), valuePath()});
        return;
    }
    const QMetaObject *mo = obj->metaObject();
    const int idx = mo->indexOfProperty(key.toLatin1().constData());
    if (idx < 0) {
        if (path.isEmpty() && ApplyFrameworkValue(obj, key, v, st))
            return;
        if (TLayoutLoader::Ignores(*mo, key))
            return;
        Fail(where(), QStringLiteral("unknown property of %1").arg(QString::fromLatin1(mo->className())));
    }
    const QMetaProperty prop = mo->property(idx);
    const QMetaType type = prop.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        if (!v.isObject())
            Fail(where(), QStringLiteral("a settings object needs an object value"));
        QObject *sub = prop.read(obj).value<QObject *>();
        if (!sub)
            Fail(where(), QStringLiteral("settings object missing"));
        if (qobject_cast<TFont *>(sub)) {
            st.fonts.append({sub, v.toObject(), valuePath()});
            return;
        }
        ApplyObject(sub, v.toObject(), st, valuePath());
        return;
    }
    if (!prop.isWritable())
        Fail(where(), QStringLiteral("read-only property"));
    QVariant value;
    // TColor is an alias of quint32, so the meta-object sees "uint"; unsigned values in
    // layouts are colours, written as numbers or as identifiers such as "clBtnFace".
    if (type.id() == QMetaType::UInt) {
        TColor c = 0;
        if (v.isDouble())
            c = TColor(qint64(v.toDouble()));
        else if (!v.isString() || !IdentToColor(v.toString(), &c))
            Fail(where(), QStringLiteral("not a colour: %1").arg(v.toVariant().toString()));
        value = QVariant::fromValue<TColor>(c);
    } else if (prop.isEnumType()) {
        value = EnumValue(prop, v, where);
    } else {
        value = v.toVariant();
        if (!value.canConvert(type))
            Fail(where(), QStringLiteral("value of the wrong type"));
        value.convert(type);
    }
    if (!prop.write(obj, value))
        Fail(where(), QStringLiteral("value not accepted"));
}

// QJsonObject keeps its keys sorted, so values arrive in name order; setters therefore
// must not depend on the order of values while the layout is loading.
void ApplyObject(QObject *obj, const QJsonObject &values, LoadState &st, const QString &path)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (path.isEmpty() && (it.key() == kName || it.key() == kClass || it.key() == kChildren))
            continue;
        ApplyValue(obj, it.key(), it.value(), st, path);
    }
}

void LoadChildren(QWidget *parent, const QJsonArray &children, LoadState &st);

void LoadControl(QWidget *parent, const QJsonObject &description, LoadState &st)
{
    const QString cls = description.value(kClass).toString();
    const QString name = description.value(kName).toString();
    const auto factory = Registry().constFind(cls);
    if (factory == Registry().constEnd())
        Fail(name.isEmpty() ? cls : name, QStringLiteral("unknown class \"%1\"").arg(cls));
    QWidget *w = (*factory)(parent);
    w->setObjectName(name);
    if (auto *c = dynamic_cast<TComponent *>(w))
        c->BeginLoad();
    st.created.append(w);
    ApplyObject(w, description, st, QString());
    LoadChildren(w, description.value(kChildren).toArray(), st);
}

void LoadChildren(QWidget *parent, const QJsonArray &children, LoadState &st)
{
    for (const QJsonValue &c : children) {
        if (!c.isObject())
            Fail(Where(parent, QString()), QStringLiteral("a child must be an object"));
        LoadControl(parent, c.toObject(), st);
    }
}

void BindMembers(LoadState &st)
{
    const QMetaObject *mo = st.root->metaObject();
    for (QObject *obj : std::as_const(st.created)) {
        if (obj == st.root || obj->objectName().isEmpty())
            continue;
        const int idx = mo->indexOfProperty(obj->objectName().toLatin1().constData());
        if (idx < 0)
            continue;
        const QMetaProperty prop = mo->property(idx);
        const QMetaObject *target = prop.metaType().metaObject();
        if (!prop.metaType().flags().testFlag(QMetaType::PointerToQObject) || !target
            || !obj->metaObject()->inherits(target))
            Fail(obj->objectName(), QStringLiteral("member of another class in the window"));
        QVariant v(prop.metaType(), &obj);
        prop.write(st.root, v);
    }
}

void ApplyTabOrder(LoadState &st)
{
    QList<QWidget *> chain;
    std::function<void(QWidget *)> visit = [&](QWidget *parent) {
        QList<QWidget *> kids;
        for (QObject *o : parent->children())
            if (auto *w = qobject_cast<QWidget *>(o); w && st.created.contains(w))
                kids.append(w);
        std::stable_sort(kids.begin(), kids.end(), [&](QWidget *a, QWidget *b) {
            return st.tabOrder.value(a, INT_MAX) < st.tabOrder.value(b, INT_MAX);
        });
        // Every control joins the chain, tab stop or not: Tab from a control that got the
        // focus by a click goes on to the next tab stop after it in the layout's order.
        for (QWidget *w : kids) {
            chain.append(w);
            visit(w);
        }
    };
    visit(st.root);
    for (int i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

bool HasSignal(const QObject *obj, const QString &name)
{
    const QByteArray n = name.toLatin1();
    const QMetaObject *mo = obj->metaObject();
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Signal && m.name() == n)
            return true;
    }
    return false;
}

void ConnectEvents(LoadState &st)
{
    const QList<THandlerTable::Entry> &entries = st.handlers->Entries();
    for (const PendingEvent &e : std::as_const(st.events)) {
        const QByteArray event = e.event.toLatin1();
        const auto servesEvent = [&](const THandlerTable::Entry &h) { return h.eventOf(e.sender) == event; };
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const THandlerTable::Entry &h) { return h.handler == e.handler; });
        if (entry != entries.end() && servesEvent(*entry)) {
            if (!entry->bind(e.sender, st.root))
                Fail(Where(e.sender, e.path), QStringLiteral("cannot bind \"%1\"").arg(e.handler));
            continue;
        }
        if (!HasSignal(e.sender, e.event) && std::none_of(entries.begin(), entries.end(), servesEvent))
            Fail(Where(e.sender, e.path), QStringLiteral("unknown event"));
        if (entry == entries.end())
            Fail(Where(e.sender, e.path), QStringLiteral("unknown handler \"%1\"").arg(e.handler));
        Fail(Where(e.sender, e.path), QStringLiteral("handler \"%1\" does not fit the event").arg(e.handler));
    }
}

} // namespace

QStringList TLayoutLoader::IgnoredNames(const QMetaObject &mo)
{
    const int idx = mo.indexOfClassInfo(kIgnoredNamesKey);
    if (idx < 0)
        return {};
    return QString::fromLatin1(mo.classInfo(idx).value()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool TLayoutLoader::Ignores(const QMetaObject &mo, const QString &name)
{
    return IgnoredNames(mo).contains(name);
}

void TLayoutLoader::RegisterClass(const QString &className, Factory factory)
{
    Registry().insert(className, std::move(factory));
}

void TLayoutLoader::RegisterWidgetClasses()
{
    Register<TAdvEdit>("TAdvEdit");
    Register<TAdvOfficeCheckBox>("TAdvOfficeCheckBox");
    Register<TAdvGlassButton>("TAdvGlassButton");
    Register<TEllipsLabel>("TEllipsLabel");
    Register<TAdvPanel>("TAdvPanel");
    Register<TAdvSmoothPanel>("TAdvSmoothPanel");
}

void TLayoutLoader::Apply(QWidget *root, const QJsonObject &layout, const THandlerTable &handlers)
{
    RegisterWidgetClasses();
    LoadState st;
    st.root = root;
    st.handlers = &handlers;
    if (auto *c = dynamic_cast<TComponent *>(root))
        c->BeginLoad();
    st.created.append(root);
    ApplyObject(root, layout, st, QString());
    LoadChildren(root, layout.value(kChildren).toArray(), st);
    // Fonts last, in the layout's order: all else in the window is built before the
    // first font is made, which may have to wait for the font configuration to load.
    // Setters store while loading, so no value depends on a font set before it.
    for (const LoadState::PendingFont &f : std::as_const(st.fonts))
        ApplyObject(f.font, f.values, st, f.path);
    BindMembers(st);
    ApplyTabOrder(st);
    for (QObject *obj : std::as_const(st.created))
        if (auto *c = dynamic_cast<TComponent *>(obj))
            c->Loaded();
    ConnectEvents(st);
}

QJsonObject TLayoutLoader::Read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ELayoutError(QStringLiteral("Layout: cannot read %1").arg(path));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (doc.isNull() || !doc.isObject())
        throw ELayoutError(QStringLiteral("Layout: %1: %2 at offset %3").arg(path, err.errorString()).arg(err.offset));
    return doc.object();
}
