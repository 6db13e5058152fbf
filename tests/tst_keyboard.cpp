// Key events translated into the key code and characters the widget set's handlers see.
#include "Keyboard.h"

#include <QKeyEvent>
#include <QTest>

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void translate_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("chars");

        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        QTest::newRow("small letter") << int(Qt::Key_A) << none << "a" << 65 << "a";
        QTest::newRow("capital letter") << int(Qt::Key_A) << shift << "A" << 65 << "A";
        QTest::newRow("ctrl+v") << int(Qt::Key_V) << ctrl << "v" << 86 << "\x16";
        QTest::newRow("ctrl+shift+v") << int(Qt::Key_V) << (ctrl | shift) << "V" << 86 << "\x16";
        QTest::newRow("ctrl+x11 control text") << int(Qt::Key_C) << ctrl << "\x03" << 67 << "\x03";
        QTest::newRow("alt+v: accelerator") << int(Qt::Key_V) << alt << "v" << 86 << "";
        QTest::newRow("ctrl+alt+v") << int(Qt::Key_V) << (ctrl | alt) << "v" << 86 << "";
        QTest::newRow("digit") << int(Qt::Key_1) << none << "1" << 49 << "1";
        QTest::newRow("keypad digit") << int(Qt::Key_1) << int(Qt::KeypadModifier) << "1" << 0x61 << "1";
        QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << shift << "!" << 49 << "!";
        QTest::newRow("ampersand") << int(Qt::Key_Ampersand) << shift << "&" << 55 << "&";
        QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-" << 0xBD << "-";
        QTest::newRow("yen") << int(Qt::Key_yen) << none << "¥" << 0xDC << "¥";
        QTest::newRow("delete gives no DEL") << int(Qt::Key_Delete) << none << "\x7f" << 46 << "";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "\b" << 8 << "\b";
        QTest::newRow("ctrl+backspace") << int(Qt::Key_Backspace) << ctrl << "" << 8 << "\x7f";
        QTest::newRow("enter") << int(Qt::Key_Return) << none << "\r" << 13 << "\r";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 13 << "\r";
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << "\x1b" << 27 << "\x1b";
        QTest::newRow("left arrow") << int(Qt::Key_Left) << none << "" << 37 << "";
        QTest::newRow("shift+insert") << int(Qt::Key_Insert) << shift << "" << 45 << "";
        QTest::newRow("F5") << int(Qt::Key_F5) << none << "" << 0x74 << "";
        QTest::newRow("foreign letter: no key code") << int(Qt::Key_Adiaeresis) << none << "ä" << 0 << "ä";
        QTest::newRow("two code units") << int(Qt::Key_unknown) << none << "\U0001F600" << 0 << "\U0001F600";
    }
    void translate()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, chars);
        const QKeyEvent e(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(int(VirtualKeyOf(&e)), code);
        QCOMPARE(CharactersOf(&e), chars);
    }
};

QTEST_GUILESS_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
