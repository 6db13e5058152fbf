#pragma once
// Passes the core include check: its own folder's, the platform's QtCore half, QtCore's
// and standard headers.
#include "QtGuiModule.h"
#include "Exceptions.h"
#include <QtCore/qglobal.h>
#include <QtGlobal>
#include <qstring.h>
#include <vector>
#include <queue>
