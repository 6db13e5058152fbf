#include "PlatformChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <algorithm>

namespace {

// The folders Qt searches for platform plugins, in its order.
QStringList PlatformPluginFolders()
{
    QStringList folders;
    const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!own.isEmpty())
        folders << own;
    const QStringList extra = qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &dir : extra)
        folders << dir + QStringLiteral("/platforms");
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return folders;
}

// "xcb:dpi=96" names the plugin "xcb".
QByteArray PluginName(const QByteArray &entry)
{
    const qsizetype colon = entry.indexOf(':');
    return (colon < 0 ? entry : entry.left(colon)).trimmed();
}

// Whether the plugin file says it serves the platform; its metadata is read, the library
// itself is not loaded.
bool PluginServes(const QString &file, const QString &platform)
{
    const QJsonArray keys = QPluginLoader(file).metaData()
                                .value(QStringLiteral("MetaData")).toObject()
                                .value(QStringLiteral("Keys")).toArray();
    for (const auto &key : keys)
        if (key.toString().compare(platform, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

bool PlatformPluginInstalled(const QByteArray &name)
{
    const QString wanted = QString::fromLatin1(name);
    const QStringList folders = PlatformPluginFolders();
    // Qt's own plugins are named after their platform ("libqxcb.so"), and Qt's plugin
    // folder holds no other file of that name: finding it is enough, which spares listing
    // the folders and reading plugin files on every start.
    const QString conventional = QStringLiteral("libq%1.so").arg(wanted.toLower());
    for (const QString &folder : folders)
        if (QFileInfo::exists(QDir(folder).filePath(conventional)))
            return true;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        QStringList files = dir.entryList({QStringLiteral("*.so")}, QDir::Files);
        files.removeAll(conventional);
        // Others named after their platform are the likelier ones.
        std::stable_partition(files.begin(), files.end(),
                              [&](const QString &f) { return f.contains(wanted, Qt::CaseInsensitive); });
        for (const QString &file : std::as_const(files))
            if (PluginServes(dir.filePath(file), wanted))
                return true;
    }
    return false;
}

TPlatformChoice ChoosePlatform()
{
    TPlatformChoice choice;
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    if (!asked.isEmpty()) {
        choice.platform = asked;
        for (const QByteArray &entry : asked.split(';'))
            if (PlatformPluginInstalled(PluginName(entry)))
                return choice;
        choice.error = QStringLiteral("kanavox: Qt has no platform plugin \"%1\" (QT_QPA_PLATFORM) installed.")
                           .arg(QString::fromLocal8Bit(asked));
        return choice;
    }
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!x11 && !wayland) {
        choice.error = QStringLiteral("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.");
        return choice;
    }
    QByteArrayList order;
    if (x11 && PlatformPluginInstalled("xcb"))
        order << "xcb";
    if (wayland && PlatformPluginInstalled("wayland"))
        order << "wayland";
    if (order.isEmpty()) {
        choice.error = x11 ? QStringLiteral("kanavox: Qt's X11 platform plugin (xcb) is not installed.")
                           : QStringLiteral("kanavox: no X display (DISPLAY is not set) and Qt's Wayland plugin is not installed (Debian package qt6-wayland).");
        return choice;
    }
    choice.platform = order.join(';');
    return choice;
}
