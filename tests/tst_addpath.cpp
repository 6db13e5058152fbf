#include "AddPath.h"

#include <QTest>

class TestAddPath : public QObject {
    Q_OBJECT

private slots:
    void addPath_data();
    void addPath();
    void strip_data();
    void strip();
    void platformSeparator();
};

namespace {

// Each case is written with "\" and checked with both separators: the "/" form
// swaps every "\" for "/" (none of the cases holds a "/" of its own).
struct Case {
    const char *name;
    const char *dir;
    const char *file;
    const char *expected;
};

const Case kAddPathCases[] = {
    {"dir ends, file starts", "C:\\a\\", "\\x.ini", "C:\\a\\x.ini"},
    {"neither", "C:\\a", "x.ini", "C:\\a\\x.ini"},
    {"only one separator removed", "C:\\a\\", "\\\\x.ini", "C:\\a\\\\x.ini"},
    {"empty dir", "", "x.ini", "x.ini"},
    {"empty dir, file starts", "", "\\x.ini", "x.ini"},
    {"empty file", "C:\\a", "", "C:\\a\\"},
    {"drive root", "C:\\", "Kanavox.ini", "C:\\Kanavox.ini"},
    {"dir ends, file plain", "C:\\a\\", "x.ini", "C:\\a\\x.ini"},
    {"dir plain, file starts", "C:\\a", "\\x.ini", "C:\\a\\x.ini"},
    {"dir doubled end kept", "C:\\a\\\\", "x.ini", "C:\\a\\\\x.ini"},
    {"both empty", "", "", ""},
    {"separator alone as dir", "\\", "x", "\\x"},
    {"separator alone as file", "C:\\a", "\\", "C:\\a\\"},
    {"empty dir, separator alone as file", "", "\\", ""},
    {"non-ASCII names", "C:\\設定", "かな.ini", "C:\\設定\\かな.ini"},
};

const Case kStripCases[] = {
    {"one leading", "", "\\x.ini", "x.ini"},
    {"only one of two", "", "\\\\x.ini", "\\x.ini"},
    {"separator alone", "", "\\", ""},
    {"empty", "", "", ""},
    {"none", "", "x.ini", "x.ini"},
    {"inner kept", "", "a\\b", "a\\b"},
    {"trailing kept", "", "a\\", "a\\"},
};

QString Slashed(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

void TestAddPath::addPath_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    for (const Case &c : kAddPathCases) {
        QTest::addRow("%s [\\]", c.name) << QChar(u'\\') << QString::fromUtf8(c.dir)
                                         << QString::fromUtf8(c.file)
                                         << QString::fromUtf8(c.expected);
        QTest::addRow("%s [/]", c.name) << QChar(u'/') << Slashed(c.dir) << Slashed(c.file)
                                        << Slashed(c.expected);
    }
    // The other platform's separator is an ordinary character.
    QTest::newRow("backslash is plain under /") << QChar(u'/') << u"C:\\a\\"_qs << u"\\x"_qs
                                                << u"C:\\a\\/\\x"_qs;
    QTest::newRow("slash is plain under \\") << QChar(u'\\') << u"/etc/"_qs << u"/x"_qs
                                             << u"/etc/\\/x"_qs;
}

void TestAddPath::addPath()
{
    QFETCH(QChar, separator);
    QFETCH(QString, dir);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(AddPathWith(dir, file, separator), expected);
}

void TestAddPath::strip_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    for (const Case &c : kStripCases) {
        QTest::addRow("%s [\\]", c.name) << QChar(u'\\') << QString::fromUtf8(c.file)
                                         << QString::fromUtf8(c.expected);
        QTest::addRow("%s [/]", c.name) << QChar(u'/') << Slashed(c.file) << Slashed(c.expected);
    }
}

void TestAddPath::strip()
{
    QFETCH(QChar, separator);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(StripLeadingSeparator(file, separator), expected);
}

// The public functions use this platform's separator, and only that one.
void TestAddPath::platformSeparator()
{
#ifdef Q_OS_WIN
    QCOMPARE(kPathSeparator, QChar(u'\\'));
    QCOMPARE(AddPath(u"C:\\"_qs, u"\\Kanavox.ini"_qs), u"C:\\Kanavox.ini"_qs);
    QCOMPARE(StripLeadingBackslash(u"\\x"_qs), u"x"_qs);
#else
    QCOMPARE(kPathSeparator, QChar(u'/'));
    QCOMPARE(AddPath(u"/"_qs, u"/Kanavox.ini"_qs), u"/Kanavox.ini"_qs);
    QCOMPARE(AddPath(u"/opt/kv"_qs, u"Kanavox.ini"_qs), u"/opt/kv/Kanavox.ini"_qs);
    QCOMPARE(AddPath(u"/opt/kv"_qs, u"\\x"_qs), u"/opt/kv/\\x"_qs);
    QCOMPARE(StripLeadingBackslash(u"/x"_qs), u"x"_qs);
    QCOMPARE(StripLeadingBackslash(u"\\x"_qs), u"\\x"_qs);
#endif
}

QTEST_GUILESS_MAIN(TestAddPath)
#include "tst_addpath.moc"
