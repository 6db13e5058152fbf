// The edit's text model without a widget: editing, caret steps, undo steps and limits.
#include "EditText.h"

#include <QTest>

namespace {

// Runs a script of edits separated by "|": "t:abc" types each character, "p:abc" inserts
// the whole text at once as a paste does, "bs"/"del" (with "^": by word), "L" "R" "H" "E"
// (with "^": by word / whole text, with "+": extending), "all", "rm", "undo", "ro",
// "max:N", "ss:start,length", "set:text". Gives the change of the last edit.
TEditText::Change Run(TEditText &t, const QString &script)
{
    TEditText::Change last;
    for (const QString &op : script.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QString arg = op.section(QLatin1Char(':'), 1);
        const bool extend = op.startsWith(QLatin1Char('+'));
        const bool ctrl = op.contains(QLatin1Char('^'));
        const QString name = QString(op.section(QLatin1Char(':'), 0, 0)).remove(QLatin1Char('+')).remove(QLatin1Char('^'));
        if (name == QLatin1String("t")) {
            for (int i = 0; i < arg.size(); ++i) {
                const int n = arg.at(i).isHighSurrogate() ? 2 : 1;
                last = t.Insert(arg.mid(i, n));
                i += n - 1;
            }
        } else if (name == QLatin1String("p")) {
            last = t.Insert(arg);
        } else if (name == QLatin1String("bs")) {
            last = t.DeleteBackward(ctrl);
        } else if (name == QLatin1String("del")) {
            last = t.DeleteForward(ctrl);
        } else if (name == QLatin1String("L")) {
            t.MoveLeft(ctrl, extend);
        } else if (name == QLatin1String("R")) {
            t.MoveRight(ctrl, extend);
        } else if (name == QLatin1String("H")) {
            t.MoveHome(ctrl, extend);
        } else if (name == QLatin1String("E")) {
            t.MoveEnd(ctrl, extend);
        } else if (name == QLatin1String("all")) {
            t.SelectAll();
        } else if (name == QLatin1String("rm")) {
            last = t.RemoveSelection();
        } else if (name == QLatin1String("undo")) {
            last = t.Undo();
        } else if (name == QLatin1String("ro")) {
            t.SetReadOnly(true);
        } else if (name == QLatin1String("max")) {
            t.SetMaxLength(arg.toInt());
        } else if (name == QLatin1String("ss")) {
            t.SetSelection(arg.section(QLatin1Char(','), 0, 0).toInt(), arg.section(QLatin1Char(','), 1).toInt());
        } else if (name == QLatin1String("set")) {
            last = t.SetText(arg);
        } else {
            qFatal("unknown step %s", qPrintable(op));
        }
    }
    return last;
}

const QString kEmoji = QStringLiteral("\U0001F600"); // one code point, two UTF-16 units

// Every place the caret stops at, stepping from `from` with `step` until it stays put.
QList<int> Stops(const QString &text, int from, int (TEditText::*step)(int) const)
{
    TEditText t;
    t.SetText(text);
    QList<int> stops;
    for (int pos = from, i = 0; i < 50; ++i) {
        const int next = (t.*step)(pos);
        if (next == pos)
            break;
        stops << next;
        pos = next;
    }
    return stops;
}

} // namespace

class TestEditText : public QObject {
    Q_OBJECT

    // A row's text, anchor and cursor to start from and the script to run on them.
    static void InputColumns()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("script");
    }
    static TEditText::Change RunRow(TEditText &t)
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, cursor);
        QFETCH(QString, script);
        t.SetText(text);
        t.Select(anchor, cursor);
        return Run(t, script);
    }

    static void ScriptColumns()
    {
        InputColumns();
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<int>("expectedAnchor");
        QTest::addColumn<int>("expectedCursor");
        QTest::addColumn<bool>("modified");
    }

    static void RunScript()
    {
        TEditText t;
        RunRow(t);
        QTEST(t.Text(), "expectedText");
        QTEST(t.Anchor(), "expectedAnchor");
        QTEST(t.Cursor(), "expectedCursor");
        QTEST(t.Modified(), "modified");
    }

