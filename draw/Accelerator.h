#pragma once
// Captions mark their accelerator with "&": "&&" stands for one "&", and a single "&"
// is dropped and marks the character after it (a trailing one marks nothing).
#include <QString>

#include <vector>

struct TAcceleratorText {
    QString text;                // the caption as shown
    std::vector<int> underlined; // ascending positions in `text` of the marked characters
};

TAcceleratorText ParseAccelerators(const QString &caption);

// The first marked character, upper-cased, or a null QChar. With `printableOnly` a mark
// before a character that does not print is passed over, as Qt's mnemonics do.
QChar AcceleratorKey(const QString &caption, bool printableOnly = false);
