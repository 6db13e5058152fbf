#pragma once
// Breaks the core include check: a header of another folder.
#include "../widgets/AdvEdit.h"
