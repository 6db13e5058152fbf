// The layout loader: values reach the right properties, handlers are bound by name
// (with by-reference arguments intact), and every unknown name stops the start.
#include "AdvEdit.h"
#include "AdvGlassButton.h"
#include "AdvOfficeButtons.h"
#include "AdvPanel.h"
#include "AdvSmoothPanel.h"
#include "EllipsLabel.h"
#include "GDIPFill.h"
#include "Application.h"
#include "Component.h"
#include "Exceptions.h"
#include "Font.h"
#include "LayoutLoader.h"
#include "Main.h"
#include "MessageBox.h"
#include "TestSeams.h"

#include <QIcon>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QSet>
#include <QTest>

#include <iterator>

// A small window with the same binding needs as the main window.
class TTestForm : public QWidget, public TComponent {
    Q_OBJECT
    Q_PROPERTY(TAdvEdit *edt MEMBER edt)
    Q_PROPERTY(TAdvOfficeCheckBox *chk MEMBER chk)
    Q_PROPERTY(int Marker MEMBER marker)
    Q_PROPERTY(TFont *Font READ Font)
public:
    TFont *Font() const { return font; }
    TFont *font = new TFont(this);
    TAdvEdit *edt = nullptr;
    TAdvOfficeCheckBox *chk = nullptr;
    int marker = 0;
    QStringList calls;
    bool throwOnClick = false;

    TEvent<QObject *> OnCreate{"OnCreate"};

    static const THandlerTable &Handlers()
    {
        static const THandlerTable table = THandlerTable()
            .Add("FormCreate", &TTestForm::OnCreate, &TTestForm::FormCreate)
            .Add("edtKeyPress", &TAdvEdit::OnKeyPress, &TTestForm::edtKeyPress)
            .Add("edtChange", &TAdvEdit::OnChange, &TTestForm::edtChange)
            .Add("chkClick", &TAdvOfficeCheckBox::OnClick, &TTestForm::chkClick)
            .Add("wrongShape", &TAdvEdit::OnKeyPress, &TTestForm::wrongShape);
        return table;
    }

    void FormCreate(QObject *)
    {
        calls << QStringLiteral("create");
        if (throwOnClick)
            throw Exception(QStringLiteral("壊れました"));
    }
    void edtKeyPress(QObject *, QChar &Key)
    {
        calls << QStringLiteral("press %1").arg(Key.unicode());
        if (Key == QLatin1Char('x'))
            Key = QChar(0);
    }
    void edtChange(QObject *) { calls << QStringLiteral("change %1").arg(edt->Text()); }
    void chkClick(QObject *)
    {
        calls << QStringLiteral("click");
        if (throwOnClick)
            throw Exception(QStringLiteral("壊れました"));
    }
    // A key press handler, named on another event.
    void wrongShape(QObject *, QChar &) {}
};

namespace {

QJsonObject Doc(const char *json)
{
    QJsonParseError err{};
    const QJsonDocument d = QJsonDocument::fromJson(QByteArray(json), &err);
    if (d.isNull())
        qFatal("bad test json: %s", qPrintable(err.errorString()));
    return d.object();
}

const char *kGood = R"({
  "Marker": 7, "OnCreate": "FormCreate",
  "children": [
    {"name": "edt", "class": "TAdvEdit", "Left": 3, "Top": 4, "Width": 100, "Height": 24, "TabOrder": 1,
     "Text": "from layout", "OnKeyPress": "edtKeyPress", "OnChange": "edtChange"},
    {"name": "chk", "class": "TAdvOfficeCheckBox", "Left": 3, "Top": 40, "Width": 100, "Height": 20,
     "Caption": "c", "Checked": true, "Version": "9.9.9.9", "OnClick": "chkClick"}
  ]
})";

