// ComposeReading over arbitrary UTF-16 and option flags, against a plain
// re-implementation of the rule written for this target alone; and ComposeFullReading,
// which must keep one piece for every character.
#include "Characters.h"
#include "ReadingComposer.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const char16_t kAlphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@?!#&()<>[]_\\/";

const char16_t *const kLetters[26] = {
    u"エー", u"ビー", u"シー", u"ディー", u"イー", u"エフ", u"ジー", u"エイチ", u"アイ",
    u"ジェイ", u"ケイ", u"エル", u"エム", u"エヌ", u"オー", u"ピー", u"キュー", u"アール",
    u"エス", u"ティー", u"ユー", u"ヴィー", u"ダブリュー", u"エックス", u"ワイ", u"ズィー"};
const char16_t *const kDigits[10] = {u"ゼロ", u"イチ", u"ニ", u"サン", u"ヨン",
                                     u"ゴ", u"ロク", u"シチ", u"ハチ", u"キュー"};
const char16_t *const kSymbols[14] = {
    u"単価記号", u"疑問符", u"感嘆符", u"番号記号", u"アンパサンド", u"左小かっこ", u"右小かっこ",
    u"不等号（より小）", u"不等号（より大）", u"左大かっこ", u"右大かっこ", u"アンダースコア",
    u"円記号", u"スラッシュ"};
const char16_t *const kPrefixes[4] = {u"大文字:", u"小文字:", u"数字:", u"記号:"};

int Find(char16_t c)
{
    for (int i = 0; kAlphabet[i]; ++i)
        if (kAlphabet[i] == c)
            return i;
    return -1;
}

QString Reference(const QString &text, const ReadingOptions &o)
{
    QString out;
    int previous = 0;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        const int i = Find(c);
        if (i < 0)
            continue;
        if (!out.isEmpty())
            out += o.blankSeparator ? u" " : u"、";
        const int cls = i < 26 ? 1 : i < 52 ? 2 : i < 62 ? 3 : 4;
        if (o.insertClass && (o.classEachCharacter || cls != previous))
            out += QString::fromUtf16(kPrefixes[cls - 1]);
        if ((cls == 3 && o.keepDigits) || (cls == 4 && o.keepSymbols))
            out += qc;
        else if (cls <= 2)
            out += QString::fromUtf16(kLetters[i % 26]);
        else if (cls == 3)
            out += QString::fromUtf16(kDigits[i - 52]);
        else
            out += QString::fromUtf16(kSymbols[i - 62]);
        previous = cls;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    ReadingOptions o;
    o.insertClass = data[0] & 1;
    o.classEachCharacter = data[0] & 2;
    o.blankSeparator = data[0] & 4;
    o.keepDigits = data[0] & 8;
    o.keepSymbols = data[0] & 16;
    // The rest is little-endian UTF-16, unpaired surrogates and all.
    QString text;
    for (size_t i = 1; i + 1 < size; i += 2)
        text += QChar(char16_t(data[i] | (data[i + 1] << 8)));

    const QString got = ComposeReading(text, o);
    const QString want = Reference(text, o);
    if (got != want) {
        std::fprintf(stderr, "options %#x\ngot:  %s\nwant: %s\n", data[0], qPrintable(got), qPrintable(want));
        std::abort();
    }
    for (const QChar qc : text) {
        const int i = Find(qc.unicode());
        if (ReadingIndexOf(qc) != i)
            std::abort();
    }
    // With blanks between the pieces (no piece holds one), the full reading has one piece
    // per character; and where the prefixes do not hang on the class of the character
    // before, those not in corner brackets are the plain reading's, in order.
    ReadingOptions spaced = o;
    spaced.blankSeparator = true;
    const QString full = ComposeFullReading(text, spaced);
    const QStringList pieces = full.isEmpty() ? QStringList() : full.split(QLatin1Char(' '));
    if (pieces.size() != CharacterCount(text)) {
        std::fprintf(stderr, "%lld pieces for %lld characters: %s\n", (long long)pieces.size(),
                     (long long)CharacterCount(text), qPrintable(full));
        std::abort();
    }
    QStringList readable;
    for (const QString &piece : pieces)
        if (!piece.contains(u'「'))
            readable << piece;
    if ((!spaced.insertClass || spaced.classEachCharacter) && readable.join(QLatin1Char(' ')) != ComposeReading(text, spaced))
        std::abort();
    // The per-character pieces are the full reading's, one for each piece above, and
    // cover the text without gap or overlap.
    const QList<TReadingPiece> own = ReadingPieces(text, spaced);
    if (own.size() != pieces.size())
        std::abort();
    qsizetype next = 0;
    for (qsizetype i = 0; i < own.size(); ++i) {
        if (own.at(i).start != next || own.at(i).length <= 0 || own.at(i).prefix + own.at(i).reading != pieces.at(i))
            std::abort();
        next += own.at(i).length;
    }
    if (next != text.size())
        std::abort();
    return 0;
}
