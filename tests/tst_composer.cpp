#include "Characters.h"
#include "ReadingComposer.h"

#include <QTest>

// Option sets as the edge cases name them: what differs from the defaults.
namespace {

ReadingOptions Defaults()
{
    return ReadingOptions{};
}

ReadingOptions Opts(bool insertClass, bool classEach, bool blank, bool digits, bool symbols)
{
    ReadingOptions o;
    o.insertClass = insertClass;
    o.classEachCharacter = classEach;
    o.blankSeparator = blank;
    o.keepDigits = digits;
    o.keepSymbols = symbols;
    return o;
}

const ReadingOptions kRunPrefix = Opts(true, false, false, false, false);
const ReadingOptions kNoClass = Opts(false, true, false, false, false);

// The alphabet in its fixed order, written out independently of the composer.
const QString kAll76 = QStringLiteral(
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@?!#&()<>[]_\\/");

const char16_t *const kLetterReadings[26] = {
    u"エー", u"ビー", u"シー", u"ディー", u"イー", u"エフ", u"ジー", u"エイチ", u"アイ",
    u"ジェイ", u"ケイ", u"エル", u"エム", u"エヌ", u"オー", u"ピー", u"キュー", u"アール",
    u"エス", u"ティー", u"ユー", u"ヴィー", u"ダブリュー", u"エックス", u"ワイ", u"ズィー",
};
const char16_t *const kDigitReadings[10] = {
    u"ゼロ", u"イチ", u"ニ", u"サン", u"ヨン", u"ゴ", u"ロク", u"シチ", u"ハチ", u"キュー",
};
const char16_t *const kSymbolReadings[14] = {
    u"単価記号", u"疑問符", u"感嘆符", u"番号記号", u"アンパサンド", u"左小かっこ",
    u"右小かっこ", u"不等号（より小）", u"不等号（より大）", u"左大かっこ", u"右大かっこ",
    u"アンダースコア", u"円記号", u"スラッシュ",
};

} // namespace

Q_DECLARE_METATYPE(ReadingOptions)

class TestComposer : public QObject {
    Q_OBJECT

private slots:
    void compose_data();
    void compose();
    void indexOfWholeAlphabet();
    void indexRejectsLookalikes_data();
    void indexRejectsLookalikes();
    void classOf_data();
    void classOf();
    void allCharactersEveryReading();
    void prefixesAndParenthesesAreExactCodes();
    void fullReading_data();
    void fullReading();
    void fullReadingPerClass_data();
    void fullReadingPerClass();
    void fullReadingKeepsAlphabet();
    void fullReadingPieceCount_data();
    void fullReadingPieceCount();
    void piecesJoinToFullReading_data() { fullReading_data(); }
    void piecesJoinToFullReading();
    void pieces_data();
    void pieces();
    void characterCount_data();
    void characterCount();
};

void TestComposer::compose_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReadingOptions>("options");
    QTest::addColumn<QString>("expected");

