// The layout loader: values reach the right properties, handlers are bound by name
// (with by-reference arguments intact), and every unknown name stops the start.
#include "AdvEdit.h"
#include "AdvOfficeButtons.h"
#include "Application.h"
#include "Component.h"
#include "Exceptions.h"
#include "Font.h"
#include "LayoutLoader.h"
#include "Main.h"
#include "MessageBox.h"
#include "TestSeams.h"

#include <QJsonDocument>
#include <QTest>

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
