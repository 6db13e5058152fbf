#include "Exceptions.h"
#include "FileSystem.h"
#include "IniFile.h"
#include "SysError.h"
#include "TestFiles.h"
#include "TestSeams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace {

const QString kMissing = QStringLiteral("<missing>");

// Sections "[S0]" to "[S<n-1>]", each with "k=<its number>".
QString Many(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("[S%1]\r\nk=%1\r\n").arg(i);
    return text;
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parse_data();
    void parse();
    void normalisedText_data();
    void normalisedText();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void writeKeepsPlaceAndSpelling();
    void decode_data();
    void decode();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void missingFileAndDirectory();
    void unreadableFile_data();
    void unreadableFile();
    void updateFileFailures_data();
    void updateFileFailures();
    void inPlaceWhenNoTemporary_data();
    void inPlaceWhenNoTemporary();
    void shortWritesStillComplete();

private:
    QTemporaryDir *m_dir = nullptr;
    std::unique_ptr<TestSeams::FileSystemFault> m_noFault;
    QString Path(const QString &name) const { return m_dir->filePath(name); }
};

void TestIniFile::init()
{
    m_noFault = std::make_unique<TestSeams::FileSystemFault>(FileSystem::Fault::None);
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void TestIniFile::cleanup()
{
    m_noFault.reset();
    delete m_dir;
    m_dir = nullptr;
}

void TestIniFile::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << u"[S]\r\nk=v\r\n"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("section other case") << u"[setting]\r\nk=v\r\n"_qs << u"Setting"_qs << u"k"_qs << u"v"_qs;
    // The section index must fold case as the comparison does, beyond ASCII too.
    QTest::newRow("section other case, Latin-1") << u"[\u00C4rger]\r\nk=v\r\n"_qs << u"\u00E4RGER"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("section other case, outside the BMP") << u"[\U00010400]\r\nk=v\r\n"_qs << u"\U00010428"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("section among many, other case") << (Many(3000) + u"[Wanted]\r\nk=v\r\n"_qs + Many(3000)) << u"wANTED"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("many sections, last one") << Many(3000) << u"s2999"_qs << u"k"_qs << u"2999"_qs;
    QTest::newRow("many sections, missing one") << Many(3000) << u"S3000"_qs << u"k"_qs << kMissing;
    QTest::newRow("key other case") << u"[S]\r\nmojisyu=0\r\n"_qs << u"S"_qs << u"MojiSyu"_qs << u"0"_qs;
    QTest::newRow("blanks around =") << u"[S]\r\n  k  =  v  \r\n"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("tabs and controls trimmed") << u"\t[S]\x01\r\n\tk\t=\tv\x1f\r\n"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("section name trimmed") << u"[  S \t]\r\nk=v\r\n"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("first = splits") << u"[S]\r\nk=a=b\r\n"_qs << u"S"_qs << u"k"_qs << u"a=b"_qs;
    QTest::newRow("empty value") << u"[S]\r\nk=\r\n"_qs << u"S"_qs << u"k"_qs << QString();
    QTest::newRow("LF only") << u"[S]\na=1\nk=v\n"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("CR only") << u"[S]\ra=1\rk=v\r"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("mixed breaks") << u"[S]\r\ra=1\n\nk=v"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("no final break") << u"[S]\r\nk=v"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("LF CR is two breaks") << u"[S]\n\rk=v"_qs << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("first of duplicate keys") << u"[S]\r\nk=1\r\nK=2\r\n"_qs << u"S"_qs << u"k"_qs << u"1"_qs;
    QTest::newRow("section seen again continues") << u"[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nk=v\r\n"_qs
                                                  << u"S"_qs << u"k"_qs << u"v"_qs;
    QTest::newRow("value not taken from later section") << u"[S]\r\n[T]\r\nk=v\r\n"_qs
                                                        << u"S"_qs << u"k"_qs << kMissing;
    QTest::newRow("lines before first section ignored") << u"k=v\r\n[S]\r\n"_qs << u"S"_qs << u"k"_qs << kMissing;
    QTest::newRow("comment ignored") << u"[S]\r\n;k=v\r\n"_qs << u"S"_qs << u"k"_qs << kMissing;
    QTest::newRow("indented comment ignored") << u"[S]\r\n   ;k=v\r\n"_qs << u"S"_qs << u";k"_qs << kMissing;
    QTest::newRow("bare line is no key") << u"[S]\r\nk\r\n"_qs << u"S"_qs << u"k"_qs << kMissing;
    QTest::newRow("bracket line not closed is an entry") << u"[S]\r\n[k=v\r\n"_qs << u"S"_qs << u"[k"_qs << u"v"_qs;
    // U+00A0 and U+3000 are not control codes: they stay part of key and value.
    QTest::newRow("no-break space kept") << u"[S]\r\nk=\u00A0v\u00A0\r\n"_qs << u"S"_qs << u"k"_qs << u"\u00A0v\u00A0"_qs;
    QTest::newRow("ideographic space kept") << u"[S]\r\n\u3000k=v\r\n"_qs << u"S"_qs << u"k"_qs << kMissing;
    QTest::newRow("empty section name") << u"[]\r\nk=v\r\n"_qs << QString() << u"k"_qs << u"v"_qs;
    QTest::newRow("missing section") << u"[S]\r\nk=v\r\n"_qs << u"T"_qs << u"k"_qs << kMissing;
    QTest::newRow("empty text") << QString() << u"S"_qs << u"k"_qs << kMissing;
    // U+FEFF inside the text is a character like any other, also where a line starts.
    QTest::newRow("U+FEFF leading a key") << u"[S]\r\n\uFEFFk=v\r\nk=w\r\n"_qs << u"S"_qs << u"k"_qs << u"w"_qs;
    QTest::newRow("U+FEFF leading the first line") << u"\uFEFF[S]\r\nk=v\r\n"_qs << u"S"_qs << u"k"_qs << kMissing;
}

