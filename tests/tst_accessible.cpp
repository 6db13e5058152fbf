// The window as assistive technology reads it: role, name, states and actions of every
// control, the relations between them, the edit's text interface, and exactly one event
// of the right kind for each change. The event tests need a platform with an
// accessibility bridge (xcb); on the offscreen platform they are skipped and the run
// under Xvfb (realwindow_accessibility_events) has them.
#include "Accessible.h"
#include "Application.h"
#include "Component.h"
#include "DictationView.h"
#include "Version.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QScopeGuard>
#include <QSignalSpy>

namespace {

struct Recorded {
    QAccessible::Event type;
    QObject *object;
    bool whileLoading; // sent by a control whose layout was still being applied
    QAccessible::State changed;
    int position;
    QString removed;
    QString inserted;
    int child;         // the item of the object the event is for, -1 for the object itself
    QString announced; // what an announcement says; null for any other event
};
QList<Recorded> g_events;

void Record(QAccessibleEvent *e)
{
    const auto *component = dynamic_cast<const TComponent *>(e->object());
    Recorded r{e->type(), e->object(), component && component->ComponentLoading(), {}, -1, {}, {}, -1, {}};
    // An item without an object of its own is known by its place in its parent.
    QAccessibleInterface *iface = e->object() ? nullptr : e->accessibleInterface();
    r.child = iface ? (iface->parent() ? iface->parent()->indexOfChild(iface) : -1) : e->child();
    if (const auto *a = dynamic_cast<const TAccessibleAnnouncement *>(e))
        r.announced = a->Message();
    switch (e->type()) {
    case QAccessible::StateChanged:
        r.changed = static_cast<QAccessibleStateChangeEvent *>(e)->changedStates();
        break;
    case QAccessible::TextInserted:
        r.position = static_cast<QAccessibleTextInsertEvent *>(e)->changePosition();
        r.inserted = static_cast<QAccessibleTextInsertEvent *>(e)->textInserted();
        break;
    case QAccessible::TextRemoved:
        r.position = static_cast<QAccessibleTextRemoveEvent *>(e)->changePosition();
        r.removed = static_cast<QAccessibleTextRemoveEvent *>(e)->textRemoved();
        break;
    case QAccessible::TextUpdated:
        r.position = static_cast<QAccessibleTextUpdateEvent *>(e)->changePosition();
        r.removed = static_cast<QAccessibleTextUpdateEvent *>(e)->textRemoved();
        r.inserted = static_cast<QAccessibleTextUpdateEvent *>(e)->textInserted();
        break;
    case QAccessible::TextCaretMoved:
        r.position = static_cast<QAccessibleTextCursorEvent *>(e)->cursorPosition();
        break;
    default:
        break;
    }
    g_events.append(r);
}

// The states the tests look at, as words.
QString StateWords(QAccessible::State s)
{
    QStringList w;
    if (s.checkable) w << "checkable";
    if (s.checked) w << "checked";
    if (s.checkStateMixed) w << "mixed";
    if (s.disabled) w << "disabled";
    if (s.editable) w << "editable";
    if (s.focusable) w << "focusable";
    if (s.focused) w << "focused";
    if (s.readOnly) w << "readOnly";
    return w.join(' ');
}

#define REQUIRE_EVENTS() \
    if (!QAccessible::isActive()) \
        QSKIP("this platform has no accessibility bridge: events reach no handler")

const QString kThreeReading = QStringLiteral("大文字:エー、小文字:ビー、数字:イチ");

// What was announced since the last clear, and from which control ("edtPass: 小文字:ビー").
QStringList Announcements()
{
    QStringList out;
    for (const Recorded &r : std::as_const(g_events))
        if (!r.announced.isNull())
            out << (r.object ? r.object->objectName() : QStringLiteral("(item %1)").arg(r.child)) + ": " + r.announced;
    return out;
}

} // namespace

class TestAccessible : public QObject, private TWindowFixture {
    Q_OBJECT

    QWidget *Control(const QString &name) const
    {
        return name == QLatin1String("window") ? m_form.get() : m_form->findChild<QWidget *>(name);
    }
    static QAccessibleInterface *Iface(QObject *o) { return QAccessible::queryAccessibleInterface(o); }

