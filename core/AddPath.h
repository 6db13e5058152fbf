#pragma once
// Joins a directory and a file name with exactly one separator at the seam.
#include <QChar>
#include <QString>

#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = QLatin1Char('\\');
#else
inline constexpr QChar kPathSeparator = QLatin1Char('/');
#endif

// With the platform's separator.
QString AddPath(const QString &Dir, const QString &FileName);
QString StripLeadingBackslash(const QString &FileName);

// The same rules with a given separator (tests check both platforms' forms).
QString AddPathWith(const QString &Dir, const QString &FileName, QChar separator);
QString StripLeadingSeparator(const QString &FileName, QChar separator);