void TestIniFile::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TMemIniFile ini(Path(u"none.ini"_qs));
    ini.SetText(text);
    QCOMPARE(ini.ReadString(section, key, kMissing), expected);
    // A file is parsed from its bytes as they lie: the same document as the decoded text.
    TMemIniFile loaded(Path(u"none.ini"_qs));
    loaded.SetBytes(TMemIniFile::Encode(text, TIniEncoding::Utf8));
    QCOMPARE(loaded.ReadString(section, key, kMissing), expected);
    QCOMPARE(loaded.Text(), ini.Text());
}

void TestIniFile::normalisedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // Nothing written: the document is the text as read, line for line.
    QTest::newRow("comment and blank lines kept")
        << u";note\r\n\r\n[A]\r\n; c\r\n\r\nx=1\r\n\r\n\r\n"_qs << u";note\r\n\r\n[A]\r\n; c\r\n\r\nx=1\r\n\r\n\r\n"_qs;
    QTest::newRow("unknown sections keep order")
        << u"[Z]\r\nz=1\r\n[A]\r\na=1\r\n[M]\r\nm=1\r\n"_qs << u"[Z]\r\nz=1\r\n[A]\r\na=1\r\n[M]\r\nm=1\r\n"_qs;
    QTest::newRow("repeated section stays where it was")
        << u"[A]\r\na=1\r\n[B]\r\nb=1\r\n[a]\r\nc=2\r\n"_qs << u"[A]\r\na=1\r\n[B]\r\nb=1\r\n[a]\r\nc=2\r\n"_qs;
    QTest::newRow("bare lines and blanks kept") << u"[A]\r\n  just text \r\nx = 1\r\n"_qs
                                                << u"[A]\r\n  just text \r\nx = 1\r\n"_qs;
    QTest::newRow("lines before first section kept") << u"orphan=1\n[A]\n"_qs << u"orphan=1\n[A]\n"_qs;
    QTest::newRow("empty section kept") << u"[A]\r\n[B]\r\n"_qs << u"[A]\r\n[B]\r\n"_qs;
    QTest::newRow("only a comment") << u";only a comment\r\n"_qs << u";only a comment\r\n"_qs;
}

