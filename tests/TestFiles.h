#pragma once
// Whole-file reads and writes for tests that check what reached the disk.
#include <QByteArray>
#include <array>
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

// The settings file as the program writes it anew: the position, then the options in their
// order on the screen, each 1 or 0. Stored files rely on these bytes, so they are spelt out
// here, once, and not built the way the program builds them.
inline QByteArray SettingsFile(int top, int left, const std::array<int, 5> &options)
{
    return QStringLiteral("[Position]\r\nMainTop=%1\r\nMainLeft=%2\r\n\r\n"
                          "[Setting]\r\nMojiSyu=%3\r\n1Mojigoto=%4\r\nSepBlank=%5\r\nNum=%6\r\nKigou=%7\r\n\r\n")
        .arg(top).arg(left)
        .arg(options[0]).arg(options[1]).arg(options[2]).arg(options[3]).arg(options[4])
        .toLatin1();
}