    // Brings the window to the state a row names before anything is looked at.
    void Prepare(const QString &setup)
    {
        for (const QString &step : setup.split(' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("insertOff"))
                ClickBox(m_form->chkMojisyuIns);
            else if (step == QLatin1String("readOnly"))
                m_form->edtPass->SetReadOnly(true);
            else if (step.startsWith(QLatin1String("type:")))
                QTest::keyClicks(m_form->edtPass, step.mid(5));
            else if (step.startsWith(QLatin1String("focus:")))
                Control(step.mid(6))->setFocus();
            else
                QFAIL(qPrintable("unknown step " + step));
        }
    }


    // Types `password`, forgets the events so far, opens the dictation view and waits for its
    // grid to have the focus; null when it does not get there.
    TDictationView *OpenDictation(const QString &password)
    {
        QTest::keyClicks(m_form->edtPass, password);
        g_events.clear();
        m_form->ShowDictation();
        auto *view = m_form->findChild<TDictationView *>();
        if (!view || !QTest::qWaitFor([view] { return view->Grid()->hasFocus(); }))
            return nullptr;
        return view;
    }

    // One user action, as the event rows name it.
    void Act(const QString &change)
    {
        const QString what = change.section(':', 0, 0);
        const QString arg = change.section(':', 1);
        QWidget *edit = m_form->edtPass;
        if (what == QLatin1String("key")) {
            static const QHash<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> keys{
                {"backspace", {Qt::Key_Backspace, Qt::NoModifier}},
                {"left", {Qt::Key_Left, Qt::NoModifier}},
                {"ctrl+a", {Qt::Key_A, Qt::ControlModifier}},
            };
            if (keys.contains(arg))
                QTest::keyClick(edit, keys[arg].first, keys[arg].second);
            else
                QTest::keyClicks(edit, arg);
        } else if (what == QLatin1String("paste") || what == QLatin1String("ctrlv")) {
            TClipboard::SetAsText(arg);
            if (what == QLatin1String("paste"))
                QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
            else
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else if (what == QLatin1String("click")) {
            ClickBox(static_cast<TAdvOfficeCheckBox *>(Control(arg)));
        } else if (what == QLatin1String("space")) {
            QTest::keyClick(Control(arg), Qt::Key_Space);
        } else if (what == QLatin1String("alt")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(Qt::Key_0 + arg.toInt()), Qt::AltModifier);
        } else if (what == QLatin1String("toggle")) {
            Iface(Control(arg))->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        } else if (what == QLatin1String("check")) {
            static_cast<TAdvOfficeCheckBox *>(Control(arg))->SetChecked(true);
        } else if (what == QLatin1String("readOnly")) {
            m_form->edtPass->SetReadOnly(true);
        } else if (what == QLatin1String("caption")) {
            static_cast<TAdvGlassButton *>(Control(arg))->SetCaption(QStringLiteral("コピー"));
        } else if (what == QLatin1String("panelCaption")) {
            m_form->AdvSmoothPanel1->Caption()->SetText(QStringLiteral("読み"));
        } else if (what == QLatin1String("press")) {
            Iface(Control(arg))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            QFAIL(qPrintable("unknown change " + change));
        }
    }

private slots:
    void initTestCase()
    {
        InstallAccessibility();
        QAccessible::installUpdateHandler(Record);
        // The bridge turns itself on once it has reached the accessibility bus.
        if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
            QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 20000);
    }
    void init()
    {
        QVERIFY(SetUpWindow());
        Open();
        g_events.clear();
    }
    void cleanup() { TearDownWindow(); }