    // The documented examples.
    QTest::newRow("abc defaults") << u"abc"_qs << Defaults()
                                  << u"小文字:エー、小文字:ビー、小文字:シー"_qs;
    QTest::newRow("Ab1 defaults") << u"Ab1"_qs << Defaults()
                                  << u"大文字:エー、小文字:ビー、数字:イチ"_qs;
    QTest::newRow("Ab1 run prefix") << u"Ab1"_qs << kRunPrefix
                                    << u"大文字:エー、小文字:ビー、数字:イチ"_qs;
    QTest::newRow("AB defaults") << u"AB"_qs << Defaults() << u"大文字:エー、大文字:ビー"_qs;
    QTest::newRow("AB run prefix") << u"AB"_qs << kRunPrefix << u"大文字:エー、ビー"_qs;
    QTest::newRow("AB no class") << u"AB"_qs << kNoClass << u"エー、ビー"_qs;
    QTest::newRow("AB1a run prefix") << u"AB1a"_qs << kRunPrefix
                                     << u"大文字:エー、ビー、数字:イチ、小文字:エー"_qs;
    QTest::newRow("A-B hyphen keeps class") << u"A-B"_qs << kRunPrefix << u"大文字:エー、ビー"_qs;
    QTest::newRow("A B blank skipped") << u"A B"_qs << Defaults() << u"大文字:エー、大文字:ビー"_qs;
    QTest::newRow("a1! blank, keep both, no class")
        << u"a1!"_qs << Opts(false, true, true, true, true) << u"エー 1 !"_qs;
    QTest::newRow("1@ keep both, prefixes stay")
        << u"1@"_qs << Opts(true, true, false, true, true) << u"数字:1、記号:@"_qs;
    QTest::newRow("9Q no class") << u"9Q"_qs << kNoClass << u"キュー、キュー"_qs;
    QTest::newRow("@ backslash defaults") << u"@\\"_qs << Defaults()
                                          << u"記号:単価記号、記号:円記号"_qs;
    QTest::newRow("xyz blank run prefix") << u"xyz"_qs << Opts(true, false, true, false, false)
                                          << u"小文字:エックス ワイ ズィー"_qs;
    QTest::newRow("a no class") << u"a"_qs << kNoClass << u"エー"_qs;
    QTest::newRow("A no class") << u"A"_qs << kNoClass << u"エー"_qs;
    QTest::newRow("A no class, classEach clear")
        << u"A"_qs << Opts(false, false, false, false, false) << u"エー"_qs;
    QTest::newRow("aA no class, classEach clear")
        << u"aA"_qs << Opts(false, false, false, false, false) << u"エー、エー"_qs;
    QTest::newRow("full-width letters only") << u"ＡＢｃ"_qs << Defaults() << QString();
    QTest::newRow("blanks only") << u"   "_qs << Defaults() << QString();

    // Our own.
    QTest::newRow("empty text") << QString() << Defaults() << QString();
    QTest::newRow("non-alphabet ASCII only") << u"-+=*%$^~`|{}:;\"',. \t\r\n"_qs << Defaults()
                                             << QString();
    QTest::newRow("yen sign is not backslash") << u"¥￥"_qs << Defaults() << QString();
    // A character outside the BMP arrives as two surrogate code units; neither is known.
    QTest::newRow("surrogate pair skipped") << (u"A"_qs + QString::fromUcs4(U"\U0001F600") + u"B"_qs)
                                            << kRunPrefix << u"大文字:エー、ビー"_qs;
    QTest::newRow("lone high surrogate skipped")
        << (QString(QChar(0xD83D)) + u"1"_qs) << Defaults() << u"数字:イチ"_qs;
    QTest::newRow("lone low surrogate skipped")
        << (u"1"_qs + QString(QChar(0xDE00))) << Defaults() << u"数字:イチ"_qs;
    QTest::newRow("leading unknown adds no separator") << u"--a"_qs << Defaults()
                                                       << u"小文字:エー"_qs;
    QTest::newRow("trailing unknown adds no separator") << u"a--"_qs << Defaults()
                                                        << u"小文字:エー"_qs;
    QTest::newRow("class returns after change") << u"A1B"_qs << kRunPrefix
                                                << u"大文字:エー、数字:イチ、大文字:ビー"_qs;
    QTest::newRow("keep digits only, symbols read") << u"7#"_qs << Opts(true, true, false, true, false)
                                                    << u"数字:7、記号:番号記号"_qs;
    QTest::newRow("keep symbols only, digits read") << u"7#"_qs << Opts(true, true, false, false, true)
                                                    << u"数字:シチ、記号:#"_qs;
    QTest::newRow("keep flags never touch letters") << u"Zz"_qs << Opts(true, true, false, true, true)
                                                    << u"大文字:ズィー、小文字:ズィー"_qs;
    QTest::newRow("symbol run gets one prefix") << u"<>()"_qs << kRunPrefix
        << u"記号:不等号（より小）、不等号（より大）、左小かっこ、右小かっこ"_qs;
    QTest::newRow("kept symbols run blank") << u"[]_/"_qs << Opts(true, false, true, false, true)
                                            << u"記号:[ ] _ /"_qs;
    QTest::newRow("digits 4 and 7") << u"47"_qs << kNoClass << u"ヨン、シチ"_qs;
    QTest::newRow("comma is not in the alphabet") << u"a,b"_qs << kNoClass << u"エー、ビー"_qs;
}

void TestComposer::compose()
{
    QFETCH(QString, text);
    QFETCH(ReadingOptions, options);
    QFETCH(QString, expected);
    QCOMPARE(ComposeReading(text, options), expected);
}

