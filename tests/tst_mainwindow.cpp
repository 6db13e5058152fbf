// The main window as a user drives it: real key and mouse events on the shown window,
// the settings file in a directory of the test's own, message boxes captured.
#include "Application.h"
#include "Clipboard.h"
#include "FileSystem.h"
#include "Main.h"
#include "MessageBox.h"
#include "Settings.h"
#include "SysError.h"
#include "Version.h"
#include "TestFiles.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QWindow>
#include <cerrno>
#include <memory>

namespace {

} // namespace

class TestMainWindow : public QObject, private TWindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(SetUpWindow()); }
    void cleanup() { TearDownWindow(); }

    // A first start with no file: default position and options, everything empty.
    void firstStartWithoutFile()
    {
        TfmKanavox *f = Open();
        QCOMPARE(f->windowTitle(), QStringLiteral(KANAVOX_VERSION_TEXT));
        QCOMPARE(f->pos(), QPoint(0, 0));
        QCOMPARE(f->size(), QSize(664, 443));
        QVERIFY(f->chkMojisyuIns->GetChecked());
        QVERIFY(f->chk1Mojisyu->GetChecked());
        QVERIFY(f->chk1Mojisyu->isEnabled());
        QVERIFY(!f->chkSepBlank->GetChecked());
        QVERIFY(!f->chkNum->GetChecked());
        QVERIFY(!f->chkKigou->GetChecked());
        QCOMPARE(f->edtPass->Text(), QString());
        QCOMPARE(Reading(), QString());
        QCOMPARE(Status(), QString());
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(!(f->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f->minimumSize(), f->maximumSize());
    }

    // Qt's Wayland title bar offers a maximise button on every window and sets the state
    // when it is clicked; the window must not take it and wander to the screen's corner
    // (on Wayland itself: tst_wayland_maximise.sh). The size hints all name the fixed
    // size, so that a window manager counting size increments from the base size finds no
    // other (the native hints themselves: tst_frame_scale.sh).
    void refusesMaximise()
    {
        QVERIFY(WriteBytes(IniPath(), SettingsFile(120, 80, {1, 1, 0, 0, 0})));
        TfmKanavox *f = Open();
        QWindow *window = f->windowHandle();
        QVERIFY(window);
        QCOMPARE(f->baseSize(), QSize(664, 443));
        QCOMPARE(window->minimumSize(), QSize(664, 443));
        QCOMPARE(window->maximumSize(), QSize(664, 443));
        const QRect before = f->geometry();
        window->setWindowStates(Qt::WindowMaximized);
        QTRY_VERIFY(!(window->windowStates() & Qt::WindowMaximized));
        QVERIFY(!(f->windowState() & Qt::WindowMaximized));
        QTRY_COMPARE(f->geometry(), before);
        // Minimising is offered and stays.
        window->setWindowStates(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QVERIFY(window->windowStates() & Qt::WindowMinimized);
    }

    // Stored position and options come back, and a stored unchecked insertClass
    // disables the per-character option without changing it.
    void startWithStoredSettings()
    {
        QVERIFY(WriteBytes(IniPath(), SettingsFile(120, 80, {0, 1, 1, 0, 1})));
        TfmKanavox *f = Open();
        QCOMPARE(f->pos(), QPoint(80, 120));
        QVERIFY(!f->chkMojisyuIns->GetChecked());
        QVERIFY(f->chk1Mojisyu->GetChecked());
        QVERIFY(!f->chk1Mojisyu->isEnabled());
        QVERIFY(f->chkSepBlank->GetChecked());
        QVERIFY(!f->chkNum->GetChecked());
        QVERIFY(f->chkKigou->GetChecked());
        QTest::keyClicks(m_form->edtPass, QStringLiteral("a1!"));
        QCOMPARE(Reading(), QStringLiteral("エー イチ !"));
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        QTest::newRow("Ab1") << "Ab1" << "Ab1" << QStringLiteral("大文字:エー、小文字:ビー、数字:イチ");
        QTest::newRow("blank dropped") << "a b" << "ab" << QStringLiteral("小文字:エー、小文字:ビー");
        QTest::newRow("symbols") << "@\\/" << "@\\/" << QStringLiteral("記号:単価記号、記号:円記号、記号:スラッシュ");
        QTest::newRow("hyphen dropped") << "A-B" << "AB" << QStringLiteral("大文字:エー、大文字:ビー");
        QTest::newRow("only rejected") << " -+" << "" << QString();
    }
    void keyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, reading);
        Open();
        QTest::keyClicks(m_form->edtPass, typed);
        QCOMPARE(m_form->edtPass->Text(), text);
        QCOMPARE(Reading(), reading);
    }

    // Keys that produce no accepted character leave text and reading as they were.
    void ignoredKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "\r";
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "\x1b";
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03";
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << "\x18";
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "\x1a";
        QTest::newRow("Ctrl+Z no text") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "";
        QTest::newRow("full-width A") << int(Qt::Key_unknown) << int(Qt::NoModifier) << QStringLiteral("Ａ");
        QTest::newRow("blank") << int(Qt::Key_Space) << int(Qt::NoModifier) << " ";
    }
    void ignoredKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("ab"));
        const QString before = Reading();
        QTest::sendKeyEvent(QTest::Press, m_form->edtPass, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QTest::sendKeyEvent(QTest::Release, m_form->edtPass, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("ab"));
        QCOMPARE(Reading(), before);
        QVERIFY(m_form->isVisible());
    }

    // Tab moves the focus on instead of entering the edit's text.
    void tabMovesFocus()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("a"));
        QTest::keyClick(m_form->edtPass, Qt::Key_Tab);
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("a"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_form->btnEnd));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_form->btnCopy));
    }

    // Tab and Shift+Tab follow the layout's order, also from a check box that took the
    // focus by a click: it goes on to the next tab stop after it, or back to the one before.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QString>("to");
        QTest::newRow("edit, Tab") << "edtPass" << false << "btnEnd";
        QTest::newRow("exit, Tab") << "btnEnd" << false << "btnCopy";
        QTest::newRow("copy, Tab") << "btnCopy" << false << "edtPass";
        QTest::newRow("chkNum, Tab") << "chkNum" << false << "btnEnd";
        QTest::newRow("chkMojisyuIns, Tab") << "chkMojisyuIns" << false << "btnEnd";
        QTest::newRow("edit, Shift+Tab") << "edtPass" << true << "btnCopy";
        QTest::newRow("copy, Shift+Tab") << "btnCopy" << true << "btnEnd";
        QTest::newRow("exit, Shift+Tab") << "btnEnd" << true << "edtPass";
        QTest::newRow("chkNum, Shift+Tab") << "chkNum" << true << "edtPass";
        QTest::newRow("chkKigou, Shift+Tab") << "chkKigou" << true << "edtPass";
    }
    void tabOrder()
    {
        QFETCH(QString, from);
        QFETCH(bool, backwards);
        QFETCH(QString, to);
        Open();
        auto *start = m_form->findChild<QWidget *>(from);
        QVERIFY(start);
        if (auto *box = qobject_cast<TAdvOfficeCheckBox *>(start))
            ClickBox(box);
        else
            start->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), start);
        if (backwards)
            QTest::keyClick(start, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(start, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), to);
    }

    // Erasing the password empties the reading and the copy status, so a copy then puts
    // the empty password and the empty reading, as a fresh window's copy does; an option
    // click with nothing to read keeps the status of that copy.
    void erasingClearsReading()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("A"));
        QCOMPARE(Reading(), QStringLiteral("大文字:エー"));
        ClickButton(m_form->btnCopy);
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
        QTest::keyClick(m_form->edtPass, Qt::Key_Backspace);
        QCOMPARE(m_form->edtPass->Text(), QString());
        QCOMPARE(Reading(), QString());
        QCOMPARE(Status(), QString());
        ClickButton(m_form->btnCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\r\n"));
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
        ClickBox(m_form->chkMojisyuIns);
        QCOMPARE(Reading(), QString());
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
    }

    // The result label's accessible name is the reading shown, pieces without a reading
    // included, and follows it to empty.
    void readingAccessibleName()
    {
        Open();
        QGuiApplication::clipboard()->setText(QStringLiteral("a-b"));
        QTest::keyClick(m_form->edtPass, Qt::Key_V, Qt::ControlModifier);
        QAccessibleInterface *label = QAccessible::queryAccessibleInterface(m_form->lblEGkekka);
        QVERIFY(label);
        QCOMPARE(label->text(QAccessible::Name), QStringLiteral("小文字:エー、記号:「-」、小文字:ビー"));
        m_form->edtPass->SelectAll();
        QTest::keyClick(m_form->edtPass, Qt::Key_Backspace);
        QCOMPARE(label->text(QAccessible::Name), QString());
    }

    void ctrlV_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("a b") << ctrl << "a b" << "a b" << QStringLiteral("小文字:エー、記号:「空白」、小文字:ビー");
        QTest::newRow("Ctrl+Shift") << (ctrl | int(Qt::ShiftModifier)) << "a b" << "a b" << QStringLiteral("小文字:エー、記号:「空白」、小文字:ビー");
        QTest::newRow("Ctrl+Alt") << (ctrl | int(Qt::AltModifier)) << "a b" << "a b" << QStringLiteral("小文字:エー、記号:「空白」、小文字:ビー");
        QTest::newRow("two lines") << ctrl << "ab\r\ncd" << "ab\r\ncd"
                                   << QStringLiteral("小文字:エー、小文字:ビー、記号:「改行」、小文字:シー、小文字:ディー");
        QTest::newRow("line1 LF line2") << ctrl << "line1\nline2" << "line1\nline2"
            << QStringLiteral("小文字:エル、小文字:アイ、小文字:エヌ、小文字:イー、数字:イチ、記号:「改行」、"
                              "小文字:エル、小文字:アイ、小文字:エヌ、小文字:イー、数字:ニ");
        QTest::newRow("outside alphabet") << ctrl << QStringLiteral("Ａ-x") << QStringLiteral("Ａ-x") << QStringLiteral("記号:「Ａ」、記号:「-」、小文字:エックス");
        QTest::newRow("P@ss-w0rd.2024!") << ctrl << "P@ss-w0rd.2024!" << "P@ss-w0rd.2024!"
            << QStringLiteral("大文字:ピー、記号:単価記号、小文字:エス、小文字:エス、記号:「-」、小文字:ダブリュー、数字:ゼロ、"
                              "小文字:アール、小文字:ディー、記号:「.」、数字:ニ、数字:ゼロ、数字:ニ、数字:ヨン、記号:感嘆符");
    }
    void ctrlV()
    {
        QFETCH(int, modifiers);
        QFETCH(QString, clip);
        QFETCH(QString, text);
        QFETCH(QString, reading);
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("Z9"));
        QGuiApplication::clipboard()->setText(clip);
        QTest::keyClick(m_form->edtPass, Qt::Key_V, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_form->edtPass->Text(), text);
        // What is shown, what is read and what is copied are the same text.
        QCOMPARE(m_form->edtPass->VisibleLineText(), text);
        QCOMPARE(Reading(), reading);
        ClickButton(m_form->btnCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), text + QStringLiteral("\r\n") + reading);
    }

    // An image (no text) empties the edit, and with it the reading.
    void ctrlVWithoutText()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("q"));
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(img);
        QTest::keyClick(m_form->edtPass, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_form->edtPass->Text(), QString());
        QCOMPARE(Reading(), QString());
    }

    // A clipboard that cannot be opened: the failure reaches the user in an error box
    // captioned "Kanavox" with the final "." and the edit keeps its text.
    void ctrlVClipboardLocked()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("ab"));
        QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
        const TestSeams::ClipboardOpenFailure locked(QStringLiteral("アクセスが拒否されました"));
        QTest::keyClick(m_form->edtPass, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].caption, QStringLiteral("Kanavox"));
        QCOMPARE(m_boxes[0].text, QStringLiteral("クリップボード アクセスが拒否されました を開けません."));
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("ab"));
        // The program goes on running normally.
        QTest::keyClicks(m_form->edtPass, QStringLiteral("c"));
        QCOMPARE(m_form->edtPass->Text(), QStringLiteral("abc"));
    }

    // The copy status stays until the reading is recomposed for a non-empty password.
    void copyStatus()
    {
        Open();
        ClickButton(m_form->btnCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\r\n"));
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
        ClickBox(m_form->chkNum); // empty password: nothing recomposed
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
        QTest::keyClicks(m_form->edtPass, QStringLiteral("7"));
        QCOMPARE(Status(), QString());
        ClickButton(m_form->btnCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("7\r\n数字:7"));
        QCOMPARE(Status(), QStringLiteral("コピーOK"));
        // The copy is marked secret so clipboard managers keep it out of their history.
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArrayLiteral("secret"));
        ClickBox(m_form->chkNum);
        QCOMPARE(Status(), QString());
        QCOMPARE(Reading(), QStringLiteral("数字:シチ"));
    }

    // Every way the edit's own text reaches the clipboard marks it secret, as the copy
    // button does; Ctrl+C and Ctrl+X are filtered out and put nothing there.
    void editCopiesAreSecret_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("left");
        QTest::newRow("Ctrl+Insert") << "ctrl+insert" << "k9" << "k9";
        QTest::newRow("Shift+Delete") << "shift+delete" << "k9" << "";
        QTest::newRow("menu copy") << "edit-copy" << "k9" << "k9";
        QTest::newRow("menu cut") << "edit-cut" << "k9" << "";
        QTest::newRow("Ctrl+C") << "ctrl+c" << "before" << "k9";
        QTest::newRow("Ctrl+X") << "ctrl+x" << "before" << "k9";
    }
    void editCopiesAreSecret()
    {
        QFETCH(QString, how);
        QFETCH(QString, clipboard);
        QFETCH(QString, left);
        Open();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClicks(m_form->edtPass, QStringLiteral("k9"));
        m_form->edtPass->SelectAll();
        if (how == u"ctrl+insert")
            QTest::keyClick(m_form->edtPass, Qt::Key_Insert, Qt::ControlModifier);
        else if (how == u"shift+delete")
            QTest::keyClick(m_form->edtPass, Qt::Key_Delete, Qt::ShiftModifier);
        else if (how == u"ctrl+c")
            QTest::keyClick(m_form->edtPass, Qt::Key_C, Qt::ControlModifier);
        else if (how == u"ctrl+x")
            QTest::keyClick(m_form->edtPass, Qt::Key_X, Qt::ControlModifier);
        else {
            std::unique_ptr<QMenu> menu(m_form->edtPass->CreateStandardContextMenu());
            QAction *action = menu->findChild<QAction *>(how);
            QVERIFY(action && action->isEnabled());
            action->trigger();
        }
        QCOMPARE(m_form->edtPass->Text(), left);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), clipboard);
        QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")),
                 clipboard == u"before" ? QByteArray() : QByteArrayLiteral("secret"));
    }

    // A clipboard that cannot be opened is reported as "NG" in the window only, and the
    // clipboard keeps what it held.
    void copyFails()
    {
        Open();
        QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
        QTest::keyClicks(m_form->edtPass, QStringLiteral("x"));
        const TestSeams::ClipboardOpenFailure locked(QStringLiteral("アクセスが拒否されました"));
        ClickButton(m_form->btnCopy);
        QCOMPARE(Status(), QStringLiteral("NG"));
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
    }

    // A kept "&" must be shown as itself in the result, not taken as an accelerator mark.
    void keptAmpersandIsShown()
    {
        Open();
        ClickBox(m_form->chkKigou);
        QTest::keyClicks(m_form->edtPass, QStringLiteral("a&b"));
        QCOMPARE(Reading(), QStringLiteral("小文字:エー、記号:&、小文字:ビー"));
        QVERIFY(!m_form->lblEGkekka->ShowAccelChar());
        QVERIFY(!m_form->lblCopyKekka->ShowAccelChar());
        QVERIFY(m_form->EllipsLabel1->ShowAccelChar());
    }

    // insertClass governs classEachCharacter's enabled state, never its checked state.
    void optionDependency()
    {
        Open();
        QTest::keyClicks(m_form->edtPass, QStringLiteral("AB"));
        QCOMPARE(Reading(), QStringLiteral("大文字:エー、大文字:ビー"));
        ClickBox(m_form->chk1Mojisyu);
        QVERIFY(!m_form->chk1Mojisyu->GetChecked());
        QCOMPARE(Reading(), QStringLiteral("大文字:エー、ビー"));
        ClickBox(m_form->chkMojisyuIns);
        QVERIFY(!m_form->chk1Mojisyu->isEnabled());
        QVERIFY(!m_form->chk1Mojisyu->GetChecked());
        QCOMPARE(Reading(), QStringLiteral("エー、ビー"));
        ClickBox(m_form->chk1Mojisyu); // disabled: no click
        QVERIFY(!m_form->chk1Mojisyu->GetChecked());
        ClickBox(m_form->chkMojisyuIns);
        QVERIFY(m_form->chk1Mojisyu->isEnabled());
        QCOMPARE(Reading(), QStringLiteral("大文字:エー、ビー"));
        ClickBox(m_form->chkSepBlank);
        QCOMPARE(Reading(), QStringLiteral("大文字:エー ビー"));
    }

    // Each stored option reaches its own box and no other, and its box's state is what the
    // close stores under that key: a row that names the wrong box or key fails here.
    void eachOptionHasItsBox_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("box");
        QTest::newRow("MojiSyu") << 0 << "chkMojisyuIns";
        QTest::newRow("1Mojigoto") << 1 << "chk1Mojisyu";
        QTest::newRow("SepBlank") << 2 << "chkSepBlank";
        QTest::newRow("Num") << 3 << "chkNum";
        QTest::newRow("Kigou") << 4 << "chkKigou";
    }
    void eachOptionHasItsBox()
    {
        QFETCH(int, index);
        QFETCH(QString, box);
        const QList<int> defaults = {1, 1, 0, 0, 0};
        QList<int> stored = defaults;
        stored[index] = 1 - stored[index];
        const auto lines = [](const QList<int> &flags) {
            return SettingsFile(120, 80, {flags[0], flags[1], flags[2], flags[3], flags[4]});
        };
        QVERIFY(WriteBytes(IniPath(), lines(stored)));
        TfmKanavox *f = Open();
        const QList<TAdvOfficeCheckBox *> boxes = {f->chkMojisyuIns, f->chk1Mojisyu, f->chkSepBlank,
                                                   f->chkNum, f->chkKigou};
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(int(boxes.at(i)->GetChecked()), stored.at(i));
        ClickBox(f->findChild<TAdvOfficeCheckBox *>(box));
        QVERIFY(f->close());
        QCOMPARE(ReadBytes(IniPath()),
                 SettingsFile(f->y(), f->x(), {1, 1, 0, 0, 0}));
    }

    // Every kind of close request writes the same eleven lines.
    void closeRequestsSave_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("exit button") << "button";
        QTest::newRow("close box") << "window";
        QTest::newRow("close()") << "close";
        QTest::newRow("session end") << "session";
    }
    void closeRequestsSave()
    {
        QFETCH(QString, how);
        TfmKanavox *f = Open();
        f->move(80, 120);
        ClickBox(f->chkNum);
        if (how == QLatin1String("button")) {
            ClickButton(f->btnEnd);
            QVERIFY(!f->isVisible());
        } else if (how == QLatin1String("window")) {
            QCloseEvent ev;
            QCoreApplication::sendEvent(f->windowHandle(), &ev);
            QVERIFY(!f->isVisible());
        } else if (how == QLatin1String("close")) {
            QVERIFY(f->close());
        } else {
            QVERIFY(f->SessionEnding());
        }
        QCOMPARE(ReadBytes(IniPath()),
                 SettingsFile(f->y(), f->x(), {1, 1, 0, 1, 0}));
        QCOMPARE(f->pos(), QPoint(80, 120));
    }

    // An unreadable file at start is reported; the window then starts as if none existed.
    void unreadableAtStart()
    {
        QVERIFY(WriteBytes(IniPath(), SettingsFile(50, 60, {0, 0, 1, 1, 1})));
        const TestSeams::FileSystemFault locked(FileSystem::Fault::OpenForRead, EACCES);
        TfmKanavox *f = Open();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].caption, QStringLiteral("Kanavox"));
        QCOMPARE(m_boxes[0].text, QStringLiteral("ファイル %1 は開けません。 %2 ")
                                      .arg(QDir::toNativeSeparators(IniPath()), SysErrorMessage(EACCES)));
        QCOMPARE(f->pos(), QPoint(0, 0));
        QVERIFY(f->chkMojisyuIns->GetChecked());
        QVERIFY(f->chk1Mojisyu->GetChecked());
        QVERIFY(!f->chkKigou->GetChecked());
        QCOMPARE(f->edtPass->Text(), QString());
        QCOMPARE(Reading(), QString());
        // Still unreadable at close: the same message, and the window stays open.
        QVERIFY(!f->close());
        QVERIFY(f->isVisible());
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[1].text, m_boxes[0].text);
    }

    // A location that cannot be written keeps the window open; each retry fails alike
    // and the old file stays as it was.
    void unwritableAtClose_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("directory in the way") << "dir";
        QTest::newRow("injected create failure") << "inject";
    }
    void unwritableAtClose()
    {
        QFETCH(QString, how);
        int err = 0;
        QByteArray old;
        if (how == QLatin1String("dir")) {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kanavox.ini")));
        } else {
            old = SettingsFile(1, 2, {1, 1, 0, 0, 0});
            QVERIFY(WriteBytes(IniPath(), old));
        }
        TfmKanavox *f = Open();
        std::optional<TestSeams::FileSystemFault> full;
        if (how == QLatin1String("inject")) {
            err = ENOSPC;
            full.emplace(FileSystem::Fault::Create, err);
        }
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt == 1)
                ClickButton(f->btnEnd);
            else
                QVERIFY(!f->close());
            QVERIFY(f->isVisible());
        }
        QCOMPARE(m_boxes.size(), 3);
        const QString prefix = QStringLiteral("ファイル \"%1\" を作成できません。").arg(QDir::toNativeSeparators(IniPath()));
        for (const Box &b : std::as_const(m_boxes)) {
            QCOMPARE(b.caption, QStringLiteral("Kanavox"));
            QVERIFY2(b.text.startsWith(prefix), qPrintable(b.text));
            QVERIFY(b.text.endsWith(QLatin1Char('.')));
            QCOMPARE(b.text, m_boxes[0].text);
        }
        if (err)
            QCOMPARE(m_boxes[0].text, prefix + SysErrorMessage(err) + QLatin1Char('.'));
        else
            QVERIFY(QFileInfo(IniPath()).isDir());
        if (!old.isEmpty())
            QCOMPARE(ReadBytes(IniPath()), old);
        // Once the cause is gone the next close succeeds.
        full.reset();
        if (how == QLatin1String("dir"))
            QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("Kanavox.ini")));
        QVERIFY(f->close());
        QVERIFY(ReadBytes(IniPath()).startsWith("[Position]\r\n"));
    }
};

int main(int argc, char **argv)
{
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    TestMainWindow t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_mainwindow.moc"