void TestIniFile::normalisedText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TMemIniFile ini(Path(u"none.ini"_qs));
    ini.SetText(text);
    QCOMPARE(ini.Text(), expected);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    constexpr int d = 7; // the default, chosen so that no case parses to it

    QTest::newRow("decimal") << u"120"_qs << 120;
    QTest::newRow("negative") << u"-1200"_qs << -1200;
    QTest::newRow("plus sign") << u"+5"_qs << 5;
    QTest::newRow("leading zeros") << u"0012"_qs << 12;
    QTest::newRow("zero") << u"0"_qs << 0;
    QTest::newRow("minus zero") << u"-0"_qs << 0;
    QTest::newRow("dollar hex") << u"$1F"_qs << 31;
    QTest::newRow("0x hex") << u"0x1F"_qs << 31;
    QTest::newRow("0X hex lower digits") << u"0X1f"_qs << 31;
    QTest::newRow("0x20") << u"0x20"_qs << 32;
    QTest::newRow("int max") << u"2147483647"_qs << 2147483647;
    QTest::newRow("int min") << u"-2147483648"_qs << int(-2147483647 - 1);
    QTest::newRow("hex max") << u"$7FFFFFFF"_qs << 2147483647;
    QTest::newRow("int max + 1") << u"2147483648"_qs << d;
    QTest::newRow("int min - 1") << u"-2147483649"_qs << d;
    QTest::newRow("hex over") << u"0x80000000"_qs << d;
    QTest::newRow("huge decimal") << u"99999999999999999999999"_qs << d;
    QTest::newRow("huge hex") << u"$FFFFFFFFFFFFFFFFFFFF"_qs << d;
    QTest::newRow("true") << u"true"_qs << d;
    QTest::newRow("yes") << u"yes"_qs << d;
    QTest::newRow("empty") << QString() << d;
    QTest::newRow("fraction") << u"1.5"_qs << d;
    QTest::newRow("exponent") << u"1e3"_qs << d;
    QTest::newRow("inner blank") << u"1 2"_qs << d;
    QTest::newRow("sign alone") << u"-"_qs << d;
    QTest::newRow("dollar alone") << u"$"_qs << d;
    QTest::newRow("0x alone") << u"0x"_qs << d;
    QTest::newRow("hex without prefix") << u"1F"_qs << d;
    QTest::newRow("bad hex digit") << u"$1G"_qs << d;
    QTest::newRow("signed hex") << u"-$10"_qs << d;
    QTest::newRow("sign after prefix") << u"0x-1"_qs << d;
    QTest::newRow("double sign") << u"--1"_qs << d;
    QTest::newRow("full-width digits") << u"１２"_qs << d;
    QTest::newRow("Arabic-Indic digit") << u"\u0661"_qs << d;
    QTest::newRow("trailing text") << u"12px"_qs << d;
}

void TestIniFile::readInteger()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    TMemIniFile ini(Path(u"none.ini"_qs));
    ini.SetText(u"[S]\r\nk="_qs + value + u"\r\n"_qs);
    QCOMPARE(ini.ReadInteger(u"S"_qs, u"k"_qs, 7), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << u"[S]\nk=1"_qs << false << true;
    QTest::newRow("2 is checked") << u"[S]\nk=2"_qs << false << true;
    QTest::newRow("-1 is checked") << u"[S]\nk=-1"_qs << false << true;
    QTest::newRow("0x10 is checked") << u"[S]\nk=0x10"_qs << false << true;
    QTest::newRow("0") << u"[S]\nk=0"_qs << true << false;
    QTest::newRow("$0") << u"[S]\nk=$0"_qs << true << false;
    QTest::newRow("true gives default false") << u"[S]\nk=true"_qs << false << false;
    QTest::newRow("true gives default true") << u"[S]\nk=true"_qs << true << true;
    QTest::newRow("false gives default true") << u"[S]\nk=false"_qs << true << true;
    QTest::newRow("missing key, default true") << u"[S]\nj=0"_qs << true << true;
    QTest::newRow("missing section, default false") << u"[T]\nk=1"_qs << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QString, text);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    TMemIniFile ini(Path(u"none.ini"_qs));
    ini.SetText(text);
    QCOMPARE(ini.ReadBool(u"S"_qs, u"k"_qs, defaultValue), expected);
}

