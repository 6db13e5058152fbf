#pragma once
// The measuring modes both benchmark programs offer, over what each one shows.
#include <QString>

class QWidget;

namespace Bench {

struct Target {
    QWidget *window = nullptr;  // the top-level window
    QWidget *input = nullptr;   // where keys go
    QWidget *result = nullptr;  // what repaints with the answer to a key
};

// A seeded text of `length` characters that all have a reading.
QString SeededPassword(qsizetype length, quint32 seed);

// Runs the mode named by argv[1] on the shown window and returns the exit code:
//   first-paint              prints the time from exec to the first flushed paint, then exits
//   run                      stays up until killed (the driver reads /proc meanwhile)
//   typing <n>               types an n-character password, one latency sample per key
//   paste <chars> <repeats>  Ctrl+V of that many characters, one sample per paste, then
//                            16 typed characters on top of the last paste
int RunMode(int argc, char **argv, const Target &target);

} // namespace Bench