// Every property of `o` (dynamic ones too) and of the settings objects it owns, by path:
// two objects with equal lists hold the same state.
QList<QPair<QString, QVariant>> Snapshot(const QObject *o, const QString &prefix = QString())
{
    QList<QPair<QString, QVariant>> out;
    const QMetaObject *mo = o->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const QString path = prefix + QString::fromLatin1(p.name());
        const QVariant v = p.read(o);
        if (v.metaType().flags().testFlag(QMetaType::PointerToQObject) && v.value<QObject *>())
            out << Snapshot(v.value<QObject *>(), path + QLatin1Char('.'));
        else if (v.metaType() == QMetaType::fromType<QIcon>()) // no ==: the same icon keeps its key
            out.append({path, v.value<QIcon>().cacheKey()});
        else
            out.append({path, v});
    }
    for (const QByteArray &name : o->dynamicPropertyNames())
        out.append({prefix + QString::fromLatin1(name), o->property(name)});
    return out;
}

// The first difference between two snapshots, empty when there is none.
QString Difference(const QList<QPair<QString, QVariant>> &a, const QList<QPair<QString, QVariant>> &b)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 values against %2").arg(a.size()).arg(b.size());
    for (int i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return a[i].first;
    return QString();
}

// `value` placed at a dotted path inside a control's entry ("Fill.Picture").
void Put(QJsonObject &entry, const QStringList &path, const QJsonValue &value)
{
    if (path.size() == 1) {
        entry.insert(path.first(), value);
        return;
    }
    QJsonObject inner = entry.value(path.first()).toObject();
    Put(inner, path.mid(1), value);
    entry.insert(path.first(), inner);
}

// The classes that list design names they ignore.
const QMetaObject *const kListingClasses[] = {
    &TAdvEdit::staticMetaObject,         &TAdvOfficeCheckBox::staticMetaObject,
    &TAdvGlassButton::staticMetaObject,  &TEllipsLabel::staticMetaObject,
    &TAdvPanel::staticMetaObject,        &TPanelStatusBar::staticMetaObject,
    &TPanelPosition::staticMetaObject,   &TAutoSize::staticMetaObject,
    &TPanelOfficeHint::staticMetaObject, &TAdvSmoothPanel::staticMetaObject,
    &TAdvSmoothPanelCaption::staticMetaObject, &TGDIPFill::staticMetaObject,
    &TfmKanavox::staticMetaObject,
};

} // namespace

class TestLayoutLoader : public QObject {
    Q_OBJECT

private slots:
    void appliesValuesAndBindsMembers()
    {
        TTestForm f;
        TLayoutLoader::Apply(&f, Doc(kGood), TTestForm::Handlers());
        QCOMPARE(f.marker, 7);
        QVERIFY(f.edt);
        QVERIFY(f.chk);
        QCOMPARE(f.edt->geometry(), QRect(3, 4, 100, 24));
        QCOMPARE(f.edt->Text(), QStringLiteral("from layout"));
        QVERIFY(f.chk->GetChecked());
        QCOMPARE(f.chk->property("Version").toString(), QStringLiteral("1.7.0.0"));
        // Nothing ran while the layout was applied.
        QVERIFY2(f.calls.isEmpty(), qPrintable(f.calls.join(QLatin1Char(','))));
    }

    // A handler that changes a by-reference argument changes what the control sees.
    void byReferenceArgumentsReachTheControl()
    {
        TTestForm f;
        TLayoutLoader::Apply(&f, Doc(kGood), TTestForm::Handlers());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.edt->SetText(QString());
        f.calls.clear();
        QTest::keyClick(f.edt, 'x');
        QTest::keyClick(f.edt, 'y');
        QCOMPARE(f.edt->Text(), QStringLiteral("y"));
        QVERIFY(f.calls.contains(QStringLiteral("press 120")));
        QVERIFY(f.calls.contains(QStringLiteral("change y")));
    }