private slots:
    void editing_data()
    {
        ScriptColumns();
        const QString crlf = QStringLiteral("a\r\nb");
        QTest::newRow("type at the caret") << "ab" << 1 << 1 << "t:xy" << "axyb" << 3 << 3 << true;
        QTest::newRow("type over a selection") << "abcd" << 1 << 3 << "t:X" << "aXd" << 2 << 2 << true;
        QTest::newRow("type over a backward selection") << "abcd" << 3 << 1 << "t:X" << "aXd" << 2 << 2 << true;
        QTest::newRow("type a surrogate pair") << "" << 0 << 0 << "t:" + kEmoji << kEmoji << 2 << 2 << true;
        QTest::newRow("backspace takes the selection only") << "abcd" << 1 << 3 << "bs" << "ad" << 1 << 1 << true;
        QTest::newRow("backspace at the start") << "ab" << 0 << 0 << "bs" << "ab" << 0 << 0 << false;
        QTest::newRow("backspace a surrogate pair") << "a" + kEmoji << 3 << 3 << "bs" << "a" << 1 << 1 << true;
        QTest::newRow("backspace leaves a mark's base") << "e\u0301" << 2 << 2 << "bs" << "e" << 1 << 1 << true;
        QTest::newRow("delete a whole cluster") << "e\u0301x" << 0 << 0 << "del" << "x" << 0 << 0 << true;
        QTest::newRow("delete at the end") << "ab" << 2 << 2 << "del" << "ab" << 2 << 2 << false;
        QTest::newRow("delete a CR LF at once") << crlf << 1 << 1 << "del" << "ab" << 1 << 1 << true;
        QTest::newRow("backspace a CR LF at once") << crlf << 3 << 3 << "bs" << "ab" << 1 << 1 << true;
        QTest::newRow("ctrl+backspace a word") << "foo bar" << 7 << 7 << "^bs" << "foo " << 4 << 4 << true;
        QTest::newRow("ctrl+backspace past blanks") << "foo bar  " << 9 << 9 << "^bs" << "foo " << 4 << 4 << true;
        QTest::newRow("ctrl+delete to the next word") << "foo bar" << 0 << 0 << "^del" << "bar" << 0 << 0 << true;
        QTest::newRow("selection end inside CR LF") << crlf << 0 << 0 << "ss:0,2" << crlf << 0 << 1 << false;
        QTest::newRow("caret inside CR LF") << crlf << 2 << 2 << "" << crlf << 1 << 1 << false;
        QTest::newRow("left collapses to the start") << "abcd" << 1 << 3 << "L" << "abcd" << 1 << 1 << false;
        QTest::newRow("right collapses to the end") << "abcd" << 3 << 1 << "R" << "abcd" << 3 << 3 << false;
        QTest::newRow("shift extends and shrinks") << "abcd" << 2 << 2 << "+L|+L|+R" << "abcd" << 2 << 1 << false;
        QTest::newRow("left at the start") << "ab" << 0 << 0 << "L" << "ab" << 0 << 0 << false;
        QTest::newRow("right over a surrogate pair") << kEmoji + "b" << 0 << 0 << "R" << kEmoji + "b" << 2 << 2 << false;
        QTest::newRow("right over CR LF") << crlf << 1 << 1 << "R" << crlf << 3 << 3 << false;
        QTest::newRow("home, shift+end of the line") << "ab\ncd\nef" << 4 << 4 << "H|+E" << "ab\ncd\nef" << 3 << 5 << false;
        QTest::newRow("ctrl+end, ctrl+shift+home") << "ab\ncd" << 4 << 4 << "^E|+^H" << "ab\ncd" << 5 << 0 << false;
        QTest::newRow("ctrl+left from a selection") << "foo bar baz" << 5 << 9 << "^L" << "foo bar baz" << 4 << 4 << false;
        QTest::newRow("ctrl+right from inside a word") << "foo bar" << 1 << 1 << "^R" << "foo bar" << 4 << 4 << false;
        QTest::newRow("select all") << "abc" << 1 << 1 << "all" << "abc" << 0 << 3 << false;
        QTest::newRow("remove the selection") << "abc" << 0 << 2 << "rm" << "c" << 0 << 0 << true;
        QTest::newRow("read-only refuses edits") << "abc" << 1 << 2 << "ro|t:x|p:yz|bs|del|rm" << "abc" << 1 << 2 << false;
        QTest::newRow("read-only moves the caret") << "abc" << 0 << 0 << "ro|+E" << "abc" << 0 << 3 << false;
        QTest::newRow("max length cuts a paste") << "abc" << 3 << 3 << "max:5|p:defg" << "abcde" << 5 << 5 << true;
        QTest::newRow("max length counts the selection") << "abc" << 1 << 2 << "max:4|p:XYZ" << "aXYc" << 3 << 3 << true;
        QTest::newRow("max length reached") << "abcd" << 4 << 4 << "max:4|t:x" << "abcd" << 4 << 4 << false;
        QTest::newRow("max length keeps pairs whole") << "a" << 1 << 1 << "max:2|p:" + kEmoji << "a" << 1 << 1 << false;
        QTest::newRow("set text resets") << "abc" << 1 << 3 << "t:x|set:xyz" << "xyz" << 0 << 0 << false;
    }
    void editing() { RunScript(); }

    // What one undo takes back, and where it leaves caret and selection.
    void undoSteps_data()
    {
        ScriptColumns();
        QTest::newRow("a typing run is one step") << "" << 0 << 0 << "t:abc|undo" << "" << 0 << 0 << true;
        QTest::newRow("a caret move ends the run") << "" << 0 << 0 << "t:ab|L|t:X|undo" << "ab" << 1 << 1 << true;
        QTest::newRow("then the first run") << "" << 0 << 0 << "t:ab|L|t:X|undo|undo" << "" << 0 << 0 << true;
        QTest::newRow("back at the run's end, it goes on") << "" << 0 << 0 << "t:ab|L|R|t:c|undo" << "" << 0 << 0 << true;
        QTest::newRow("a paste is its own step") << "" << 0 << 0 << "t:x|p:abc|undo" << "x" << 1 << 1 << true;
        QTest::newRow("typing after a paste") << "" << 0 << 0 << "p:abc|t:d|undo" << "abc" << 3 << 3 << true;
        QTest::newRow("typing over a selection") << "abc" << 0 << 3 << "t:x|t:y|undo" << "x" << 1 << 1 << true;
        QTest::newRow("the selection comes back") << "abc" << 0 << 3 << "t:x|t:y|undo|undo" << "abc" << 0 << 3 << true;
        QTest::newRow("a backward selection comes back") << "abcd" << 3 << 1 << "del|undo" << "abcd" << 3 << 1 << true;
        QTest::newRow("each backspace is a step") << "abc" << 3 << 3 << "bs|bs|undo" << "ab" << 2 << 2 << true;
        QTest::newRow("surrogate pairs join the run") << "" << 0 << 0 << "t:" + kEmoji + "a|undo" << "" << 0 << 0 << true;
        QTest::newRow("set text forgets the history") << "" << 0 << 0 << "t:ab|set:xy|undo" << "xy" << 0 << 0 << false;
        QTest::newRow("nothing to undo") << "ab" << 1 << 1 << "undo" << "ab" << 1 << 1 << false;
        QTest::newRow("read-only keeps the history") << "" << 0 << 0 << "t:ab|ro|undo" << "ab" << 2 << 2 << true;
    }
    void undoSteps() { RunScript(); }

    // The change each edit reports: the widget tells assistive technology and its owner.
    void changeReport_data()
    {
        InputColumns();
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("typing") << "ab" << 1 << 1 << "t:x" << 1 << "" << "x";
        QTest::newRow("over a selection") << "abcd" << 3 << 1 << "t:X" << 1 << "bc" << "X";
        QTest::newRow("backspace of a pair") << "a" + kEmoji << 3 << 3 << "bs" << 1 << kEmoji << "";
        QTest::newRow("undo of typing") << "ab" << 2 << 2 << "t:cd|undo" << 2 << "cd" << "";
        QTest::newRow("undo of a removal") << "abc" << 0 << 3 << "rm|undo" << 0 << "" << "abc";
        QTest::newRow("set text") << "ab" << 0 << 0 << "set:xy" << 0 << "ab" << "xy";
        QTest::newRow("set to the same text") << "ab" << 1 << 1 << "set:ab" << -1 << "" << "";
        QTest::newRow("backspace at the start") << "ab" << 0 << 0 << "bs" << -1 << "" << "";
        QTest::newRow("no room") << "ab" << 2 << 2 << "max:2|t:x" << -1 << "" << "";
        QTest::newRow("read-only") << "ab" << 0 << 2 << "ro|rm" << -1 << "" << "";
    }
    void changeReport()
    {
        TEditText t;
        const TEditText::Change change = RunRow(t);
        QTEST(change.position, "position");
        QTEST(change.removed, "removed");
        QTEST(change.inserted, "inserted");
    }

    // Left/Right from a position until the caret stops: every place it stops at. A
    // character that draws nothing has a sign of its own and is a stop of its own.
    void caretSteps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QList<int>>("stops");
        QTest::newRow("ascii") << "abc" << 0 << true << QList<int>{1, 2, 3};
        QTest::newRow("combining mark stays with its letter") << "e\u0301x" << 0 << true << QList<int>{2, 3};
        QTest::newRow("combining mark, back") << "e\u0301x" << 3 << false << QList<int>{2, 0};
        QTest::newRow("pair is one stop") << "a" + kEmoji + "b" << 0 << true << QList<int>{1, 3, 4};
        QTest::newRow("pair, back") << "a" + kEmoji + "b" << 4 << false << QList<int>{3, 1, 0};
        QTest::newRow("zero-width joiner apart") << "a\u200Db" << 0 << true << QList<int>{1, 2, 3};
        QTest::newRow("zero-width joiner apart, back") << "a\u200Db" << 3 << false << QList<int>{2, 1, 0};
        QTest::newRow("variation selector apart") << "\u2764\uFE0Fx" << 0 << true << QList<int>{1, 2, 3};
        QTest::newRow("variation selector apart, back") << "\u2764\uFE0Fx" << 3 << false << QList<int>{2, 1, 0};
        QTest::newRow("override") << "ab\u202Edc" << 0 << true << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("lone surrogate") << QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b") << 0 << true << QList<int>{1, 2, 3};
        QTest::newRow("CR LF one stop") << "a\r\nb" << 0 << true << QList<int>{1, 3, 4};
    }
    void caretSteps()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(bool, forward);
        QTEST(Stops(text, from, forward ? &TEditText::NextPosition : &TEditText::PreviousPosition), "stops");
    }

    // Ctrl+Left/Right from a position until the caret stops: every place it stops at.
    void wordSteps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QList<int>>("stops");
        QTest::newRow("ascii forward") << "foo  bar.baz" << 0 << true << QList<int>{5, 8, 9, 12};
        QTest::newRow("ascii back") << "foo  bar.baz" << 12 << false << QList<int>{9, 8, 5, 0};
        QTest::newRow("japanese forward") << "漢字かな、カナ_x1 ！" << 0 << true << QList<int>{4, 5, 11, 12};
        QTest::newRow("japanese back") << "漢字かな、カナ_x1 ！" << 12 << false << QList<int>{11, 5, 4, 0};
        QTest::newRow("long vowel mark is a letter") << "パス・ワード" << 0 << true << QList<int>{2, 3, 6};
        QTest::newRow("long vowel mark, back") << "パス・ワード" << 6 << false << QList<int>{3, 2, 0};
        QTest::newRow("combining mark inside a word") << "cafe\u0301 x" << 0 << true << QList<int>{6, 7};
        QTest::newRow("ideographic space") << "ab\u3000\u3000cd" << 0 << true << QList<int>{4, 6};
        QTest::newRow("line break is one stop") << "ab\r\ncd" << 0 << true << QList<int>{2, 4, 6};
        QTest::newRow("line break, back") << "ab\r\ncd" << 6 << false << QList<int>{4, 2, 0};
        QTest::newRow("pairs inside a word") << "a" + kEmoji + "b c" << 0 << true << QList<int>{5, 6};
        QTest::newRow("pairs inside a word, back") << "a" + kEmoji + "b c" << 6 << false << QList<int>{5, 0};
        QTest::newRow("leading blanks forward") << "  ab" << 0 << true << QList<int>{2, 4};
        QTest::newRow("leading blanks back") << "  ab" << 4 << false << QList<int>{2, 0};
    }
    void wordSteps()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(bool, forward);
        QTEST(Stops(text, from, forward ? &TEditText::NextWordStart : &TEditText::WordStartBefore), "stops");
    }

    // The word a double click selects.
    void wordAt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("inside") << "foo bar" << 5 << 4 << 7;
        QTest::newRow("at the end") << "foo bar" << 7 << 4 << 7;
        QTest::newRow("blanks") << "a   b" << 2 << 1 << 4;
        QTest::newRow("kanji") << "日本語、テスト" << 1 << 0 << 3;
        QTest::newRow("punctuation") << "日本語、テスト" << 3 << 3 << 4;
        QTest::newRow("line end") << "ab\ncd" << 2 << 0 << 2;
        QTest::newRow("empty line") << "ab\r\n\r\ncd" << 4 << 4 << 4;
    }
    void wordAt()
    {
        QFETCH(QString, text);
        QFETCH(int, pos);
        TEditText t;
        t.SetText(text);
        int start = -1, end = -1;
        t.WordAt(pos, &start, &end);
        QTEST(start, "start");
        QTEST(end, "end");
    }
};

QTEST_GUILESS_MAIN(TestEditText)
#include "tst_edittext.moc"
