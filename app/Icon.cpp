#include "Icon.h"

#include "ImageFile.h"

#include <QPixmap>

QIcon KanavoxIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        const QImage image = ReadImageFile(QStringLiteral(":/icon/kanavox-%1.png").arg(size), "png");
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
