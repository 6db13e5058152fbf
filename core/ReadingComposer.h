#pragma once
// Turns a password into its spoken Japanese form. Pure functions, no state.
#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

struct ReadingOptions {
    bool insertClass = true;        // prefix readings with the character class
    bool classEachCharacter = true; // with insertClass: a prefix before every character
    bool blankSeparator = false;    // " " instead of "、" between readings
    bool keepDigits = false;        // digits stand as themselves
    bool keepSymbols = false;       // symbols stand as themselves
};

// Index 0..75 in the reading alphabet, or -1 when the code unit has no reading.
int ReadingIndexOf(QChar ch);
// 1 upper-case letter, 2 lower-case letter, 3 digit, 4 symbol (anything else).
int ClassOf(QChar ch);
// The reading of the characters of `text` that have one, the others left out; empty when
// it holds no character of the alphabet.
QString ComposeReading(const QString &text, const ReadingOptions &options);

// The reading the window shows: every character of `text` (as Characters.h counts them)
// has its piece, in order, joined by the separator. A character without a reading keeps
// its place as its UnreadableName, led by the symbol prefix where prefixes are inserted,
// and counts as a symbol for the prefix rule. The characters of the alphabet read exactly
// as in ComposeReading.
QString ComposeFullReading(const QString &text, const ReadingOptions &options);

// One character's share of ComposeFullReading, which is these pieces' prefix and reading
// joined by the separator.
struct TReadingPiece {
    qsizetype start = 0;  // the character's place in the text, in code units
    qsizetype length = 0; // and its length (Characters.h)
    int cls = 0;          // its ClassOf; a character without a reading counts as a symbol
    bool readable = false; // in the reading alphabet
    QString prefix;       // its class prefix ("大文字:"), empty where none is inserted
    QString reading;      // its reading, the character itself where kept, or its UnreadableName
};
// The pieces of every character of `text`, in order.
QList<TReadingPiece> ReadingPieces(const QString &text, const ReadingOptions &options);

// How a character without a reading is named: 「空白」, 「タブ」, 「改行」, its code as
// 「U+202E」 when it draws nothing or only on the character before it, otherwise the
// character itself, 「Ａ」. The corner brackets occur in no reading, so the name can never
// be taken for one. `character` is one whole character.
QString UnreadableName(QStringView character);