    // A failing handler is reported through the application's handler; the control's
    // event delivery is not unwound by it, and the window raising its own event learns
    // that the handler failed.
    void failingHandlerIsReported()
    {
        TTestForm f;
        TLayoutLoader::Apply(&f, Doc(kGood), TTestForm::Handlers());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QStringList boxes;
        const TestSeams::MessageBoxes capture(
            [&](const QString &caption, const QString &text) { boxes << caption + QLatin1Char('|') + text; });
        f.throwOnClick = true;
        QTest::mouseClick(f.chk, Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(f.OnCreate(&f), false);
        QCOMPARE(boxes, QStringList(2, QStringLiteral("Kanavox|壊れました.")));
        QVERIFY(!f.chk->GetChecked()); // the toggle before the click still happened
    }

    void unknownNamesFail_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("class") << R"({"children":[{"name":"a","class":"TNoSuch"}]})" << "unknown class";
        QTest::newRow("property") << R"({"children":[{"name":"edt","class":"TAdvEdit","Colour":1}]})" << "unknown property";
        QTest::newRow("sub-property") << R"({"children":[{"name":"edt","class":"TAdvEdit","Lookup":{"Nope":1}}]})" << "unknown property";
        QTest::newRow("handler") << R"({"children":[{"name":"edt","class":"TAdvEdit","OnChange":"noSuchHandler"}]})" << "unknown handler";
        QTest::newRow("event") << R"({"children":[{"name":"edt","class":"TAdvEdit","OnWobble":"edtChange"}]})" << "unknown event";
        QTest::newRow("handler shape") << R"({"children":[{"name":"edt","class":"TAdvEdit","OnChange":"wrongShape"}]})" << "does not fit";
        QTest::newRow("control's handler on the window") << R"({"OnCreate":"edtChange"})" << "does not fit";
        QTest::newRow("window's handler on a control") << R"({"children":[{"name":"edt","class":"TAdvEdit","OnChange":"FormCreate"}]})" << "does not fit";
        QTest::newRow("enum value") << R"({"children":[{"name":"edt","class":"TAdvEdit","ImeMode":"imSideways"}]})" << "unknown value";
        QTest::newRow("colour") << R"({"children":[{"name":"edt","class":"TAdvEdit","Color":"clPlaid"}]})" << "not a colour";
        QTest::newRow("member class") << R"({"children":[{"name":"edt","class":"TAdvOfficeCheckBox"}]})" << "member of another class";
        // Per class: a design name it does not list (or a slip of one it does) still stops
        // the load, and says where.
        QTest::newRow("edit: a name that would change the text") << R"({"children":[{"name":"edt","class":"TAdvEdit","Prefix":"x"}]})"
                                                                  << "edt.Prefix: unknown property of TAdvEdit";
        QTest::newRow("check box") << R"({"children":[{"name":"chk","class":"TAdvOfficeCheckBox","Colour":1}]})"
                                   << "chk.Colour: unknown property of TAdvOfficeCheckBox";
        QTest::newRow("glass button") << R"({"children":[{"name":"b","class":"TAdvGlassButton","OfficeHints":{}}]})"
                                      << "b.OfficeHints: unknown property of TAdvGlassButton";
        QTest::newRow("label") << R"({"children":[{"name":"l","class":"TEllipsLabel","EllipsisPos":"x"}]})"
                               << "l.EllipsisPos: unknown property of TEllipsLabel";
        QTest::newRow("panel") << R"({"children":[{"name":"p","class":"TAdvPanel","StatusBar":{"Texts":"x"}}]})"
                               << "p.StatusBar.Texts: unknown property of TPanelStatusBar";
        QTest::newRow("smooth panel") << R"({"children":[{"name":"s","class":"TAdvSmoothPanel","Cursors":"crDefault"}]})"
                                      << "s.Cursors: unknown property of TAdvSmoothPanel";
        QTest::newRow("fill") << R"({"children":[{"name":"s","class":"TAdvSmoothPanel","Fill":{"Pictures":1}}]})"
                              << "s.Fill.Pictures: unknown property of TGDIPFill";
        QTest::newRow("another class's ignored name") << R"({"children":[{"name":"p","class":"TAdvPanel","Cursor":"crDefault"}]})"
                                                      << "p.Cursor: unknown property of TAdvPanel";
        QTest::newRow("window") << R"({"Scaled":true})" << "unknown property of TTestForm";
    }
    void unknownNamesFail()
    {
        QFETCH(QString, json);
        QFETCH(QString, expected);
        TTestForm f;
        try {
            TLayoutLoader::Apply(&f, Doc(json.toUtf8().constData()), TTestForm::Handlers());
            QFAIL("no error raised");
        } catch (const ELayoutError &e) {
            QVERIFY2(e.Message().contains(expected), qPrintable(e.Message()));
        }
    }