void TestComposer::indexOfWholeAlphabet()
{
    QCOMPARE(kAll76.size(), 76);
    for (int i = 0; i < kAll76.size(); ++i)
        QCOMPARE(ReadingIndexOf(kAll76.at(i)), i);
    // Every other code unit, exhaustively: a lookup table must not invent entries.
    for (int u = 0; u <= 0xFFFF; ++u) {
        const QChar ch = QChar(char16_t(u));
        if (!kAll76.contains(ch))
            QVERIFY2(ReadingIndexOf(ch) == -1, qPrintable(QString::number(u, 16)));
    }
}

void TestComposer::indexRejectsLookalikes_data()
{
    QTest::addColumn<QChar>("ch");
    // Each of these would be found by a folding or substring-based lookup.
    QTest::newRow("comma (the list's delimiter)") << QChar(u',');
    QTest::newRow("NUL") << QChar(u'\0');
    QTest::newRow("blank") << QChar(u' ');
    QTest::newRow("full-width A") << QChar(u'Ａ');
    QTest::newRow("full-width yen") << QChar(u'￥');
    QTest::newRow("yen sign") << QChar(u'¥');
    QTest::newRow("full-width left paren") << QChar(u'（');
    QTest::newRow("ideographic comma") << QChar(u'、');
    QTest::newRow("dotless i") << QChar(u'ı');
    QTest::newRow("Kelvin sign") << QChar(0x212A);
    QTest::newRow("high surrogate") << QChar(0xD800);
    QTest::newRow("low surrogate") << QChar(0xDFFF);
    QTest::newRow("A with acute") << QChar(u'Á');
}

void TestComposer::indexRejectsLookalikes()
{
    QFETCH(QChar, ch);
    QCOMPARE(ReadingIndexOf(ch), -1);
}

void TestComposer::classOf_data()
{
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << QChar(u'0') << 3;
    QTest::newRow("9") << QChar(u'9') << 3;
    QTest::newRow("A") << QChar(u'A') << 1;
    QTest::newRow("Z") << QChar(u'Z') << 1;
    QTest::newRow("a") << QChar(u'a') << 2;
    QTest::newRow("z") << QChar(u'z') << 2;
    // Neighbours of each range fall to the symbol class.
    QTest::newRow("slash before 0") << QChar(u'/') << 4;
    QTest::newRow("colon after 9") << QChar(u':') << 4;
    QTest::newRow("at before A") << QChar(u'@') << 4;
    QTest::newRow("bracket after Z") << QChar(u'[') << 4;
    QTest::newRow("backtick before a") << QChar(u'`') << 4;
    QTest::newRow("brace after z") << QChar(u'{') << 4;
    QTest::newRow("full-width digit") << QChar(u'１') << 4;
}

void TestComposer::classOf()
{
    QFETCH(QChar, ch);
    QFETCH(int, expected);
    QCOMPARE(ClassOf(ch), expected);
}

// Every character with its reading and its prefix: catches a shifted or mistyped
// table entry, which the examples above would miss for most of the 80 texts.
void TestComposer::allCharactersEveryReading()
{
    QStringList readings;
    QStringList prefixed;
    QStringList kept;
    for (int i = 0; i < 76; ++i) {
        QString reading;
        QString prefix;
        QString keptPiece;
        if (i < 26) {
            reading = QString::fromUtf16(kLetterReadings[i]);
            prefix = u"大文字:"_qs;
        } else if (i < 52) {
            reading = QString::fromUtf16(kLetterReadings[i - 26]);
            prefix = u"小文字:"_qs;
        } else if (i < 62) {
            reading = QString::fromUtf16(kDigitReadings[i - 52]);
            prefix = u"数字:"_qs;
        } else {
            reading = QString::fromUtf16(kSymbolReadings[i - 62]);
            prefix = u"記号:"_qs;
        }
        keptPiece = i < 52 ? reading : QString(kAll76.at(i));
        readings << reading;
        prefixed << prefix + reading;
        kept << prefix + keptPiece;
    }
    QCOMPARE(ComposeReading(kAll76, kNoClass), readings.join(u"、"_qs));
    QCOMPARE(ComposeReading(kAll76, Defaults()), prefixed.join(u"、"_qs));
    QCOMPARE(ComposeReading(kAll76, Opts(true, true, true, true, true)), kept.join(u" "_qs));

    // With run prefixes, exactly four prefixes appear, one at the start of each class.
    const QString runs = ComposeReading(kAll76, kRunPrefix);
    QCOMPARE(runs.count(u"大文字:"_qs), 1);
    QCOMPARE(runs.count(u"小文字:"_qs), 1);
    QCOMPARE(runs.count(u"数字:"_qs), 1);
    QCOMPARE(runs.count(u"記号:"_qs), 1);
    QVERIFY(runs.startsWith(u"大文字:エー、ビー"_qs));
    QVERIFY(runs.contains(u"ズィー、小文字:エー、ビー"_qs));
    QVERIFY(runs.contains(u"ズィー、数字:ゼロ、イチ"_qs));
    QVERIFY(runs.endsWith(u"キュー、記号:単価記号、疑問符、感嘆符、番号記号、アンパサンド、左小かっこ、"
                          u"右小かっこ、不等号（より小）、不等号（より大）、左大かっこ、右大かっこ、"
                          u"アンダースコア、円記号、スラッシュ"_qs));
}

