#include "ImageFile.h"

#include <QImageReader>

QImage ReadImageFile(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