    // A design name a class lists as ignored loads, whatever its value, and leaves the
    // control as it was: every property, its settings objects' included, and its picture
    // (two renders in one process, so the pixels are compared exactly).
    void ignoredNamesChangeNothing_data()
    {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("value");
        auto row = [](const char *cls, const char *path, const char *value) {
            QTest::addRow("%s %s", cls, path) << QString::fromLatin1(cls) << QString::fromLatin1(path)
                                              << QString::fromUtf8(value);
        };
        row("TAdvEdit", "Flat", "true");
        row("TAdvEdit", "LabelCaption", R"("名前")");
        row("TAdvOfficeCheckBox", "Color", "255");
        row("TAdvOfficeCheckBox", "ParentColor", "false");
        row("TAdvGlassButton", "OfficeHint", R"({"Title":"t","Notes":["n"]})");
        row("TEllipsLabel", "EllipsisPosition", R"("epEndEllipsis")");
        row("TAdvPanel", "DockSite", "true");
        row("TAdvPanel", "StatusBar.Text", R"("s")");
        row("TAdvPanel", "Position.Key", R"("k")");
        row("TAdvPanel", "AutoSize.Enabled", "true");
        row("TAdvPanel", "OfficeHint.Title", R"("t")");
        row("TAdvSmoothPanel", "Cursor", R"("crHandPoint")");
        row("TAdvSmoothPanel", "Caption.HTMLText", R"("<b>x</b>")");
        row("TAdvSmoothPanel", "Fill.Picture", R"("AAAA")");
        row("TfmKanavox", "PixelsPerInch", "120");
        row("TfmKanavox", "Position", R"("poScreenCenter")");
    }
    void ignoredNamesChangeNothing()
    {
        QFETCH(QString, cls);
        QFETCH(QString, path);
        QFETCH(QString, value);
        const QStringList parts = path.split(QLatin1Char('.'));
        const QJsonValue v = QJsonDocument::fromJson("[" + value.toUtf8() + "]").array().first();
        QVERIFY2(!v.isUndefined(), "bad value in the row");

        // A control: one loaded without the name beside one loaded with it. The window:
        // itself before and after its values are applied once more with the name.
        QList<QPair<QString, QVariant>> before, after;
        QImage shownBefore, shownAfter;
        const QObject *owner = nullptr;
        TTestForm plainForm, namedForm;
        try {
            if (cls == QLatin1String("TfmKanavox")) {
                TfmKanavox window;
                before = Snapshot(&window);
                shownBefore = window.grab().toImage();
                QJsonObject root;
                Put(root, parts, v);
                TLayoutLoader::Apply(&window, root);
                after = Snapshot(&window);
                shownAfter = window.grab().toImage();
                QVERIFY(TLayoutLoader::Ignores(TfmKanavox::staticMetaObject, parts.last()));
                QCOMPARE(TfmKanavox::staticMetaObject.indexOfProperty(parts.last().toLatin1()), -1);
            } else {
                const QString name = QStringLiteral("probe");
                QJsonObject entry{{QStringLiteral("name"), name}, {QStringLiteral("class"), cls}};
                TLayoutLoader::Apply(&plainForm, QJsonObject{{QStringLiteral("children"), QJsonArray{entry}}});
                Put(entry, parts, v);
                TLayoutLoader::Apply(&namedForm, QJsonObject{{QStringLiteral("children"), QJsonArray{entry}}});
                QWidget *plain = plainForm.findChild<QWidget *>(name);
                QWidget *named = namedForm.findChild<QWidget *>(name);
                QVERIFY(plain && named);
                before = Snapshot(plain);
                after = Snapshot(named);
                shownBefore = plain->grab().toImage();
                shownAfter = named->grab().toImage();
                // The name is one the class lists, not a property it reads under that name.
                owner = named;
                for (const QString &step : parts.mid(0, parts.size() - 1))
                    owner = owner->property(step.toLatin1()).value<QObject *>();
                QVERIFY(owner);
                QVERIFY(TLayoutLoader::Ignores(*owner->metaObject(), parts.last()));
                QCOMPARE(owner->metaObject()->indexOfProperty(parts.last().toLatin1()), -1);
            }
        } catch (const ELayoutError &e) {
            QFAIL(qPrintable(e.Message()));
        }
        const QString differs = Difference(before, after);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QVERIFY(!shownBefore.isNull());
        QCOMPARE(shownAfter, shownBefore);
    }

