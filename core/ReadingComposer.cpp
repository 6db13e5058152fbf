#include "ReadingComposer.h"

#include "Characters.h"
#include "Wipe.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

// One constant, split at the commas: the index of a character in the list is its
// index in the reading table. The backslash entry is a single "\".
constexpr char kAlphabetText[] =
    "A,B,C,D,E,F,G,H,I,J,K,L,M,N,O,P,Q,R,S,T,U,V,W,X,Y,Z,"
    "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z,"
    "0,1,2,3,4,5,6,7,8,9,@,?,!,#,&,(,),<,>,[,],_,\\,/";

constexpr int kAlphabetSize = 76;
constexpr int kReadingCount = 80;
// Entry kPrefixBase + class is the prefix of that class.
constexpr int kPrefixBase = 75;

const QStringList &Alphabet()
{
    static const QStringList list = QString::fromLatin1(kAlphabetText).split(QLatin1Char(','));
    return list;
}

// Letters read the same in both cases; only the class prefix tells them apart.
// The parentheses of "<" and ">" are full-width; the prefix colons are ASCII.
constexpr const char16_t *kReadings[kReadingCount] = {
    u"エー", u"ビー", u"シー", u"ディー", u"イー", u"エフ", u"ジー", u"エイチ", u"アイ",
    u"ジェイ", u"ケイ", u"エル", u"エム", u"エヌ", u"オー", u"ピー", u"キュー", u"アール",
    u"エス", u"ティー", u"ユー", u"ヴィー", u"ダブリュー", u"エックス", u"ワイ", u"ズィー",
    u"エー", u"ビー", u"シー", u"ディー", u"イー", u"エフ", u"ジー", u"エイチ", u"アイ",
    u"ジェイ", u"ケイ", u"エル", u"エム", u"エヌ", u"オー", u"ピー", u"キュー", u"アール",
    u"エス", u"ティー", u"ユー", u"ヴィー", u"ダブリュー", u"エックス", u"ワイ", u"ズィー",
    u"ゼロ", u"イチ", u"ニ", u"サン", u"ヨン", u"ゴ", u"ロク", u"シチ", u"ハチ", u"キュー",
    u"単価記号", u"疑問符", u"感嘆符", u"番号記号", u"アンパサンド", u"左小かっこ",
    u"右小かっこ", u"不等号（より小）", u"不等号（より大）", u"左大かっこ", u"右大かっこ",
    u"アンダースコア", u"円記号", u"スラッシュ",
    u"大文字:", u"小文字:", u"数字:", u"記号:",
};

constexpr int Length(const char16_t *text)
{
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

// The longest of the entries [from, to).
constexpr int Longest(int from, int to)
{
    int longest = 0;
    for (int i = from; i < to; ++i)
        longest = Length(kReadings[i]) > longest ? Length(kReadings[i]) : longest;
    return longest;
}

constexpr int Count(const char *text, char what)
{
    int n = 0;
    for (; *text; ++text)
        n += *text == what;
    return n;
}

static_assert(Count(kAlphabetText, ',') + 1 == kAlphabetSize, "one reading per character of the alphabet");
static_assert(kPrefixBase + 1 == kAlphabetSize && kPrefixBase + 4 == kReadingCount - 1,
              "one prefix per class at the table's end");

// Made once: a pasted text of a million characters is recomposed on each change, and
// building each piece anew per character cost more than the whole of the rest.
struct ReadingTable {
    QString of[kReadingCount];
    ReadingTable()
    {
        for (int i = 0; i < kReadingCount; ++i)
            of[i] = QString::fromUtf16(kReadings[i]);
    }
};
const ReadingTable &Readings()
{
    static const ReadingTable table;
    return table;
}

} // namespace

