#pragma once
// The program's icon: one picture in 16, 32 and 48 pixels, for the window and the
// application alike (drawn by tools/gen_icon into resources/icon).
#include <QIcon>
#include <QImage>
#include <QList>

// The pictures, decoded; needs no application object and may run on any thread.
QList<QImage> KanavoxIconImages();
QIcon KanavoxIcon(const QList<QImage> &images = KanavoxIconImages());