void TestIniFile::writeKeepsPlaceAndSpelling()
{
    TMemIniFile ini(Path(u"none.ini"_qs));
    ini.SetText(u"[setting]\r\nfirst=a\r\nmojisyu = 0\r\nbare\r\n[Other]\r\nx=1\r\n"_qs);
    ini.WriteBool(u"Setting"_qs, u"MojiSyu"_qs, true);
    ini.WriteBool(u"Setting"_qs, u"Num"_qs, false);
    ini.WriteInteger(u"OTHER"_qs, u"X"_qs, -3);
    ini.WriteInteger(u"Position"_qs, u"MainTop"_qs, 120);
    ini.WriteString(u"Position"_qs, u"MainTop"_qs, u"121"_qs);
    QCOMPARE(ini.Text(), u"[setting]\r\nfirst=a\r\nmojisyu=1\r\nbare\r\nNum=0\r\n"
                         u"[Other]\r\nx=-3\r\n\r\n"
                         u"[Position]\r\nMainTop=121\r\n\r\n"_qs);
    QCOMPARE(ini.Sections(), (QList<QString>{u"setting"_qs, u"Other"_qs, u"Position"_qs}));
    QVERIFY(ini.ValueExists(u"position"_qs, u"maintop"_qs));
    QVERIFY(!ini.ValueExists(u"setting"_qs, u"bare"_qs));
}

void TestIniFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    const auto bytes = [](const char *data, int size) { return QByteArray(data, size); };

    // Shorter than any mark, or the start of one: must not read past the end.
    QTest::newRow("0 bytes") << QByteArray() << int(TIniEncoding::Bytes) << QString();
    QTest::newRow("1 byte EF") << bytes("\xEF", 1) << int(TIniEncoding::Bytes) << u"\u00EF"_qs;
    QTest::newRow("1 byte FF") << bytes("\xFF", 1) << int(TIniEncoding::Bytes) << u"\u00FF"_qs;
    QTest::newRow("1 byte FE") << bytes("\xFE", 1) << int(TIniEncoding::Bytes) << u"\u00FE"_qs;
    QTest::newRow("2 bytes EF BB") << bytes("\xEF\xBB", 2) << int(TIniEncoding::Bytes)
                                   << u"\u00EF\u00BB"_qs;
    QTest::newRow("UTF-8 mark alone") << bytes("\xEF\xBB\xBF", 3) << int(TIniEncoding::Utf8) << QString();
    QTest::newRow("UTF-16LE mark alone") << bytes("\xFF\xFE", 2) << int(TIniEncoding::Utf16LE) << QString();
    QTest::newRow("UTF-16BE mark alone") << bytes("\xFE\xFF", 2) << int(TIniEncoding::Utf16BE) << QString();
    QTest::newRow("UTF-8") << bytes("\xEF\xBB\xBF[\xE8\xA8\xAD]", 8) << int(TIniEncoding::Utf8)
                           << u"[設]"_qs;
    QTest::newRow("UTF-16LE") << bytes("\xFF\xFE[\0\x2D\x8A]\0", 8) << int(TIniEncoding::Utf16LE)
                              << u"[設]"_qs;
    QTest::newRow("UTF-16BE") << bytes("\xFE\xFF\0[\x8A\x2D\0]", 8) << int(TIniEncoding::Utf16BE)
                              << u"[設]"_qs;
    QTest::newRow("UTF-16LE odd length") << bytes("\xFF\xFE" "A\0B", 5) << int(TIniEncoding::Utf16LE)
                                         << u"A\uFFFD"_qs;
    QTest::newRow("UTF-16BE 3 bytes") << bytes("\xFE\xFF\0", 3) << int(TIniEncoding::Utf16BE)
                                      << u"\uFFFD"_qs;
    QTest::newRow("no mark, high bytes") << bytes("\x93\xFA\x96\x7B\xA0", 5) << int(TIniEncoding::Bytes)
                                         << u"\u0093\u00FA\u0096\u007B\u00A0"_qs;
    QTest::newRow("no mark, NUL kept") << bytes("a\0b", 3) << int(TIniEncoding::Bytes) << u"a\0b"_qs;
}

void TestIniFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QString, text);
    TIniEncoding found = TIniEncoding::Utf8;
    QCOMPARE(TMemIniFile::Decode(bytes, &found), text);
    QCOMPARE(int(found), encoding);
}

