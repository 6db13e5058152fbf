#pragma once
// The program's settings file "Kanavox.ini" beside the executable.
#include <QString>

struct TKanavoxSettings {
    int MainTop = 0;
    int MainLeft = 0;
    bool MojiSyu = true;    // insertClass
    bool Mojigoto1 = true;  // classEachCharacter ("1Mojigoto")
    bool SepBlank = false;  // blankSeparator
    bool Num = false;       // keepDigits
    bool Kigou = false;     // keepSymbols
};

// AddPath(directory of the running executable, "Kanavox.ini"), computed afresh each call.
QString SettingsFilePath();
// Tests point the program at a directory of their own instead of the executable's.
void SetSettingsDirectoryOverride(const QString &dir);

// Throws EFOpenError when the file exists but cannot be read.
TKanavoxSettings LoadSettings();
// Throws EFOpenError (existing file unreadable) or EFCreateError (cannot be written);
// after a failure the file on disk is unchanged.
void SaveSettings(const TKanavoxSettings &settings);
