#include "Settings.h"

#include "AddPath.h"
#include "Exceptions.h"
#include "FileSystem.h"
#include "IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString g_directoryOverride;

const QString kPosition = QStringLiteral("Position");
const QString kSetting = QStringLiteral("Setting");

} // namespace

void SetSettingsDirectoryOverride(const QString &dir)
{
    g_directoryOverride = dir;
}

QString SettingsFilePath()
{
    const QString dir = g_directoryOverride.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : g_directoryOverride;
    return AddPath(QDir::toNativeSeparators(dir), QStringLiteral("Kanavox.ini"));
}

QString UserSettingsFilePath()
{
    // An unset or relative XDG_CONFIG_HOME is to be ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/Kanavox/Kanavox.ini"));
}

QString SettingsWritePath()
{
    const QString beside = SettingsFilePath();
    const QString folder = QFileInfo(QDir::fromNativeSeparators(beside)).absolutePath();
    return FileSystem::IsWritable(beside) || FileSystem::IsWritable(folder) ? beside
                                                                             : UserSettingsFilePath();
}

QString SettingsReadPath()
{
    const QString path = SettingsWritePath();
    if (path != SettingsFilePath() && !FileSystem::FileExists(path))
        return SettingsFilePath();
    return path;
}

namespace {

// The document a save starts from. Until the user's own file exists it starts as a copy
// of the packaged default; one that cannot be read is no reason to keep the window from
// closing, since the user's file is the one written.
TMemIniFile OpenForSave(const QString &path)
{
    const QString source = SettingsReadPath();
    if (source == path)
        return TMemIniFile(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        TMemIniFile ini(source);
        ini.SetFileName(path);
        return ini;
    } catch (const EFOpenError &) {
        return TMemIniFile(path);
    }
}

} // namespace

TKanavoxSettings LoadSettings()
{
    const TMemIniFile ini(SettingsReadPath());
    const TKanavoxSettings defaults;
    TKanavoxSettings s;
    s.MainTop = ini.ReadInteger(kPosition, QStringLiteral("MainTop"), defaults.MainTop);
    s.MainLeft = ini.ReadInteger(kPosition, QStringLiteral("MainLeft"), defaults.MainLeft);
    s.MojiSyu = ini.ReadBool(kSetting, QStringLiteral("MojiSyu"), defaults.MojiSyu);
    s.Mojigoto1 = ini.ReadBool(kSetting, QStringLiteral("1Mojigoto"), defaults.Mojigoto1);
    s.SepBlank = ini.ReadBool(kSetting, QStringLiteral("SepBlank"), defaults.SepBlank);
    s.Num = ini.ReadBool(kSetting, QStringLiteral("Num"), defaults.Num);
    s.Kigou = ini.ReadBool(kSetting, QStringLiteral("Kigou"), defaults.Kigou);
    return s;
}

void SaveSettings(const TKanavoxSettings &settings)
{
    // Loading first keeps what others wrote into the file; an unreadable file stops
    // the save here rather than being overwritten with our seven values alone.
    TMemIniFile ini = OpenForSave(SettingsWritePath());
    if (settings.HasPosition) {
        ini.WriteInteger(kPosition, QStringLiteral("MainTop"), settings.MainTop);
        ini.WriteInteger(kPosition, QStringLiteral("MainLeft"), settings.MainLeft);
    }
    ini.WriteBool(kSetting, QStringLiteral("MojiSyu"), settings.MojiSyu);
    ini.WriteBool(kSetting, QStringLiteral("1Mojigoto"), settings.Mojigoto1);
    ini.WriteBool(kSetting, QStringLiteral("SepBlank"), settings.SepBlank);
    ini.WriteBool(kSetting, QStringLiteral("Num"), settings.Num);
    ini.WriteBool(kSetting, QStringLiteral("Kigou"), settings.Kigou);
    ini.UpdateFile();
}