namespace {

// The alphabet is ASCII, so a 128-entry index built once from the list answers every
// lookup in one step: a pasted text of a million characters is recomposed on each change.
struct AlphabetIndex {
    qint8 of[128];
    AlphabetIndex()
    {
        std::fill(std::begin(of), std::end(of), qint8(-1));
        const QStringList &alphabet = Alphabet();
        for (int i = alphabet.size() - 1; i >= 0; --i) { // first entry wins
            const QString &entry = alphabet.at(i);
            if (entry.size() == 1 && entry.at(0).unicode() < 128)
                of[entry.at(0).unicode()] = qint8(i);
        }
    }
};

} // namespace

int ReadingIndexOf(QChar ch)
{
    static const AlphabetIndex index;
    return ch.unicode() < 128 ? index.of[ch.unicode()] : -1;
}

int ClassOf(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code >= u'0' && code <= u'9')
        return 3;
    if (code >= u'A' && code <= u'Z')
        return 1;
    if (code >= u'a' && code <= u'z')
        return 2;
    return 4;
}

namespace {

// One character's contribution, led by the separator, in a fixed slot: the longest is
// separator, prefix and "不等号（より小）", 12 code units. Copying the whole slot is one
// wide store where a copy of the exact length is a library call per character, and a
// pasted text of a million characters is recomposed on each change.
constexpr int kSlot = 16;
// Separator, prefix and reading (a kept character is one code unit).
static_assert(1 + Longest(kAlphabetSize, kReadingCount) + Longest(0, kAlphabetSize) <= kSlot,
              "every piece fits its slot");
struct Piece {
    char16_t unit[kSlot] = {};
    qsizetype size = 0;
};

// Each ASCII code unit's piece under one set of options, with the class prefix and
// without it. Built per call: a few hundred code units.
struct PieceTable {
    Piece withPrefix[128];
    Piece bare[128];
    QString reading[128]; // without separator and prefix
    qint8 cls[128];

    explicit PieceTable(const ReadingOptions &options)
    {
        const ReadingTable &readings = Readings();
        const QChar separator = options.blankSeparator ? QChar(u' ') : QChar(u'、');
        for (char16_t code = 0; code < 128; ++code) {
            const QChar ch(code);
            const int index = ReadingIndexOf(ch);
            cls[code] = qint8(index < 0 ? 0 : ClassOf(ch));
            if (index < 0)
                continue;
            const bool kept = (options.keepDigits && cls[code] == 3)
                || (options.keepSymbols && cls[code] == 4);
            const QString &reading = this->reading[code] = kept ? QString(ch) : readings.of[index];
            Fill(&bare[code], separator + reading);
            Fill(&withPrefix[code], options.insertClass
                     ? separator + readings.of[kPrefixBase + cls[code]] + reading
                     : separator + reading);
        }
    }

    static void Fill(Piece *piece, const QString &text)
    {
        std::copy(text.utf16(), text.utf16() + text.size(), piece->unit);
        piece->size = text.size();
    }
};

// Hands `put` the piece of every character that has a reading, in order.
template <typename Put>
void ForEachPiece(const QString &text, const ReadingOptions &options, const PieceTable &table,
                  Put put)
{
    int previousClass = -1;
    // Each UTF-16 code unit on its own: surrogate halves are never in the alphabet.
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code >= 128 || table.cls[code] == 0)
            continue;
        const int cls = table.cls[code];
        put(options.classEachCharacter || cls != previousClass ? table.withPrefix[code]
                                                               : table.bare[code]);
        previousClass = cls;
    }
}

// Hands `visit` every character of `text` (as Characters.h counts them), in order, with
// its class and whether its class prefix is inserted: the one place of the prefix rule
// for the full reading and its pieces.
template <typename Visit>
void ForEachCharacter(const QString &text, const ReadingOptions &options, const PieceTable &table,
                      Visit visit)
{
    int previousClass = -1;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = CharacterLength(text, i);
        const char16_t code = text.at(i).unicode();
        const bool readable = code < 128 && table.cls[code] != 0;
        const int cls = readable ? table.cls[code] : ClassOf(text.at(i));
        const bool prefixed = options.insertClass && (options.classEachCharacter || cls != previousClass);
        visit(i, length, code, readable, cls, prefixed);
        previousClass = cls;
        i += length;
    }
}

} // namespace

