#pragma once
// The program's icon: one picture in 16, 32 and 48 pixels, for the window and the
// application alike (drawn by tools/gen_icon into resources/icon).
#include <QIcon>

QIcon KanavoxIcon();
