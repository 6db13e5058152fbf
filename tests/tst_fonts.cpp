// Font substitution as the controls see it: which installed face each design name of the
// layout ends up drawing with, whether that face keeps the design's metrics, and what a
// name that nothing on the machine provides falls back to.
#include "FontWarmup.h"
#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QRawFont>
#include <QTest>

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    // Catches a substitution that is not registered, a wrong face in the table, or a
    // family name returned in another spelling than the font database's.
    void resolvesTo_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("family");
        QTest::newRow("full-width MS Gothic") << QStringLiteral("ＭＳ ゴシック") << QStringLiteral("IPAGothic");
        QTest::newRow("ASCII MS Gothic") << QStringLiteral("MS Gothic") << QStringLiteral("IPAGothic");
        QTest::newRow("Tahoma from wine") << QStringLiteral("Tahoma") << QStringLiteral("Tahoma");
        QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
    }
    void resolvesTo()
    {
        QFETCH(QString, design);
        QFETCH(QString, family);
        QCOMPARE(ResolvedFontFamily(design), family);
        QVERIFY(FontFamilyFound(design));
        // What Qt actually matched for a font made from the design name.
        for (int px : {11, 15, 16}) {
            const QFontInfo info(MakePixelFont(design, px));
            QCOMPARE(info.family(), family);
            QCOMPARE(info.pixelSize(), px);
        }
    }

    // fontconfig does not index wine's Tahoma; it must come from the file we load.
    void tahomaIsWinesFile()
    {
        EnsureFontSubstitutions();
        const QString path = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (!QFile::exists(path))
            QSKIP("fonts-wine is not installed");
        const int id = QFontDatabase::addApplicationFont(path); // same file again: same family
        QVERIFY(id >= 0);
        QVERIFY(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Tahoma")));
    }

    // Answers are kept between calls; they must follow the font database when it changes.
    void resolutionFollowsDatabaseChanges()
    {
        const QString path = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (!QFile::exists(path))
            QSKIP("fonts-wine is not installed");
        const QString tahoma = QStringLiteral("Tahoma");
        QCOMPARE(ResolvedFontFamily(tahoma), tahoma);
        QVERIFY(QFontDatabase::removeAllApplicationFonts());
        const QString fallback = ResolvedFontFamily(tahoma);
        QVERIFY2(fallback != tahoma, qPrintable(fallback));
        QVERIFY(QFontDatabase::addApplicationFont(path) >= 0);
        QCOMPARE(ResolvedFontFamily(tahoma), tahoma);
    }

    // The layout was designed on a fixed-pitch Japanese face: every half-width character
    // is 8 pixels and every full-width one 16 at 16 pixels. A proportional substitute
    // would overflow the labels and captions.
    void gothicAdvances_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("advance");
        QTest::newRow("A") << QStringLiteral("A") << 8;
        QTest::newRow("W") << QStringLiteral("W") << 8;
        QTest::newRow("i") << QStringLiteral("i") << 8;
        QTest::newRow("digit 1") << QStringLiteral("1") << 8;
        QTest::newRow("blank") << QStringLiteral(" ") << 8;
        QTest::newRow("at sign") << QStringLiteral("@") << 8;
        QTest::newRow("katakana e") << QStringLiteral("エ") << 16;
        QTest::newRow("long vowel") << QStringLiteral("ー") << 16;
        QTest::newRow("kanji") << QStringLiteral("結") << 16;
        QTest::newRow("full-width at") << QStringLiteral("＠") << 16;
        QTest::newRow("ideographic space") << QStringLiteral("\u3000") << 16;
        QTest::newRow("caption パスワード") << QStringLiteral("パスワード") << 80;
    }
    void gothicAdvances()
    {
        QFETCH(QString, text);
        QFETCH(int, advance);
        const QFontMetrics fm(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        QCOMPARE(fm.horizontalAdvance(text), advance);
    }

    // Liberation Sans stands in for Arial only while its advances equal Arial's own
    // (in font units of a 2048 em).
    void arialMetrics_data()
    {
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<int>("units");
        QTest::newRow("A") << QChar(u'A') << 1366;
        QTest::newRow("a") << QChar(u'a') << 1139;
        QTest::newRow("W") << QChar(u'W') << 1933;
        QTest::newRow("blank") << QChar(u' ') << 569;
        QTest::newRow("semicolon") << QChar(u';') << 569;
    }
    void arialMetrics()
    {
        QFETCH(QChar, ch);
        QFETCH(int, units);
        const QRawFont raw = QRawFont::fromFont(MakePixelFont(QStringLiteral("Arial"), 2048));
        QCOMPARE(raw.unitsPerEm(), 2048.0);
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString(ch));
        QCOMPARE(glyphs.size(), 1);
        QVERIFY(glyphs.first() != 0);
        QCOMPARE(qRound(raw.advancesForGlyphIndexes(glyphs).first().x()), units);
    }

    // A name nobody provides is reported as not found (the controls then pick their own
    // replacement), and a font made from it still draws at the asked height.
    // The start-up's warm-up may be dropped without waiting (main() returning early on a
    // failure); it must end with its owner and leave the fonts as they were.
    void warmupEndsWithItsOwner()
    {
        // The work handed to the warm-up (the icon's decoding) runs once, also when the
        // owner ends without waiting.
        int runs = 0;
        {
            TFontWarmup warmup([&runs] { ++runs; });
        }
        QCOMPARE(runs, 1);
        TFontWarmup warmup([&runs] { ++runs; });
        warmup.Wait();
        warmup.Wait();
        QCOMPARE(runs, 2);
        const QFontMetrics fm(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        QCOMPARE(fm.horizontalAdvance(QStringLiteral("A")), 8);
    }

    void missingFaceFallsBack()
    {
        const QString missing = QStringLiteral("Kanavox No Such Face");
        QVERIFY(ResolvedFontFamily(missing).isEmpty());
        QVERIFY(!FontFamilyFound(missing));
        const QFont f = MakePixelFont(missing, 16);
        const QFontInfo info(f);
        QVERIFY(QFontDatabase::hasFamily(info.family()));
        QCOMPARE(info.pixelSize(), 16);
        QVERIFY(QFontMetrics(f).horizontalAdvance(QStringLiteral("Kanavox")) > 0);
    }

    // Japanese text in a face without Japanese glyphs goes straight to the design's
    // Japanese face; anything the face itself might draw stays with it, so mixed lines keep
    // their metrics. Catches a range that lets Latin text through or a size or style lost.
    void japaneseTextFace_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("switches");
        QTest::newRow("kanji in Tahoma") << QStringLiteral("Tahoma") << QStringLiteral("結果") << true;
        QTest::newRow("katakana and long vowel in Arial") << QStringLiteral("Arial") << QStringLiteral("パスワード") << true;
        QTest::newRow("full-width brackets and ideographic space") << QStringLiteral("Tahoma") << QStringLiteral("（　）＠") << true;
        QTest::newRow("one Latin letter") << QStringLiteral("Tahoma") << QStringLiteral("結果A") << false;
        QTest::newRow("half-width katakana") << QStringLiteral("Tahoma") << QStringLiteral("ｱ") << true;
        QTest::newRow("ASCII space") << QStringLiteral("Tahoma") << QStringLiteral("結 果") << false;
        QTest::newRow("empty") << QStringLiteral("Tahoma") << QString() << false;
        QTest::newRow("already Japanese") << QStringLiteral("ＭＳ ゴシック") << QStringLiteral("結果") << false;
    }
    void japaneseTextFace()
    {
        QFETCH(QString, design);
        QFETCH(QString, text);
        QFETCH(bool, switches);
        const QFont font = MakePixelFont(design, 16, true);
        const QFont used = FontForText(font, text);
        QCOMPARE(used.families().constFirst(), switches ? ResolvedFontFamily(QStringLiteral("ＭＳ ゴシック"))
                                                        : font.families().constFirst());
        QCOMPARE(used.pixelSize(), 16);
        QVERIFY(used.bold());
        QCOMPARE(used.hintingPreference(), font.hintingPreference());
    }

    // Where fontconfig's own fallback for Tahoma is the design's Japanese face, as on the
    // machines this is built for, the shortcut draws exactly what the fallback drew.
    void japaneseTextFaceDrawsAsFallback()
    {
        const QFont tahoma = MakePixelFont(QStringLiteral("Tahoma"), 16);
        const QString text = QStringLiteral("結果");
        QTextLayout probe(text, tahoma);
        probe.beginLayout();
        probe.createLine();
        probe.endLayout();
        const QList<QGlyphRun> runs = probe.glyphRuns();
        if (runs.size() != 1 || runs[0].rawFont().familyName() != ResolvedFontFamily(QStringLiteral("ＭＳ ゴシック")))
            QSKIP("fontconfig falls back to another face here");
        auto draw = [&](const QFont &f) {
            QImage image(48, 24, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setFont(f);
            p.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
            return image;
        };
        // Same face, size and hinting: glyph for glyph the same, so exactly equal.
        QCOMPARE(draw(FontForText(tahoma, text)), draw(tahoma));
        QCOMPARE(QFontMetricsF(FontForText(tahoma, text)).boundingRect(text), QFontMetricsF(tahoma).boundingRect(text));
    }

    // The configuration still loading elsewhere: the next font made waits for it first,
    // once, and a cleared wait is never called.
    void pendingConfigurationWaitsOnce()
    {
        int waits = 0;
        SetFontConfigurationPending([&waits] { ++waits; });
        QCOMPARE(waits, 0);
        MakePixelFont(QStringLiteral("Tahoma"), 11);
        MakePixelFont(QStringLiteral("Tahoma"), 12);
        QCOMPARE(waits, 1);
        SetFontConfigurationPending([&waits] { ++waits; });
        SetFontConfigurationPending({});
        QVERIFY(FontFamilyFound(QStringLiteral("Tahoma")));
        QCOMPARE(waits, 1);
    }

    // Style flags and heights survive substitution; a zero or negative height must not
    // become Qt's "unset" pixel size.
    void styleAndHeight()
    {
        const QFont f = MakePixelFont(QStringLiteral("Tahoma"), 11, true, true, true, true);
        QVERIFY(f.bold());
        QVERIFY(f.italic());
        QVERIFY(f.underline());
        QVERIFY(f.strikeOut());
        QCOMPARE(QFontInfo(f).pixelSize(), 11);
        QVERIFY(MakePixelFont(QStringLiteral("Tahoma"), 0).pixelSize() >= 1);
        // wine's bold face is read in only when first asked for; it must then be drawn
        // with, not a regular face made heavier.
        if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")))
            QCOMPARE(QRawFont::fromFont(f).styleName(), QStringLiteral("Bold"));
    }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
