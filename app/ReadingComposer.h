#pragma once
// Turns a password into its spoken Japanese form. Pure functions, no state.
#include <QChar>
#include <QString>

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
// The complete reading of `text`; empty when it holds no character of the alphabet.
QString ComposeReading(const QString &text, const ReadingOptions &options);
