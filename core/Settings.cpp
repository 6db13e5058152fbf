#include "Settings.h"

#include "AddPath.h"
#include "Exceptions.h"
#include "FileSystem.h"
#include "IniFile.h"
#include "OptionTable.h"
#include "SysError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

QString g_directoryOverride;

const QString kPosition = QStringLiteral("Position");
const QString kSetting = QStringLiteral("Setting");

// The window's place, as numbers in [Position]; a new file has them before the options'
// flags in [Setting].
struct TPositionKey {
    const char *name;
    int TKanavoxSettings::*number;
};
constexpr TPositionKey kPositionKeys[] = {
    {"MainTop", &TKanavoxSettings::MainTop},
    {"MainLeft", &TKanavoxSettings::MainLeft},
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
    for (const TPositionKey &k : kPositionKeys)
        s.*k.number = ini.ReadInteger(kPosition, QLatin1String(k.name), defaults.*k.number);
    for (const TOptionRow &row : kOptionRows)
        s.Options.*row.member = ini.ReadBool(kSetting, QLatin1String(row.iniKey), defaults.Options.*row.member);
    return s;
}

void SaveSettings(const TKanavoxSettings &settings)
{
    // Loading first keeps what others wrote into the file; an unreadable file stops
    // the save here rather than being overwritten with our own values alone.
    // The file stays locked from the read to the write, so that two saves at once each
    // merge what the other wrote.
    FileSystem::TFileUpdate update;
    TMemIniFile ini = OpenForSave(SettingsWritePath(), update);
    if (settings.HasPosition) {
        for (const TPositionKey &k : kPositionKeys)
            ini.WriteInteger(kPosition, QLatin1String(k.name), settings.*k.number);
    }
    for (const TOptionRow &row : kOptionRows)
        ini.WriteBool(kSetting, QLatin1String(row.iniKey), settings.Options.*row.member);
    ini.UpdateFile(update);
}