// Half-width and full-width forms look alike in most fonts; check the code units.
void TestComposer::prefixesAndParenthesesAreExactCodes()
{
    const QString lt = ComposeReading(u"<"_qs, Defaults());
    QCOMPARE(lt.size(), 3 + 8);
    QCOMPARE(lt.at(2).unicode(), char16_t(0x003A));
    QCOMPARE(lt.at(6).unicode(), char16_t(0xFF08));
    QCOMPARE(lt.at(10).unicode(), char16_t(0xFF09));
    const QString two = ComposeReading(u"00"_qs, Defaults());
    QCOMPARE(two.at(two.indexOf(u"ゼロ"_qs) + 2).unicode(), char16_t(0x3001));
}

// Whole passwords as they are pasted: nothing left out, nothing merged.
void TestComposer::fullReading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReadingOptions>("options");
    QTest::addColumn<QString>("expected");
    const ReadingOptions blank = Opts(true, true, true, false, false);
    const QString pss = u"P@ss-w0rd.2024!"_qs;
    QTest::newRow("P@ss-w0rd.2024! defaults") << pss << Defaults()
        << u"大文字:ピー、記号:単価記号、小文字:エス、小文字:エス、記号:「-」、小文字:ダブリュー、数字:ゼロ、"
           u"小文字:アール、小文字:ディー、記号:「.」、数字:ニ、数字:ゼロ、数字:ニ、数字:ヨン、記号:感嘆符"_qs;
    QTest::newRow("P@ss-w0rd.2024! blank") << pss << blank
        << u"大文字:ピー 記号:単価記号 小文字:エス 小文字:エス 記号:「-」 小文字:ダブリュー 数字:ゼロ "
           u"小文字:アール 小文字:ディー 記号:「.」 数字:ニ 数字:ゼロ 数字:ニ 数字:ヨン 記号:感嘆符"_qs;
    QTest::newRow("P@ss-w0rd.2024! run prefix") << pss << kRunPrefix
        << u"大文字:ピー、記号:単価記号、小文字:エス、エス、記号:「-」、小文字:ダブリュー、数字:ゼロ、"
           u"小文字:アール、ディー、記号:「.」、数字:ニ、ゼロ、ニ、ヨン、記号:感嘆符"_qs;
    QTest::newRow("P@ss-w0rd.2024! keep both, no class") << pss << Opts(false, true, false, true, true)
        << u"ピー、@、エス、エス、「-」、ダブリュー、0、アール、ディー、「.」、2、0、2、4、!"_qs;
    QTest::newRow("ab cd defaults") << u"ab cd"_qs << Defaults()
        << u"小文字:エー、小文字:ビー、記号:「空白」、小文字:シー、小文字:ディー"_qs;
    QTest::newRow("ab cd blank") << u"ab cd"_qs << blank
        << u"小文字:エー 小文字:ビー 記号:「空白」 小文字:シー 小文字:ディー"_qs;
    QTest::newRow("full-width AB1 defaults") << u"ＡＢ１"_qs << Defaults() << u"記号:「Ａ」、記号:「Ｂ」、記号:「１」"_qs;
    QTest::newRow("full-width AB1 blank") << u"ＡＢ１"_qs << blank << u"記号:「Ａ」 記号:「Ｂ」 記号:「１」"_qs;
    // A run of symbols, readable or not, takes one prefix; a letter after it takes its own.
    QTest::newRow("A-B run prefix") << u"A-B"_qs << kRunPrefix << u"大文字:エー、記号:「-」、大文字:ビー"_qs;
    QTest::newRow("@-# run prefix") << u"@-#"_qs << kRunPrefix << u"記号:単価記号、「-」、番号記号"_qs;
    QTest::newRow("two lines, CR LF is one break") << u"ab\r\ncd"_qs << kNoClass
                                                   << u"エー、ビー、「改行」、シー、ディー"_qs;
    QTest::newRow("LF CR are two breaks") << u"\n\r"_qs << kNoClass << u"「改行」、「改行」"_qs;
    QTest::newRow("the separator pasted") << u"a、b"_qs << Defaults()
                                          << u"小文字:エー、記号:「、」、小文字:ビー"_qs;
    QTest::newRow("override inside") << u"ab\u202Edc"_qs << kNoClass << u"エー、ビー、「U+202E」、ディー、シー"_qs;
    QTest::newRow("combining mark after its letter") << u"e\u0301"_qs << Defaults()
                                                     << u"小文字:イー、記号:「U+0301」"_qs;
    QTest::newRow("emoji with its selector") << u"\u2764\uFE0F"_qs << kNoClass << u"「❤」、「U+FE0F」"_qs;
    QTest::newRow("empty text") << QString() << Defaults() << QString();
}

