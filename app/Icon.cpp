#include "Icon.h"

#include "ImageFile.h"

#include <QPixmap>

QList<QImage> KanavoxIconImages()
{
    QList<QImage> images;
    for (int size : {16, 32, 48}) {
        const QImage image = ReadImageFile(QStringLiteral(":/icon/kanavox-%1.png").arg(size), "png");
        if (!image.isNull())
            images << image;
    }
    return images;
}

QIcon KanavoxIcon(const QList<QImage> &images)
{
    QIcon icon;
    for (const QImage &image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}
