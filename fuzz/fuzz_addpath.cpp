// Path joining over arbitrary directory and file names with either separator:
// exactly one separator at the seam, never more removed or added.
#include "AddPath.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QChar sep = (data[0] & 1) ? QLatin1Char('\\') : QLatin1Char('/');
    // The rest is "dir" NUL "file" in Latin-1, so the fuzzer reaches separators easily.
    const QString all = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype nul = all.indexOf(QChar(0));
    const QString dir = nul < 0 ? all : all.left(nul);
    const QString file = nul < 0 ? QString() : all.mid(nul + 1);

    const QString joined = AddPathWith(dir, file, sep);
    const bool dirEnds = dir.isEmpty() || dir.endsWith(sep);
    const bool fileStarts = file.startsWith(sep);

    // The directory always stands intact at the start; what follows is the file name
    // with at most one separator added or taken away at the seam.
    if (!joined.startsWith(dir))
        std::abort();
    const QString rest = joined.mid(dir.size());
    QString expectedRest;
    if (dirEnds && fileStarts)
        expectedRest = file.mid(1);
    else if (!dirEnds && !fileStarts)
        expectedRest = sep + file;
    else
        expectedRest = file;
    if (rest != expectedRest)
        std::abort();
    // Length changes by exactly the one seam separator (or none).
    const qsizetype delta = joined.size() - dir.size() - file.size();
    if (delta < -1 || delta > 1)
        std::abort();

    const QString stripped = StripLeadingSeparator(file, sep);
    if (stripped != (fileStarts ? file.mid(1) : file))
        std::abort();
    if (AddPath(dir, file) != AddPathWith(dir, file, kPathSeparator))
        std::abort();
    if (StripLeadingBackslash(file) != StripLeadingSeparator(file, kPathSeparator))
        std::abort();
    return 0;
}
