#pragma once
// Breaks the core include check: a class header that QtCore does not have.
#include <QStringList>
#include <QPixmap>
