#pragma once
// Whole-file reads and writes for tests that check what reached the disk.
#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or "<unreadable>" so that a comparison shows why it failed.
inline QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<unreadable>");
    return f.readAll();
}

inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
