#include "AddPath.h"

QString StripLeadingSeparator(const QString &FileName, QChar separator)
{
    if (!FileName.isEmpty() && FileName.at(0) == separator)
        return FileName.mid(1);
    return FileName;
}

QString AddPathWith(const QString &Dir, const QString &FileName, QChar separator)
{
    // An empty directory counts as ending with a separator, so the result is the
    // file name alone, without a leading separator.
    const bool dirEnds = Dir.isEmpty() || Dir.back() == separator;
    const bool fileStarts = !FileName.isEmpty() && FileName.front() == separator;
    if (dirEnds)
        return Dir + (fileStarts ? StripLeadingSeparator(FileName, separator) : FileName);
    if (fileStarts)
        return Dir + FileName;
    return Dir + separator + FileName;
}

QString AddPath(const QString &Dir, const QString &FileName)
{
    return AddPathWith(Dir, FileName, kPathSeparator);
}

QString StripLeadingBackslash(const QString &FileName)
{
    return StripLeadingSeparator(FileName, kPathSeparator);
}
