#pragma once
// The reading options, one row each, in their order on the screen: the key that stores
// the option in the settings file's [Setting] section, the check box the layout names for
// it, and the flag of ReadingOptions it sets. Settings, window and reading all loop over
// these rows, so an option is added here and in the layout, nowhere else.
#include "ReadingComposer.h"

struct TOptionRow {
    const char *iniKey;
    const char *controlName;
    bool ReadingOptions::*member;
};

inline constexpr TOptionRow kOptionRows[] = {
    {"MojiSyu", "chkMojisyuIns", &ReadingOptions::insertClass},
    {"1Mojigoto", "chk1Mojisyu", &ReadingOptions::classEachCharacter},
    {"SepBlank", "chkSepBlank", &ReadingOptions::blankSeparator},
    {"Num", "chkNum", &ReadingOptions::keepDigits},
    {"Kigou", "chkKigou", &ReadingOptions::keepSymbols},
};