    // A generic "filler" with only SetFocus is what a control without its own interface shows.
    void controls_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("actions");
        const QString toggle = QStringLiteral("Toggle SetFocus");
        QTest::newRow("edit") << "" << "edtPass" << int(QAccessible::EditableText) << "パスワード"
                              << "editable focusable focused" << "SetFocus";
        QTest::newRow("edit read-only") << "readOnly" << "edtPass" << int(QAccessible::EditableText) << "パスワード"
                                        << "focusable focused readOnly" << "SetFocus";
        QTest::newRow("insert class") << "" << "chkMojisyuIns" << int(QAccessible::CheckBox)
                                      << "文字種を挿入（大文字、小文字、数字、記号）" << "checkable checked focusable" << toggle;
        QTest::newRow("each character") << "" << "chk1Mojisyu" << int(QAccessible::CheckBox) << "1文字ずつ文字種を挿入"
                                        << "checkable checked focusable" << toggle;
        QTest::newRow("each character disabled") << "insertOff" << "chk1Mojisyu" << int(QAccessible::CheckBox)
                                                 << "1文字ずつ文字種を挿入" << "checkable checked disabled focusable" << "";
        QTest::newRow("blank") << "" << "chkSepBlank" << int(QAccessible::CheckBox)
                               << "文字の区切りをブランクにする（デフォルトは「、」）" << "checkable focusable" << toggle;
        QTest::newRow("digits") << "" << "chkNum" << int(QAccessible::CheckBox) << "数字はそのまま" << "checkable focusable" << toggle;
        QTest::newRow("symbols") << "" << "chkKigou" << int(QAccessible::CheckBox) << "記号はそのまま" << "checkable focusable" << toggle;
        QTest::newRow("copy") << "" << "btnCopy" << int(QAccessible::PushButton) << "クリップボードにコピー" << "focusable" << "Press SetFocus";
        QTest::newRow("exit") << "" << "btnEnd" << int(QAccessible::PushButton) << "終了" << "focusable" << "Press SetFocus";
        QTest::newRow("password label") << "" << "EllipsLabel2" << int(QAccessible::StaticText) << "パスワード" << "" << "";
        QTest::newRow("reading empty") << "" << "lblEGkekka" << int(QAccessible::StaticText) << "" << "" << "";
        QTest::newRow("reading of Ab1") << "type:Ab1" << "lblEGkekka" << int(QAccessible::StaticText) << kThreeReading << "" << "";
        QTest::newRow("result panel") << "" << "AdvSmoothPanel1" << int(QAccessible::Grouping) << "結果" << "" << "";
        QTest::newRow("bar") << "" << "pnlFunction" << int(QAccessible::Pane) << "" << "" << "";
        QTest::newRow("window") << "" << "window" << int(QAccessible::Client) << KANAVOX_VERSION_TEXT << "" << "";
    }
    void controls()
    {
        QFETCH(QString, setup);
        QFETCH(QString, control);
        Prepare(setup);
        QAccessibleInterface *iface = Iface(Control(control));
        QVERIFY(iface);
        QTEST(int(iface->role()), "role");
        QTEST(iface->text(QAccessible::Name), "name");
        QTEST(StateWords(iface->state()), "states");
        const QAccessibleActionInterface *actions = iface->actionInterface();
        QTEST(actions ? actions->actionNames().join(' ') : QString(), "actions");
    }

    void relations_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("relation");
        QTest::addColumn<QString>("other");
        QTest::newRow("edit labelled by") << "edtPass" << int(QAccessible::Label) << "EllipsLabel2";
        QTest::newRow("label for the edit") << "EllipsLabel2" << int(QAccessible::Labelled) << "edtPass";
        QTest::newRow("edit controls reading") << "edtPass" << int(QAccessible::Controlled) << "lblEGkekka";
        QTest::newRow("reading controlled by") << "lblEGkekka" << int(QAccessible::Controller) << "edtPass";
        QTest::newRow("reading labelled by panel") << "lblEGkekka" << int(QAccessible::Label) << "AdvSmoothPanel1";
        QTest::newRow("panel labels reading") << "AdvSmoothPanel1" << int(QAccessible::Labelled) << "lblEGkekka";
    }
    void relations()
    {
        QFETCH(QString, control);
        QFETCH(int, relation);
        QFETCH(QString, other);
        const auto rels = Iface(Control(control))->relations(QAccessible::Relation(relation));
        QCOMPARE(rels.size(), 1);
        QCOMPARE(rels.first().first->object(), Control(other));
    }

    // Each widget holds its own relations: set twice they are there once, and a widget
    // that goes is gone from them.
    void relationsGoWithTheWidgets()
    {
        auto control = std::make_unique<TEllipsLabel>();
        auto *label = new TEllipsLabel;
        Accessibility::SetLabel(control.get(), label);
        Accessibility::SetLabel(control.get(), label);
        Accessibility::SetController(label, control.get());
        QCOMPARE(Iface(control.get())->relations(QAccessible::Label).size(), 1);
        QCOMPARE(Iface(control.get())->relations(QAccessible::Controller).size(), 1);
        QCOMPARE(Iface(label)->relations(QAccessible::Labelled).first().first->object(), control.get());
        QCOMPARE(Iface(m_form->edtPass)->relations(QAccessible::Label).size(), 1);
        delete label;
        QCOMPARE(Iface(control.get())->relations(QAccessible::AllRelations).size(), 0);
    }

    // Toggle and Press go the way of a click: OnClick once, the reading follows.
    void actionsActLikeClicks_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("status");
        QTest::newRow("toggle blank") << "type:Ab1" << "chkSepBlank" << 1 << true
                                      << "大文字:エー 小文字:ビー 数字:イチ" << "";
        QTest::newRow("toggle insert off") << "type:Ab1" << "chkMojisyuIns" << 1 << false << "エー、ビー、イチ" << "";
        QTest::newRow("disabled box does nothing") << "type:Ab1 insertOff" << "chk1Mojisyu" << 0 << true
                                                   << "エー、ビー、イチ" << "";
        QTest::newRow("press copy") << "type:Ab1" << "btnCopy" << 1 << false << kThreeReading << "コピーOK";
    }
    void actionsActLikeClicks()
    {
        QFETCH(QString, setup);
        QFETCH(QString, control);
        Prepare(setup);
        QObject *target = Control(control);
        auto *box = qobject_cast<TAdvOfficeCheckBox *>(target);
        auto *button = qobject_cast<TAdvGlassButton *>(target);
        QSignalSpy spy = box ? QSignalSpy(box, &TAdvOfficeCheckBox::OnClick) : QSignalSpy(button, &TAdvGlassButton::OnClick);
        QAccessibleActionInterface *actions = Iface(target)->actionInterface();
        actions->doAction(box ? QAccessibleActionInterface::toggleAction() : QAccessibleActionInterface::pressAction());
        QTEST(int(spy.count()), "clicks");
        if (box)
            QTEST(box->GetChecked(), "checked");
        QTEST(Reading(), "reading");
        QTEST(Status(), "status");
        if (Status() == QLatin1String("コピーOK"))
            QCOMPARE(TClipboard::AsText(), "Ab1\r\n" + kThreeReading);
    }

    // Each change sends exactly one event of its kind to the control it changed.
    void events_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("detail"); // changed state, or "position:text"
        const int state = QAccessible::StateChanged;
        const int name = QAccessible::NameChanged;
        QTest::newRow("typed character") << "type:A" << "key:b" << "edtPass" << int(QAccessible::TextInserted) << "1:b";
        QTest::newRow("caret after typing") << "type:A" << "key:b" << "edtPass" << int(QAccessible::TextCaretMoved) << "2:";
        QTest::newRow("reading announced") << "type:A" << "key:b" << "lblEGkekka" << name << "";
        QTest::newRow("backspace") << "type:Ab" << "key:backspace" << "edtPass" << int(QAccessible::TextRemoved) << "1:b";
        QTest::newRow("paste") << "type:A" << "paste:b1" << "edtPass" << int(QAccessible::TextInserted) << "1:b1";
        QTest::newRow("ctrl+v replaces") << "type:A" << "ctrlv:b1" << "edtPass" << int(QAccessible::TextUpdated) << "0:A>b1";
        QTest::newRow("caret left") << "type:Ab" << "key:left" << "edtPass" << int(QAccessible::TextCaretMoved) << "1:";
        QTest::newRow("select all") << "type:Ab" << "key:ctrl+a" << "edtPass" << int(QAccessible::TextSelectionChanged) << "";
        QTest::newRow("read-only") << "" << "readOnly" << "edtPass" << state << "editable readOnly";
        QTest::newRow("toggle by click") << "" << "click:chkSepBlank" << "chkSepBlank" << state << "checked";
        QTest::newRow("toggle by space") << "" << "space:chkSepBlank" << "chkSepBlank" << state << "checked";
        QTest::newRow("toggle action") << "" << "toggle:chkSepBlank" << "chkSepBlank" << state << "checked";
        QTest::newRow("checked from code") << "" << "check:chkNum" << "chkNum" << state << "checked";
        QTest::newRow("disabled") << "" << "click:chkMojisyuIns" << "chk1Mojisyu" << state << "disabled";
        QTest::newRow("enabled again") << "insertOff" << "click:chkMojisyuIns" << "chk1Mojisyu" << state << "disabled";
        QTest::newRow("caption") << "" << "caption:btnCopy" << "btnCopy" << name << "";
        QTest::newRow("panel caption") << "" << "panelCaption" << "AdvSmoothPanel1" << name << "";
        QTest::newRow("copy status") << "type:A" << "press:btnCopy" << "lblCopyKekka" << name << "";
    }
    void events()
    {
        REQUIRE_EVENTS();
        QFETCH(QString, setup);
        QFETCH(QString, change);
        QFETCH(QString, control);
        QFETCH(int, event);
        QFETCH(QString, detail);
        Prepare(setup);
        g_events.clear();
        // A key on a box goes where the user's focus would be.
        if (change.startsWith(QLatin1String("space:")))
            Control(change.section(':', 1))->setFocus();
        Act(change);

        QList<Recorded> seen;
        for (const Recorded &r : std::as_const(g_events))
            if (r.type == event && r.object == Control(control))
                seen.append(r);
        QCOMPARE(seen.size(), 1);
        const Recorded &r = seen.first();
        if (event == QAccessible::StateChanged) {
            QCOMPARE(StateWords(r.changed), detail);
        } else if (!detail.isEmpty()) {
            const QString text = detail.section(':', 1);
            QCOMPARE(r.position, detail.section(':', 0, 0).toInt());
            if (event == QAccessible::TextRemoved)
                QCOMPARE(r.removed, text);
            else if (event == QAccessible::TextUpdated)
                QCOMPARE(r.removed + '>' + r.inserted, text);
            else
                QCOMPARE(r.inserted, text);
        }
    }

    // A value set again changes nothing and says nothing.
    void noEventWithoutChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("same checked state") << "check";
        QTest::newRow("same caption") << "caption";
        QTest::newRow("same selection") << "select";
        QTest::newRow("panel caption moved") << "panelLocation";
    }
    void noEventWithoutChange()
    {
        REQUIRE_EVENTS();
        QFETCH(QString, change);
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab"));
        m_form->edtPass->SetSelection(0, 1);
        g_events.clear();
        if (change == QLatin1String("check"))
            m_form->chkMojisyuIns->SetChecked(true);
        else if (change == QLatin1String("panelLocation"))
            m_form->AdvSmoothPanel1->Caption()->SetLocation(TAdvSmoothPanelCaption::plCenterCenter);
        else if (change == QLatin1String("caption"))
            m_form->lblEGkekka->SetCaption(m_form->lblEGkekka->Caption());
        else
            m_form->edtPass->SetSelection(0, 1);
        QCOMPARE(g_events.size(), 0);
    }

    // While a window is loaded nobody can see it: its controls' setters report nothing
    // (and do not bring up the bridge), and reporting starts once the load is done.
    void loadingReportsNothing()
    {
        REQUIRE_EVENTS();
        g_events.clear();
        TfmKanavox second;
        QStringList fromLoading;
        for (const Recorded &r : std::as_const(g_events))
            if (r.whileLoading)
                fromLoading << r.object->objectName();
        QVERIFY2(fromLoading.isEmpty(), qPrintable(fromLoading.join(' ')));
        g_events.clear();
        second.lblEGkekka->SetCaption(QStringLiteral("読み"));
        QCOMPARE(g_events.size(), 1);
    }

    // What a screen reader reads and edits through the edit's text interface.
    void editText_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<int>("changes");
        QTest::newRow("insert") << "insert" << "Ab12" << "大文字:エー、小文字:ビー、数字:イチ、数字:ニ" << 1;
        QTest::newRow("delete") << "delete" << "A1" << "大文字:エー、数字:イチ" << 1;
        QTest::newRow("replace") << "replace" << "ab1" << "小文字:エー、小文字:ビー、数字:イチ" << 1;
        QTest::newRow("read-only refuses") << "readOnlyInsert" << "Ab1" << kThreeReading << 0;
    }
    void editText()
    {
        QFETCH(QString, op);
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab1"));
        QSignalSpy changes(m_form->edtPass, &TAdvEdit::OnChange);
        QAccessibleEditableTextInterface *editable = Iface(m_form->edtPass)->editableTextInterface();
        QVERIFY(editable);
        if (op == QLatin1String("insert")) {
            editable->insertText(3, QStringLiteral("2"));
        } else if (op == QLatin1String("delete")) {
            editable->deleteText(1, 2);
        } else if (op == QLatin1String("replace")) {
            editable->replaceText(0, 1, QStringLiteral("a"));
        } else {
            m_form->edtPass->SetReadOnly(true);
            editable->insertText(0, QStringLiteral("x"));
        }
        QTEST(m_form->edtPass->Text(), "text");
        QTEST(Reading(), "reading");
        QTEST(int(changes.count()), "changes");
    }

    void textInterface()
    {
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Ab1"));
        QAccessibleTextInterface *text = Iface(m_form->edtPass)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("Ab1"));
        QCOMPARE(text->cursorPosition(), 3);
        QCOMPARE(text->selectionCount(), 0);
        int start = -1, end = -1;
        QCOMPARE(text->textAtOffset(1, QAccessible::CharBoundary, &start, &end), QStringLiteral("b"));
        QCOMPARE(start, 1);

        text->setSelection(0, 1, 3);
        QCOMPARE(m_form->edtPass->SelText(), QStringLiteral("b1"));
        text->selection(0, &start, &end);
        QCOMPARE(start, 1);
        QCOMPARE(end, 3);
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
        text->setCursorPosition(1);
        QCOMPARE(m_form->edtPass->CursorPosition(), 1);

        // Character boxes lie left to right inside the edit, and point back to their offsets.
        const QRect editOnScreen(m_form->edtPass->mapToGlobal(QPoint(0, 0)), m_form->edtPass->size());
        QRect previous;
        for (int i = 0; i < 3; ++i) {
            const QRect r = text->characterRect(i);
            QVERIFY2(!r.isEmpty() && editOnScreen.contains(r), qPrintable(QString::number(i)));
            QVERIFY(!previous.isValid() || r.left() >= previous.right());
            QCOMPARE(text->offsetAtPoint(r.center()), i);
            previous = r;
        }
        QVERIFY(text->characterRect(3).isEmpty());
    }

    // What a screen reader says beyond what it reads of the controls: one announcement per
    // change, sent from what has the focus (which is all Orca presents), and nothing where
    // nothing changed. "%R" stands for the reading the window then shows.
    void announcements_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("said");
        const QString blank = QStringLiteral("文字の区切りをブランクにする（デフォルトは「、」）");
        const QString insert = QStringLiteral("文字種を挿入（大文字、小文字、数字、記号）");
        QTest::newRow("first key") << "" << "key:A" << "edtPass: 大文字:エー";
        QTest::newRow("next key: its piece only") << "type:A" << "key:b" << "edtPass: 小文字:ビー";
        QTest::newRow("key in the middle") << "type:A1 left" << "key:b" << "edtPass: 小文字:ビー";
        QTest::newRow("key over a selection") << "type:Ab selectAll" << "key:1" << "edtPass: 数字:イチ";
        QTest::newRow("piece follows the options") << "type:A click:chkMojisyuIns focus:edtPass" << "key:b" << "edtPass: ビー";
        QTest::newRow("filtered key") << "type:A" << "key: " << "";
        QTest::newRow("backspace") << "type:Ab" << "key:backspace" << "";
        QTest::newRow("erased to empty") << "type:A" << "key:backspace" << "";
        QTest::newRow("shift+insert: whole reading") << "type:A" << "paste:b1" << "edtPass: %R";
        QTest::newRow("ctrl+v: whole reading") << "type:A" << "ctrlv:b1" << "edtPass: %R";
        QTest::newRow("ctrl+v of one character") << "type:A" << "ctrlv:Ab" << "edtPass: %R";
        QTest::newRow("ctrl+v of the same text") << "type:Ab" << "ctrlv:Ab" << "";
        QTest::newRow("option click") << "type:Ab1" << "click:chkSepBlank" << "chkSepBlank: " + blank + " オン。%R";
        QTest::newRow("option by space") << "type:Ab1 focus:chkNum" << "space:chkNum" << "chkNum: 数字はそのまま オン。%R";
        QTest::newRow("option off, other unavailable") << "type:A" << "click:chkMojisyuIns"
                                                      << "chkMojisyuIns: " + insert + " オフ。1文字ずつ文字種を挿入 使用不可。%R";
        QTest::newRow("option on, other available") << "type:A insertOff" << "click:chkMojisyuIns"
                                                    << "chkMojisyuIns: " + insert + " オン。1文字ずつ文字種を挿入 使用可。%R";
        QTest::newRow("option, empty password") << "" << "click:chkKigou" << "chkKigou: 記号はそのまま オン";
        QTest::newRow("alt+4 from the edit") << "type:Ab1" << "alt:4" << "edtPass: 数字はそのまま オン。%R";
        QTest::newRow("alt+2 on the disabled box") << "type:A insertOff" << "alt:2" << "";
        QTest::newRow("toggle action") << "type:A" << "toggle:chkNum" << "edtPass: 数字はそのまま オン。%R";
        QTest::newRow("set from code") << "type:A" << "check:chkNum" << "";
        QTest::newRow("copy") << "type:A focus:btnCopy" << "space:btnCopy" << "btnCopy: コピーOK";
        QTest::newRow("copy fails") << "type:A focus:btnCopy busy" << "space:btnCopy" << "btnCopy: NG";
        QTest::newRow("copy again") << "type:A focus:btnCopy space:btnCopy" << "space:btnCopy" << "btnCopy: コピーOK";
    }
    void announcements()
    {
        REQUIRE_EVENTS();
        QFETCH(QString, setup);
        QFETCH(QString, change);
        std::optional<TestSeams::ClipboardOpenFailure> busy;
        for (const QString &step : setup.split(' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("busy"))
                busy.emplace(QStringLiteral("busy"));
            else if (step == QLatin1String("left"))
                QTest::keyClick(m_form->edtPass, Qt::Key_Left);
            else if (step == QLatin1String("selectAll"))
                QTest::keyClick(m_form->edtPass, Qt::Key_A, Qt::ControlModifier);
            else if (step.startsWith(QLatin1String("click:")) || step.startsWith(QLatin1String("space:")))
                Act(step);
            else
                Prepare(step);
        }
        g_events.clear();
        Act(change);
        QFETCH(QString, said);
        said.replace(QLatin1String("%R"), Reading());
        QCOMPARE(Announcements().join('|'), said);
    }

    // Alt+1 to Alt+5 do what a click on the options in their order on the screen does
    // (state, click handler, reading, the other box's availability), from anywhere in the
    // window, without taking the focus or typing a digit; on a disabled box nothing.
    void optionShortcuts_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Alt+1") << "type:Ab1" << 0 << "chkMojisyuIns" << 1;
        QTest::newRow("Alt+1 back on") << "type:Ab1 insertOff" << 0 << "chkMojisyuIns" << 1;
        QTest::newRow("Alt+2") << "type:Ab1" << 1 << "chk1Mojisyu" << 1;
        QTest::newRow("Alt+2 disabled") << "type:Ab1 insertOff" << 1 << "chk1Mojisyu" << 0;
        QTest::newRow("Alt+3") << "type:Ab1" << 2 << "chkSepBlank" << 1;
        QTest::newRow("Alt+4") << "type:Ab1" << 3 << "chkNum" << 1;
        QTest::newRow("Alt+5") << "type:Ab1" << 4 << "chkKigou" << 1;
        QTest::newRow("Alt+5 empty password") << "" << 4 << "chkKigou" << 1;
        QTest::newRow("Alt+4 from a button") << "type:A1 focus:btnEnd" << 3 << "chkNum" << 1;
    }
    void optionShortcuts()
    {
        QFETCH(QString, setup);
        QFETCH(int, index);
        QFETCH(QString, box);
        const auto snapshot = [this] {
            QStringList s{Reading(), m_form->edtPass->Text()};
            for (TAdvOfficeCheckBox *b : m_form->OptionBoxes())
                s << QString::number(b->GetChecked()) + QString::number(b->isEnabled());
            return s;
        };
        // The same window clicked with the mouse, then again from the start with the key.
        Prepare(setup);
        const QStringList before = snapshot();
        ClickBox(static_cast<TAdvOfficeCheckBox *>(Control(box)));
        const QStringList clicked = snapshot();
        TearDownWindow();
        QVERIFY(SetUpWindow());
        Open();
        Prepare(setup);
        QWidget *focus = QApplication::focusWidget();
        QSignalSpy spy(static_cast<TAdvOfficeCheckBox *>(Control(box)), &TAdvOfficeCheckBox::OnClick);
        QTest::keyClick(focus, Qt::Key(Qt::Key_1 + index), Qt::AltModifier);
        QTEST(int(spy.count()), "clicks");
        QCOMPARE(snapshot(), clicked);
        QCOMPARE(snapshot() == before, spy.count() == 0);
        QCOMPARE(QApplication::focusWidget(), focus);
        // Assistive technology is told which key that is.
        QCOMPARE(Iface(Control(box))->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::toggleAction()),
                 QStringList(QStringLiteral("Alt+%1").arg(index + 1)));
    }

    // With assistive technology the options are tab stops in their order on the screen;
    // without it Tab goes the designed way, past them. Switched while the window is open.
    void tabStops_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("order");
        QTest::newRow("no assistive technology") << false << "" << "btnEnd btnCopy edtPass";
        QTest::newRow("no assistive technology, from a clicked box") << false << "click:chkSepBlank"
                                                                     << "btnEnd btnCopy edtPass";
        QTest::newRow("screen reader")
            << true << "" << "chkMojisyuIns chk1Mojisyu chkSepBlank chkNum chkKigou btnEnd btnCopy edtPass";
        QTest::newRow("screen reader, a box unavailable")
            << true << "insertOff focus:edtPass" << "chkMojisyuIns chkSepBlank chkNum chkKigou btnEnd btnCopy edtPass";
    }
    void tabStops()
    {
        QFETCH(bool, active);
        QFETCH(QString, setup);
        const bool was = QAccessible::isActive();
        const auto restore = qScopeGuard([was] { QAccessible::setActive(was); });
        QAccessible::setActive(active);
        for (const QString &step : setup.split(' ', Qt::SkipEmptyParts))
            if (step.startsWith(QLatin1String("click:")))
                Act(step);
            else
                Prepare(step);
        QStringList order;
        for (int i = 0; i < 8 && order.size() < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
            if (order.last() == QLatin1String("edtPass"))
                break;
        }
        QTEST(order.join(' '), "order");
    }

    // The dictation view: its current cell is reported after the list on opening, so the
    // reader lands on it; the ends are described; a move past an end says where it stands.
    void dictationOpening()
    {
        REQUIRE_EVENTS();
        TDictationView *view = OpenDictation(QStringLiteral("Ab1"));
        QVERIFY(view);
        QTRY_VERIFY(!g_events.isEmpty() && g_events.last().type == QAccessible::Focus
                    && g_events.last().object == view->Grid() && g_events.last().child == 0);
        QCOMPARE(Announcements(), QStringList());
        view->close();
    }

    void dictationEnds_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("notes"); // the cells' descriptions
        QTest::addColumn<QString>("said");
        QTest::newRow("past the end") << "Ab1" << "End Right" << "先頭の文字||末尾の文字" << "(item 2): 3文字目 数字:イチ。末尾の文字";
        QTest::newRow("twice past the end") << "Ab1" << "End Right Right" << "先頭の文字||末尾の文字"
                                            << "(item 2): 3文字目 数字:イチ。末尾の文字|(item 2): 3文字目 数字:イチ。末尾の文字";
        QTest::newRow("before the start") << "Ab1" << "Left" << "先頭の文字||末尾の文字" << "(item 0): 1文字目 大文字:エー。先頭の文字";
        QTest::newRow("home at the start") << "Ab1" << "Home" << "先頭の文字||末尾の文字" << "(item 0): 1文字目 大文字:エー。先頭の文字";
        QTest::newRow("moves that go") << "Ab1" << "Right Right Left End Home" << "先頭の文字||末尾の文字" << "";
        QTest::newRow("up in one row") << "Ab1" << "Right Up" << "先頭の文字||末尾の文字" << "";
        QTest::newRow("one character") << "A" << "Right" << "ただ一つの文字" << "(item 0): 1文字目 大文字:エー。ただ一つの文字";
    }
    void dictationEnds()
    {
        QFETCH(QString, password);
        QFETCH(QString, keys);
        TDictationView *view = OpenDictation(password);
        QVERIFY(view);
        QAccessibleInterface *list = Iface(view->Grid());
        QStringList notes;
        for (int i = 0; i < list->childCount(); ++i)
            notes << list->child(i)->text(QAccessible::Description);
        QTEST(notes.join('|'), "notes");
        if (QAccessible::isActive()) {
            QTest::qWait(0); // the opening's report of the current cell
            g_events.clear();
            static const QHash<QString, Qt::Key> named{{"Left", Qt::Key_Left}, {"Right", Qt::Key_Right},
                                                       {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"Up", Qt::Key_Up}};
            for (const QString &k : keys.split(' '))
                QTest::keyClick(view->Grid(), named.value(k));
            QTEST(Announcements().join('|'), "said");
        }
        view->close();
    }

    // A cell that stops or starts being an end while the view is open is reported once.
    void dictationEdgeMoves()
    {
        REQUIRE_EVENTS();
        TDictationView *view = OpenDictation(QStringLiteral("Ab"));
        QVERIFY(view);
        g_events.clear();
        view->Grid()->SetPassword(QStringLiteral("Ab1"));
        QList<int> described;
        for (const Recorded &r : std::as_const(g_events))
            if (r.type == QAccessible::DescriptionChanged && r.object == view->Grid())
                described << r.child;
        std::sort(described.begin(), described.end());
        QCOMPARE(described, QList<int>({0, 1, 2}));
        g_events.clear();
        view->Grid()->SetPassword(QStringLiteral("Ab2"));
        QCOMPARE(std::count_if(g_events.cbegin(), g_events.cend(),
                               [](const Recorded &r) { return r.type == QAccessible::DescriptionChanged; }),
                 0);
        view->close();
    }

    // Closing the view gives the focus back to the main window, and the screen reader is
    // told where it is, also where no window manager does either.
    void focusReturns()
    {
        REQUIRE_EVENTS();
        TDictationView *view = OpenDictation(QStringLiteral("Ab1"));
        QVERIFY(view);
        QTRY_VERIFY(view->isActiveWindow());
        g_events.clear();
        QTest::keyClick(view->Grid(), Qt::Key_Escape);
        QTRY_VERIFY(m_form->isActiveWindow());
        QTRY_VERIFY(std::any_of(g_events.cbegin(), g_events.cend(), [this](const Recorded &r) {
            return r.type == QAccessible::Focus && r.object == m_form->edtPass;
        }));
    }

    void accelerators_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("showAccel");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "結果" << true << "結果";
        QTest::newRow("mark") << "コピー(&C)" << true << "コピー(C)";
        QTest::newRow("doubled") << "A&&B" << true << "A&B";
        QTest::newRow("marks off") << "A&&B&c" << false << "A&&B&c";
    }
    // Every control is named as its caption is drawn.
    void accelerators()
    {
        QFETCH(QString, caption);
        QFETCH(bool, showAccel);
        m_form->lblCopyKekka->SetShowAccelChar(showAccel);
        m_form->lblCopyKekka->SetCaption(caption);
        QTEST(Iface(m_form->lblCopyKekka)->text(QAccessible::Name), "name");
        if (showAccel) {
            m_form->btnEnd->SetCaption(caption);
            m_form->chkNum->SetCaption(caption);
            QTEST(Iface(m_form->btnEnd)->text(QAccessible::Name), "name");
            QTEST(Iface(m_form->chkNum)->text(QAccessible::Name), "name");
        }
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