void TestComposer::fullReading()
{
    QFETCH(QString, text);
    QFETCH(ReadingOptions, options);
    QFETCH(QString, expected);
    QCOMPARE(ComposeFullReading(text, options), expected);
}

// Every pasted class between a letter and a digit, under each option that changes how a
// character without a reading is shown; the keep flags never touch it.
void TestComposer::fullReadingPerClass_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReadingOptions>("options");
    QTest::addColumn<QString>("expected");
    const struct {
        const char *row;
        QString pasted;
        QString name;
    } classes[] = {
        {"blank", u" "_qs, u"「空白」"_qs},
        {"tab", u"\t"_qs, u"「タブ」"_qs},
        {"CR", u"\r"_qs, u"「改行」"_qs},
        {"LF", u"\n"_qs, u"「改行」"_qs},
        {"CR LF", u"\r\n"_qs, u"「改行」"_qs},
        {"hyphen", u"-"_qs, u"「-」"_qs},
        {"full stop", u"."_qs, u"「.」"_qs},
        {"plus", u"+"_qs, u"「+」"_qs},
        {"equals", u"="_qs, u"「=」"_qs},
        {"dollar", u"$"_qs, u"「$」"_qs},
        {"percent", u"%"_qs, u"「%」"_qs},
        {"tilde", u"~"_qs, u"「~」"_qs},
        {"comma", u","_qs, u"「,」"_qs},
        {"colon", u":"_qs, u"「:」"_qs},
        {"semicolon", u";"_qs, u"「;」"_qs},
        {"double quote", u"\""_qs, u"「\"」"_qs},
        {"apostrophe", u"'"_qs, u"「'」"_qs},
        {"backquote", u"`"_qs, u"「`」"_qs},
        {"left brace", u"{"_qs, u"「{」"_qs},
        {"right brace", u"}"_qs, u"「}」"_qs},
        {"bar", u"|"_qs, u"「|」"_qs},
        {"caret", u"^"_qs, u"「^」"_qs},
        {"asterisk", u"*"_qs, u"「*」"_qs},
        {"yen sign U+00A5", u"¥"_qs, u"「¥」"_qs},
        {"full-width yen", u"￥"_qs, u"「￥」"_qs},
        {"full-width A", u"Ａ"_qs, u"「Ａ」"_qs},
        {"full-width a", u"ａ"_qs, u"「ａ」"_qs},
        {"full-width 1", u"１"_qs, u"「１」"_qs},
        {"Cyrillic a", u"\u0430"_qs, u"「\u0430」"_qs},
        {"Cyrillic O", u"\u041E"_qs, u"「\u041E」"_qs},
        {"Greek omicron", u"\u03BF"_qs, u"「\u03BF」"_qs},
        {"Greek capital alpha", u"\u0391"_qs, u"「\u0391」"_qs},
        {"emoji", QString::fromUcs4(U"\U0001F600"), u"「"_qs + QString::fromUcs4(U"\U0001F600") + u"」"_qs},
        {"lone high surrogate", QString(QChar(0xD83D)), u"「U+D83D」"_qs},
        {"lone low surrogate", QString(QChar(0xDE00)), u"「U+DE00」"_qs},
        {"right-to-left override", u"\u202E"_qs, u"「U+202E」"_qs},
        {"zero-width space", u"\u200B"_qs, u"「U+200B」"_qs},
        {"zero-width joiner", u"\u200D"_qs, u"「U+200D」"_qs},
        {"byte order mark", u"\uFEFF"_qs, u"「U+FEFF」"_qs},
        {"no-break space", u"\u00A0"_qs, u"「U+00A0」"_qs},
        {"ideographic space", u"\u3000"_qs, u"「U+3000」"_qs},
        {"NUL", QString(QChar(0)), u"「U+0000」"_qs},
        {"DEL", u"\u007F"_qs, u"「U+007F」"_qs},
        {"private use", u"\uE000"_qs, u"「U+E000」"_qs},
        {"plane 1 unassigned", QString::fromUcs4(U"\U0001FFFE"), u"「U+1FFFE」"_qs},
    };
    for (const auto &c : classes) {
        const QString text = u"a"_qs + c.pasted + u"1"_qs;
        const QString n = c.name;
        QTest::addRow("%s, defaults", c.row) << text << Defaults() << u"小文字:エー、記号:"_qs + n + u"、数字:イチ"_qs;
        QTest::addRow("%s, no class", c.row) << text << kNoClass << u"エー、"_qs + n + u"、イチ"_qs;
        QTest::addRow("%s, blank", c.row) << text << Opts(true, true, true, false, false)
                                          << u"小文字:エー 記号:"_qs + n + u" 数字:イチ"_qs;
        QTest::addRow("%s, keep both", c.row) << text << Opts(true, true, false, true, true)
                                              << u"小文字:エー、記号:"_qs + n + u"、数字:1"_qs;
        // Within a run of symbols, with prefixes only where the class changes.
        QTest::addRow("%s, symbol run", c.row) << u"!"_qs + c.pasted + u"!"_qs << kRunPrefix
                                               << u"記号:感嘆符、"_qs + n + u"、感嘆符"_qs;
        QTest::addRow("%s, alone, run prefix, blank", c.row) << c.pasted << Opts(true, false, true, false, false)
                                                             << u"記号:"_qs + n;
    }
}