QString ComposeReading(const QString &text, const ReadingOptions &options)
{
    const PieceTable table(options);
    // Measure first, so that a reading of millions of code units is written into one
    // allocation; the slack lets the last slot be copied whole.
    qsizetype length = 0;
    ForEachPiece(text, options, table, [&length](const Piece &piece) { length += piece.size; });
    if (length == 0)
        return QString();
    QString result(length + kSlot, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    bool first = true;
    ForEachPiece(text, options, table, [&out, &first](const Piece &piece) {
        if (first) { // the reading does not start with the separator
            first = false;
            std::memcpy(out, piece.unit + 1, sizeof piece.unit - sizeof piece.unit[0]);
            out += piece.size - 1;
            return;
        }
        std::memcpy(out, piece.unit, sizeof piece.unit);
        out += piece.size;
    });
    result.truncate(length - 1);
    Q_ASSERT(out == reinterpret_cast<const char16_t *>(result.utf16()) + result.size());
    return result;
}

QString UnreadableName(QStringView character)
{
    QString name = QStringLiteral("「");
    const char32_t code = character.isEmpty() ? 0 : CharacterCode(character, 0);
    switch (LookOf(code)) {
    case TCharacterLook::Blank: name += QStringLiteral("空白"); break;
    case TCharacterLook::Tab: name += QStringLiteral("タブ"); break;
    case TCharacterLook::LineBreak: name += QStringLiteral("改行"); break;
    case TCharacterLook::Invisible:
    case TCharacterLook::Mark: name += CodeText(code); break;
    case TCharacterLook::Ink: name += character; break;
    }
    return name + QStringLiteral("」");
}

QString ComposeFullReading(const QString &text, const ReadingOptions &options)
{
    const PieceTable table(options);
    const ReadingTable &readings = Readings();
    const QChar separator = options.blankSeparator ? QChar(u' ') : QChar(u'、');
    QString result;
    // Room for the longest pieces (an unreadable one, 「U+10FFFF」 after separator and
    // prefix, takes 14 units), so the string never grows: a grown one would leave the
    // reading behind in the buffer it let go of.
    result.reserve(text.size() * kSlot);
    ForEachCharacter(text, options, table, [&](qsizetype i, qsizetype length, char16_t code,
                                               bool readable, int cls, bool prefixed) {
        if (readable) {
            // The slot holds the same separator, prefix and reading as the other branch.
            const Piece &piece = prefixed ? table.withPrefix[code] : table.bare[code];
            // Every piece is led by the separator; the first one is not.
            const int skip = result.isEmpty() ? 1 : 0;
            result.append(reinterpret_cast<const QChar *>(piece.unit) + skip, piece.size - skip);
            return;
        }
        if (!result.isEmpty())
            result.append(separator);
        if (prefixed)
            result.append(readings.of[kPrefixBase + cls]);
        result.append(UnreadableName(QStringView(text).mid(i, length)));
    });
    // Cut to size by a copy, the reserved buffer wiped: squeeze() would free it as it is.
    QString fitted(result.constData(), result.size());
    WipeString(result);
    return fitted;
}

QList<TReadingPiece> ReadingPieces(const QString &text, const ReadingOptions &options)
{
    const PieceTable table(options);
    const ReadingTable &readings = Readings();
    QList<TReadingPiece> pieces;
    pieces.reserve(text.size());
    ForEachCharacter(text, options, table, [&](qsizetype i, qsizetype length, char16_t code,
                                               bool readable, int cls, bool prefixed) {
        TReadingPiece piece;
        piece.start = i;
        piece.length = length;
        piece.cls = cls;
        piece.readable = readable;
        if (prefixed)
            piece.prefix = readings.of[kPrefixBase + cls];
        piece.reading = readable ? table.reading[code] : UnreadableName(QStringView(text).mid(i, length));
        pieces.append(std::move(piece));
    });
    return pieces;
}
