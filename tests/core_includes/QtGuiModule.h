#pragma once
// Breaks the core include check: a module of Qt other than QtCore.
#include <QString>
#include <QtGui/QColor>
