#include "Icon.h"

QIcon KanavoxIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icon/kanavox-%1.png").arg(size), QSize(size, size));
    return icon;
}