// A file read, changed in one value and written back: the mark and encoding stay,
// and everything the program does not own comes back byte for byte.
void TestIniFile::encodingRoundTrip_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    const QString textBefore = u"[Foreign]\r\nname=設定ファイル\r\n\r\n[Setting]\r\nNum=0\r\n\r\n"_qs;
    const QString textAfter = u"[Foreign]\r\nname=設定ファイル\r\n\r\n[Setting]\r\nNum=1\r\n\r\n"_qs;
    const auto utf16 = [](const QString &text, bool le) {
        QByteArray b(le ? "\xFF\xFE" : "\xFE\xFF", 2);
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            b.append(le ? lo : hi);
            b.append(le ? hi : lo);
        }
        return b;
    };
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF" + textBefore.toUtf8())
                                << QByteArray("\xEF\xBB\xBF" + textAfter.toUtf8());
    QTest::newRow("UTF-16LE mark") << utf16(textBefore, true) << utf16(textAfter, true);
    QTest::newRow("UTF-16BE mark") << utf16(textBefore, false) << utf16(textAfter, false);
    // Shift_JIS "日本語" and CP1252 "é" and a no-break space: not decoded, not touched.
    const QByteArray foreign("[Foreign]\r\n\x93\xFA\x96\x7B\x8C\xEA=caf\xE9\xA0\r\n\r\n");
    QTest::newRow("no mark, foreign bytes") << QByteArray(foreign + "[Setting]\r\nNum=0\r\n\r\n")
                                            << QByteArray(foreign + "[Setting]\r\nNum=1\r\n\r\n");
    QTest::newRow("no mark, UTF-8 without mark") << QByteArray(textBefore.toUtf8())
                                                 << QByteArray(textAfter.toUtf8());
    QTest::newRow("empty file gets ASCII") << QByteArray() << QByteArray("[Setting]\r\nNum=1\r\n\r\n");
}

void TestIniFile::encodingRoundTrip()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = Path(u"round.ini"_qs);
    QVERIFY(WriteBytes(path, before));
    TMemIniFile ini(path);
    QCOMPARE(ini.ReadBool(u"Setting"_qs, u"Num"_qs, true), before.isEmpty());
    ini.WriteBool(u"Setting"_qs, u"Num"_qs, true);
    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), after);
}

void TestIniFile::missingFileAndDirectory()
{
    // A missing file and a directory in its place both load as an empty document.
    TMemIniFile missing(Path(u"missing.ini"_qs));
    QVERIFY(missing.Sections().isEmpty());
    QVERIFY(QDir(m_dir->path()).mkdir(u"dir.ini"_qs));
    TMemIniFile directory(Path(u"dir.ini"_qs));
    QVERIFY(directory.Sections().isEmpty());
    QCOMPARE(int(directory.Encoding()), int(TIniEncoding::Bytes));
}

void TestIniFile::unreadableFile_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("error");
    QTest::newRow("open denied") << int(FileSystem::Fault::OpenForRead) << EACCES;
    QTest::newRow("open busy") << int(FileSystem::Fault::OpenForRead) << EBUSY;
    QTest::newRow("read fails") << int(FileSystem::Fault::Read) << EIO;
}

void TestIniFile::unreadableFile()
{
    QFETCH(int, fault);
    QFETCH(int, error);
    const QString path = Path(u"locked.ini"_qs);
    QVERIFY(WriteBytes(path, "[S]\r\nk=1\r\n"));
    {
        const TestSeams::FileSystemFault locked(FileSystem::Fault(fault), error);
        try {
            TMemIniFile ini(path);
            QFAIL("an unreadable file loaded");
        } catch (const EFOpenError &e) {
            QCOMPARE(e.Message(), u"ファイル "_qs + path + u" は開けません。 "_qs + SysErrorMessage(error)
                                      + u" "_qs);
        }
    }
    // The fault went with its guard.
    QCOMPARE(TMemIniFile(path).ReadString(u"S"_qs, u"k"_qs, QString()), u"1"_qs);
}