void TestComposer::fullReadingPerClass()
{
    QFETCH(QString, text);
    QFETCH(ReadingOptions, options);
    QFETCH(QString, expected);
    QCOMPARE(ComposeFullReading(text, options), expected);
}

// The alphabet reads the same whether or not others keep their places.
void TestComposer::fullReadingKeepsAlphabet()
{
    for (int bits = 0; bits < 32; ++bits) {
        const ReadingOptions o = Opts(bits & 1, bits & 2, bits & 4, bits & 8, bits & 16);
        QCOMPARE(ComposeFullReading(kAll76, o), ComposeReading(kAll76, o));
        QCOMPARE(ComposeFullReading(u"Pa55w0rd"_qs, o), ComposeReading(u"Pa55w0rd"_qs, o));
    }
}

// One piece per character under every option set: split at the blank separator (no name
// holds a blank) the reading has exactly as many pieces as the edit has characters.
void TestComposer::fullReadingPieceCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("characters");
    QTest::newRow("P@ss-w0rd.2024!") << u"P@ss-w0rd.2024!"_qs << 15;
    QTest::newRow("non-alphabet ASCII") << u"-+=*%$^~`|{}:;\"',. \t"_qs << 20;
    QTest::newRow("line breaks") << u"a\r\nb\nc\rd"_qs << 7;
    QTest::newRow("look-alikes") << u"ＡＢ１\u0430\u03BF¥"_qs << 6;
    QTest::newRow("surrogates") << (QString::fromUcs4(U"\U0001F600") + QChar(0xD83D) + u"x"_qs + QChar(0xDE00)) << 4;
    QTest::newRow("invisibles") << u"a\u202Eb\u200Bc\u2066d\u2069"_qs << 8;
    QTest::newRow("blanks only") << u"   "_qs << 3;
}

