#pragma once
// Our own pictures (icon, glyphs) read as the format they are stored in.
#include <QImage>
#include <QString>

// A null image when the file is missing or not of that format. Never probes the image
// plugins: probing loads every one of them, three libraries at start-up for nothing.
QImage ReadImageFile(const QString &path, const char *format);
