#include "ReadingComposer.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

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
const char16_t *const kReadings[kReadingCount] = {
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

QString Reading(int index)
{
    return QString::fromUtf16(kReadings[index]);
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

QString ComposeReading(const QString &text, const ReadingOptions &options)
{
    static_assert(kPrefixBase + 4 == kReadingCount - 1, "one prefix per class at the table's end");
    Q_ASSERT(Alphabet().size() == kAlphabetSize);

    const QString separator = options.blankSeparator ? QStringLiteral(" ") : QStringLiteral("、");
    QString result;
    int previousClass = -1;
    // Each UTF-16 code unit on its own: surrogate halves are never in the alphabet.
    for (const QChar ch : text) {
        const int index = ReadingIndexOf(ch);
        if (index < 0)
            continue;
        if (!result.isEmpty())
            result += separator;
        const int cls = ClassOf(ch);
        if (options.insertClass && (options.classEachCharacter || cls != previousClass))
            result += Reading(kPrefixBase + cls);
        if ((options.keepDigits && cls == 3) || (options.keepSymbols && cls == 4))
            result += ch;
        else
            result += Reading(index);
        previousClass = cls;
    }
    return result;
}
