#pragma once
// Breaks the core include check: a header of the platform's GUI half.
#include "Wipe.h"
#include "Clipboard.h"
