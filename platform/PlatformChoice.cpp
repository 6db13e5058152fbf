#include "PlatformChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <algorithm>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// Whether a server listens on the Unix socket; `abstract` names one in the abstract
// namespace, as X servers on Linux offer beside the file. A listener whose queue is full
// is there all the same.
bool UnixSocketAnswers(const QByteArray &path, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.isEmpty() || size_t(path.size()) + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.constData(), size_t(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return true; // cannot tell: leave it to Qt
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(path.size()));
    const bool answers = connect(fd, reinterpret_cast<const sockaddr *>(&address), length) == 0 || errno == EAGAIN;
    close(fd);
    return answers;
}

// Whether anything accepts a TCP connection on the port of `host`, tried the way the X
// library tries it: every address the name resolves to, and no time limit of our own.
bool TcpPortAnswers(const QByteArray &host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return false;
    bool answers = false;
    for (const addrinfo *a = found; a && !answers; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        answers = connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        close(fd);
    }
    freeaddrinfo(found);
    return answers;
}

constexpr int kX11TcpPort = 6000;

QString Quoted(const QByteArray &value)
{
    return QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(value));
}

} // namespace

bool XDisplayAnswers(const QByteArray &display)
{
    // [protocol/][host]:number[.screen]; a leading "/" is a socket path, "host::n" DECnet.
    const qsizetype colon = display.lastIndexOf(':');
    if (display.startsWith('/') || colon < 0 || (colon > 0 && display.at(colon - 1) == ':'))
        return true;
    QByteArray host = display.left(colon);
    QByteArray protocol;
    if (const qsizetype slash = host.indexOf('/'); slash >= 0) {
        protocol = host.left(slash);
        host = host.mid(slash + 1);
    }
    QByteArray number = display.mid(colon + 1);
    number.truncate(number.indexOf('.') < 0 ? number.size() : number.indexOf('.'));
    bool isNumber = false;
    const int n = number.toInt(&isNumber);
    if (!isNumber || n < 0 || number.startsWith('+'))
        return true;
    const bool unixOnly = protocol == "unix" || (protocol.isEmpty() && host == "unix");
    const bool tcpOnly = protocol == "tcp" || protocol == "inet" || protocol == "inet6";
    if (!protocol.isEmpty() && !unixOnly && !tcpOnly)
        return true;
    if (!tcpOnly && (host.isEmpty() || unixOnly)) {
        const QByteArray socketPath = "/tmp/.X11-unix/X" + number;
        if (UnixSocketAnswers(socketPath, true) || UnixSocketAnswers(socketPath, false))
            return true;
        // Without a socket the X library tries the port on this machine as well.
        return !unixOnly && protocol.isEmpty() && TcpPortAnswers("localhost", kX11TcpPort + n);
    }
    return TcpPortAnswers(host.isEmpty() ? QByteArray("localhost") : host, kX11TcpPort + n);
}

bool WaylandDisplayAnswers(const QByteArray &name)
{
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true;
    if (name.startsWith('/'))
        return UnixSocketAnswers(name, false);
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    // The Wayland library looks for a name nowhere else.
    if (runtimeDir.isEmpty())
        return false;
    return UnixSocketAnswers(runtimeDir + '/' + name, false);
}

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

namespace {

QString NoDisplayMessage()
{
    return QStringLiteral("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.");
}

// Why the installed platform plugin `name` cannot start: the display it connects to is
// not set or does not answer. Empty when it can, or when it connects to no display.
QString UnreachableReason(const QByteArray &name, const QByteArray &display, const QByteArray &waylandDisplay)
{
    if (name == "xcb" && display.isEmpty())
        return NoDisplayMessage();
    if (name == "xcb" && !XDisplayAnswers(display))
        return QStringLiteral("kanavox: nothing answers on the X display %1 (DISPLAY); start it inside a desktop session.").arg(Quoted(display));
    // Wayland's library falls back to "wayland-0".
    const QByteArray wayland = waylandDisplay.isEmpty() ? QByteArray("wayland-0") : waylandDisplay;
    if (name == "wayland" && !WaylandDisplayAnswers(wayland))
        return QStringLiteral("kanavox: nothing answers on the Wayland display %1 (WAYLAND_DISPLAY); start it inside a desktop session.")
            .arg(Quoted(wayland));
    return QString();
}

// The platforms QT_QPA_PLATFORM asks for, in its order: the first installed one that can
// start is Qt's to take, else the reason the last installed one cannot.
TPlatformChoice ChooseAsked(const QByteArray &asked, const QByteArray &display, const QByteArray &waylandDisplay)
{
    TPlatformChoice choice;
    choice.platform = asked;
    QString unreachable;
    for (const QByteArray &entry : asked.split(';')) {
        const QByteArray name = PluginName(entry);
        if (!PlatformPluginInstalled(name))
            continue;
        const QString reason = UnreachableReason(name, display, waylandDisplay);
        if (reason.isEmpty())
            return choice;
        unreachable = reason;
    }
    choice.error = !unreachable.isEmpty()
        ? unreachable
        : QStringLiteral("kanavox: Qt has no platform plugin \"%1\" (QT_QPA_PLATFORM) installed.").arg(QString::fromLocal8Bit(asked));
    return choice;
}

// A display that is set but silent: one line naming what was tried.
QString SilentDisplaysMessage(bool xcbTried, bool waylandTried, const QByteArray &display,
                              const QByteArray &waylandDisplay)
{
    QStringList tried;
    if (xcbTried)
        tried << QStringLiteral("the X display %1 (DISPLAY)").arg(Quoted(display));
    if (waylandTried)
        tried << QStringLiteral("the Wayland display %1 (WAYLAND_DISPLAY)").arg(Quoted(waylandDisplay));
    return QStringLiteral("kanavox: nothing answers on %1%2; start it inside a desktop session.")
        .arg(tried.join(QStringLiteral(" nor on ")),
             display.isEmpty() ? QStringLiteral(", and DISPLAY is not set") : QString());
}

} // namespace

TPlatformChoice ChoosePlatform()
{
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    if (!asked.isEmpty())
        return ChooseAsked(asked, display, waylandDisplay);
    TPlatformChoice choice;
    const bool x11 = !display.isEmpty();
    const bool wayland = !waylandDisplay.isEmpty();
    if (!x11 && !wayland) {
        choice.error = NoDisplayMessage();
        return choice;
    }
    const bool xcbInstalled = x11 && PlatformPluginInstalled("xcb");
    const bool waylandInstalled = wayland && PlatformPluginInstalled("wayland");
    if (!xcbInstalled && !waylandInstalled) {
        choice.error = x11 ? QStringLiteral("kanavox: Qt's X11 platform plugin (xcb) is not installed.")
                           : QStringLiteral("kanavox: no X display (DISPLAY is not set) and Qt's Wayland plugin is not installed (Debian package qt6-wayland).");
        return choice;
    }
    QByteArrayList order;
    if (xcbInstalled && XDisplayAnswers(display))
        order << "xcb";
    if (waylandInstalled && WaylandDisplayAnswers(waylandDisplay))
        order << "wayland";
    if (order.isEmpty()) {
        choice.error = SilentDisplaysMessage(xcbInstalled, waylandInstalled, display, waylandDisplay);
        return choice;
    }
    choice.platform = order.join(';');
    return choice;
}
