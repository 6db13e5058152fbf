#include "Settings.h"

#include "AddPath.h"
#include "Exceptions.h"
#include "FileSystem.h"
#include "IniFile.h"
#include "SysError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

QString g_directoryOverride;

const QString kPosition = QStringLiteral("Position");
const QString kSetting = QStringLiteral("Setting");

// The file's seven values, in the order a new file has them: the window's place as
// numbers in [Position], then the reading options as flags in [Setting].
struct TSettingsKey {
    const char *name;
    int TKanavoxSettings::*number;
    bool TKanavoxSettings::*flag;
};
constexpr TSettingsKey kKeys[] = {
    {"MainTop", &TKanavoxSettings::MainTop, nullptr},
    {"MainLeft", &TKanavoxSettings::MainLeft, nullptr},
    {"MojiSyu", nullptr, &TKanavoxSettings::MojiSyu},
    {"1Mojigoto", nullptr, &TKanavoxSettings::Mojigoto1},
    {"SepBlank", nullptr, &TKanavoxSettings::SepBlank},
    {"Num", nullptr, &TKanavoxSettings::Num},
    {"Kigou", nullptr, &TKanavoxSettings::Kigou},
};

} // namespace

QString SetSettingsDirectoryOverride(QString dir)
{
    return std::exchange(g_directoryOverride, std::move(dir));
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

// The document a save starts from, read through the update that will write it. Until the
// user's own file exists it starts as a copy of the packaged default; one that cannot be
// read is no reason to keep the window from closing, since the user's file is the one
// written.
TMemIniFile OpenForSave(const QString &path, FileSystem::TFileUpdate &update)
{
    const QString source = SettingsReadPath();
    if (source != path)
        QDir().mkpath(QFileInfo(path).absolutePath());
    if (const int error = update.Open(path)) {
        throw EFCreateError(QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(path, SysErrorMessage(error)));
    }
    if (source == path || update.Exists())
        return TMemIniFile(path, update);
    try {
        TMemIniFile ini(source);
        ini.SetFileName(path);
        return ini;
    } catch (const EFOpenError &) {
        return TMemIniFile(path, update);
    }
}

} // namespace

TKanavoxSettings LoadSettings()
{
    const TMemIniFile ini(SettingsReadPath());
    const TKanavoxSettings defaults;
    TKanavoxSettings s;
    for (const TSettingsKey &k : kKeys) {
        if (k.number)
            s.*k.number = ini.ReadInteger(kPosition, QLatin1String(k.name), defaults.*k.number);
        else
            s.*k.flag = ini.ReadBool(kSetting, QLatin1String(k.name), defaults.*k.flag);
    }
    return s;
}

void SaveSettings(const TKanavoxSettings &settings)
{
    // Loading first keeps what others wrote into the file; an unreadable file stops
    // the save here rather than being overwritten with our seven values alone.
    // The file stays locked from the read to the write, so that two saves at once each
    // merge what the other wrote.
    FileSystem::TFileUpdate update;
    TMemIniFile ini = OpenForSave(SettingsWritePath(), update);
    for (const TSettingsKey &k : kKeys) {
        if (!k.number)
            ini.WriteBool(kSetting, QLatin1String(k.name), settings.*k.flag);
        else if (settings.HasPosition)
            ini.WriteInteger(kPosition, QLatin1String(k.name), settings.*k.number);
    }
    ini.UpdateFile(update);
}