    // Each class's list names only what it leaves alone: a listed name that is also a
    // property would be read, never ignored, and the list would say otherwise.
    void ignoredListsNameNoProperty_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kListingClasses)); ++i)
            QTest::newRow(kListingClasses[i]->className()) << i;
    }
    void ignoredListsNameNoProperty()
    {
        QFETCH(int, index);
        const QMetaObject *mo = kListingClasses[index];
        const QStringList names = TLayoutLoader::IgnoredNames(*mo);
        QVERIFY(!names.isEmpty());
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        for (const QString &n : names) {
            QVERIFY2(mo->indexOfProperty(n.toLatin1()) < 0, qPrintable(n));
            QVERIFY2(n.at(0).isUpper() && !n.startsWith(QLatin1String("On")), qPrintable(n));
        }
    }

    // Font values come after every control exists, so the window is built while the
    // font configuration may still be loading; they still arrive, in the layout's order.
    void fontsComeLast()
    {
        TTestForm f;
        QStringList seen;
        connect(f.font, &TFont::Changed, &f, [&] {
            seen << QStringLiteral("%1 %2 %3").arg(f.font->Name()).arg(f.font->Height())
                        .arg(f.findChild<TAdvOfficeCheckBox *>() ? "after" : "before");
        });
        QJsonObject layout = Doc(kGood);
        layout.insert(QStringLiteral("Font"), Doc(R"({"Name": "Arial", "Height": -13})"));
        TLayoutLoader::Apply(&f, layout, TTestForm::Handlers());
        QCOMPARE(seen, QStringList({QStringLiteral("Tahoma -13 after"), QStringLiteral("Arial -13 after")}));
    }

    // The window's own layout loads as it ships, every control bound.
    void mainLayoutBindsEveryControl()
    {
        TfmKanavox f;
        const QMetaObject *mo = f.metaObject();
        int bound = 0;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            const QMetaObject *cls = p.metaType().metaObject();
            if (p.metaType().flags().testFlag(QMetaType::PointerToQObject) && cls
                && cls->inherits(&QWidget::staticMetaObject)) {
                QVERIFY2(p.read(&f).value<QObject *>(), p.name());
                ++bound;
            }
        }
        QCOMPARE(bound, 14);
    }

    void failureReportText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "abc" << "abc.";
        QTest::newRow("full stop already") << "abc." << "abc.";
        QTest::newRow("blank") << "abc " << "abc ";
        QTest::newRow("ideographic full stop") << QStringLiteral("だめ。") << QStringLiteral("だめ。.");
        QTest::newRow("slash is above the full stop") << "a/" << "a/.";
        QTest::newRow("hyphen is below") << "a-" << "a-";
        QTest::newRow("empty") << "" << "";
    }
    void failureReportText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(FailureReportText(message), shown);
    }
};

int main(int argc, char **argv)
{
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    TestLayoutLoader t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_layoutloader.moc"