void TestComposer::fullReadingPieceCount()
{
    QFETCH(QString, text);
    QFETCH(int, characters);
    QCOMPARE(CharacterCount(text), qsizetype(characters));
    for (int bits = 0; bits < 32; ++bits) {
        const ReadingOptions o = Opts(bits & 1, bits & 2, true, bits & 8, bits & 16);
        const QStringList pieces = ComposeFullReading(text, o).split(QLatin1Char(' '));
        QCOMPARE(pieces.size(), characters);
        for (const QString &piece : pieces)
            QVERIFY2(!piece.isEmpty(), qPrintable(ComposeFullReading(text, o)));
    }
}

void TestComposer::characterCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("lengths");
    QTest::newRow("plain") << u"ab"_qs << QList<int>{1, 1};
    QTest::newRow("pair") << QString::fromUcs4(U"a\U0001F600") << QList<int>{1, 2};
    QTest::newRow("high then high") << (QString(QChar(0xD83D)) + QChar(0xD83D) + QChar(0xDE00)) << QList<int>{1, 2};
    QTest::newRow("low then high") << (QString(QChar(0xDE00)) + QChar(0xD83D)) << QList<int>{1, 1};
    QTest::newRow("CR LF") << u"\r\n\n\r"_qs << QList<int>{2, 1, 1};
    QTest::newRow("mark apart") << u"e\u0301"_qs << QList<int>{1, 1};
}

void TestComposer::characterCount()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, lengths);
    QList<int> got;
    for (qsizetype i = 0; i < text.size(); i += CharacterLength(text, i))
        got << int(CharacterLength(text, i));
    QCOMPARE(got, lengths);
    QCOMPARE(CharacterCount(text), qsizetype(lengths.size()));
}

// The pieces are the full reading cut at its characters: joined by the separator they give
// it back, and they cover the text character by character with nothing left over.
void TestComposer::piecesJoinToFullReading()
{
    QFETCH(QString, text);
    QFETCH(ReadingOptions, options);
    const QList<TReadingPiece> pieces = ReadingPieces(text, options);
    QCOMPARE(qsizetype(pieces.size()), CharacterCount(text));
    QStringList joined;
    qsizetype next = 0;
    for (const TReadingPiece &p : pieces) {
        QCOMPARE(p.start, next);
        QVERIFY(p.length > 0);
        next += p.length;
        joined << p.prefix + p.reading;
    }
    QCOMPARE(next, text.size());
    QCOMPARE(joined.join(options.blankSeparator ? u" "_qs : u"、"_qs), ComposeFullReading(text, options));
}

// Each piece on its own: "class prefix reading" per character, "|" between characters, the
// prefix empty where none is inserted.
void TestComposer::pieces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ReadingOptions>("options");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Ab1 defaults") << u"Ab1"_qs << Defaults() << u"1 大文字: エー|2 小文字: ビー|3 数字: イチ"_qs;
    QTest::newRow("A-B run prefix") << u"A-B"_qs << kRunPrefix << u"1 大文字: エー|4 記号: 「-」|1 大文字: ビー"_qs;
    QTest::newRow("@-# run prefix") << u"@-#"_qs << kRunPrefix << u"4 記号: 単価記号|4  「-」|4  番号記号"_qs;
    QTest::newRow("a1! kept, no class") << u"a1!"_qs << Opts(false, true, false, true, true)
                                        << u"2  エー|3  1|4  !"_qs;
    QTest::newRow("CR LF one piece") << u"a\r\n"_qs
                                     << Defaults() << u"2 小文字: エー|4 記号: 「改行」"_qs;
}

void TestComposer::pieces()
{
    QFETCH(QString, text);
    QFETCH(ReadingOptions, options);
    QFETCH(QString, expected);
    QStringList got;
    for (const TReadingPiece &p : ReadingPieces(text, options))
        got << QStringLiteral("%1 %2 %3").arg(p.cls).arg(p.prefix, p.reading);
    QCOMPARE(got.join(QLatin1Char('|')), expected);
}

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
