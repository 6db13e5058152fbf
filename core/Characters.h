#pragma once
// Characters as the program counts and shows them, the same in the reading, the dictation
// view and the edit. A character is one code point: a surrogate pair is one character, a
// lone surrogate half is one on its own. A CR LF pair is one line break, as the edit steps
// over it and deletes it.
#include <QString>
#include <QStringView>

enum class TCharacterLook {
    Ink,       // draws a glyph of its own
    Mark,      // a combining mark: draws only on the character before it
    Blank,     // U+0020
    Tab,       // U+0009
    LineBreak, // CR, LF or CR LF
    Invisible, // draws nothing but maybe a gap, or changes how others are drawn: other
               // controls, format and bidi characters, zero-width and other spaces,
               // selectors, lone surrogates, unassigned and private-use codes
};

// The length in UTF-16 code units of the character that starts at i: 1 or 2, 0 at the end.
qsizetype CharacterLength(QStringView text, qsizetype i);
// The code point of the character at i; a lone surrogate half gives its own code.
char32_t CharacterCode(QStringView text, qsizetype i);
// How many characters the text holds.
qsizetype CharacterCount(QStringView text);

TCharacterLook LookOf(char32_t code);
// Whether the character draws nothing visible by itself (a blank's gap counts as nothing).
inline bool DrawsNothing(TCharacterLook look)
{
    return look != TCharacterLook::Ink && look != TCharacterLook::Mark;
}

// "U+202E": at least four upper-case hex digits.
QString CodeText(char32_t code);