void TestIniFile::updateFileFailures_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("error");
    QTest::newRow("create denied") << int(FileSystem::Fault::Create) << EACCES;
    QTest::newRow("disk full mid-write") << int(FileSystem::Fault::Write) << ENOSPC;
    QTest::newRow("file too big mid-write") << int(FileSystem::Fault::Write) << EFBIG;
    QTest::newRow("sync fails") << int(FileSystem::Fault::Sync) << EIO;
    QTest::newRow("stopped before rename") << int(FileSystem::Fault::BeforeRename) << EIO;
}

// Any failure on the way leaves the old file as it was and no temporary file behind.
void TestIniFile::updateFileFailures()
{
    QFETCH(int, fault);
    QFETCH(int, error);
    const QString path = Path(u"keep.ini"_qs);
    const QByteArray old("[Setting]\r\nNum=0\r\nlong=" + QByteArray(5000, 'x') + "\r\n\r\n");
    QVERIFY(WriteBytes(path, old));
    TMemIniFile ini(path);
    ini.WriteBool(u"Setting"_qs, u"Num"_qs, true);
    {
        const TestSeams::FileSystemFault failing(FileSystem::Fault(fault), error);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                ini.UpdateFile();
                QFAIL("a failed write reported success");
            } catch (const EFCreateError &e) {
                QCOMPARE(e.Message(), u"ファイル \""_qs + path + u"\" を作成できません。"_qs
                                          + SysErrorMessage(error));
            }
            QCOMPARE(ReadBytes(path), old);
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                     QStringList{u"keep.ini"_qs});
        }
    }
    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), QByteArray("[Setting]\r\nNum=1\r\nlong=" + QByteArray(5000, 'x') + "\r\n\r\n"));
}

static ino_t Inode(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void TestIniFile::inPlaceWhenNoTemporary_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::newRow("shorter file") << QByteArray("[Setting]\r\nNum=0\r\nlong=" + QByteArray(300, 'x') + "\r\n\r\n");
    QTest::newRow("longer file") << QByteArray("[Setting]\r\nNum=0\r\n\r\n");
}

// A folder that takes no temporary file still lets a writable file be saved, through its
// own inode and cut to the new length; without a file there is nothing to fall back on.
void TestIniFile::inPlaceWhenNoTemporary()
{
    QFETCH(QByteArray, old);
    const QString path = Path(u"kept.ini"_qs);
    QVERIFY(WriteBytes(path, old));
    const auto inode = Inode(path);
    TMemIniFile ini(path);
    ini.WriteBool(u"Setting"_qs, u"Num"_qs, true);
    ini.WriteString(u"Setting"_qs, u"grown"_qs, QString(40, u'y'));
    const TestSeams::FileSystemFault noTemporary(FileSystem::Fault::CreateTemporary, EACCES);
    ini.UpdateFile();
    const QByteArray expected = ini.Text().toLatin1();
    QCOMPARE(ReadBytes(path), expected);
    QCOMPARE(Inode(path), inode);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{u"kept.ini"_qs});

    TMemIniFile fresh(Path(u"new.ini"_qs));
    fresh.WriteBool(u"Setting"_qs, u"Num"_qs, true);
    try {
        fresh.UpdateFile();
        QFAIL("a new file was saved without a temporary file");
    } catch (const EFCreateError &e) {
        QCOMPARE(e.Message(), u"ファイル \""_qs + Path(u"new.ini"_qs) + u"\" を作成できません。"_qs
                                  + SysErrorMessage(EACCES));
    }
    QVERIFY(!QFileInfo::exists(Path(u"new.ini"_qs)));
}

// The write loop must go on after a partial write instead of taking it as the end.
void TestIniFile::shortWritesStillComplete()
{
    const QString path = Path(u"short.ini"_qs);
    TMemIniFile ini(path);
    ini.WriteInteger(u"Position"_qs, u"MainTop"_qs, 120);
    ini.WriteString(u"Other"_qs, u"Text"_qs, QString(300, u'z'));
    const TestSeams::FileSystemFault shortWrites(FileSystem::Fault::ShortWrites);
    ini.UpdateFile();
    QCOMPARE(ReadBytes(path), QByteArray("[Position]\r\nMainTop=120\r\n\r\n[Other]\r\nText=" + QByteArray(300, 'z')
                                         + "\r\n\r\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
