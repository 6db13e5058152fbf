// Start-up decisions that depend on the desktop: which platform plugin Qt is given, and
// whether a stored window position is still usable on the screens there are.
#include "PlatformChoice.h"
#include "WindowPlacement.h"

#include <QTemporaryDir>
#include <QTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {
// A listening Unix socket at `path` (abstract when `abstract`): what a display server
// offers before any protocol is spoken. -1 when the address is taken.
int ListenUnix(const QByteArray &path, bool abstract)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    std::memcpy(a.sun_path + offset, path.constData(), size_t(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(path.size()));
    if (bind(fd, reinterpret_cast<sockaddr *>(&a), length) != 0 || listen(fd, 64) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A listener on 127.0.0.1:port, or -1 when the port is taken. Nothing is accepted: the
// queue is long enough for the rows that connect.
int ListenTcp(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(fd, 64) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// No X server of any kind on display n: no lock file, no socket file, and the abstract
// name is free (taken and given back at once).
bool XDisplayFree(int n)
{
    if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) || QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
        return false;
    const int fd = ListenUnix("/tmp/.X11-unix/X" + QByteArray::number(n), true);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}
} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void platform_data();
    void platform();
    void placement_data();
    void placement();
    void frameRoundTrip_data();
    void frameRoundTrip();

private:
    QTemporaryDir m_runtime;       // XDG_RUNTIME_DIR of the Wayland rows
    QList<int> m_listeners;
    QByteArray m_liveX;            // ":n", a server listening on the abstract socket only
    QByteArray m_tcpX;             // n of a display that only listens on TCP
    QByteArray m_silentX;          // ":77" when nothing is there
};

void TestDesktop::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qunsetenv("WAYLAND_SOCKET");
    const QByteArray dir = QFile::encodeName(m_runtime.path());
    const int live = ListenUnix(dir + "/wayland-live", false);
    QVERIFY(live >= 0);
    m_listeners << live;
    // A compositor that went away leaves its socket file behind.
    const int dead = ListenUnix(dir + "/wayland-dead", false);
    QVERIFY(dead >= 0);
    close(dead);
    for (int n = 150; n < 250 && (m_liveX.isEmpty() || m_tcpX.isEmpty()); ++n) {
        if (!XDisplayFree(n))
            continue;
        if (m_liveX.isEmpty()) {
            const int fd = ListenUnix("/tmp/.X11-unix/X" + QByteArray::number(n), true);
            if (fd >= 0) {
                m_listeners << fd;
                m_liveX = ":" + QByteArray::number(n);
            }
        } else {
            const int fd = ListenTcp(6000 + n);
            if (fd >= 0) {
                m_listeners << fd;
                m_tcpX = QByteArray::number(n);
            }
        }
    }
    QVERIFY2(!m_liveX.isEmpty() && !m_tcpX.isEmpty(), "no free X display numbers to stand in for servers");
    if (const int fd = XDisplayFree(77) ? ListenTcp(6077) : -1; fd >= 0) {
        close(fd);
        m_silentX = ":77";
    }
}

void TestDesktop::cleanupTestCase()
{
    for (int fd : std::as_const(m_listeners))
        close(fd);
}

void TestDesktop::platform_data()
{
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("platform"); // empty: an error line instead
    QTest::addColumn<QString>("error");
    // A display that answers is one a server listens on (see initTestCase); the rows that
    // once named ":0" take such a one, as ":0" may have no server here.
    const QByteArray x = m_liveX;
    QTest::newRow("X11 only") << QByteArray() << x << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("Wayland only") << QByteArray() << QByteArray() << QByteArray("wayland-live") << QByteArray("wayland") << QString();
    // XWayland: positions can be restored under X11, so it comes first.
    QTest::newRow("both") << QByteArray() << x << QByteArray("wayland-live") << QByteArray("xcb;wayland") << QString();
    QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray() << QByteArray()
                          << QStringLiteral("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.");
    QTest::newRow("user's choice") << QByteArray("offscreen") << x << QByteArray() << QByteArray("offscreen") << QString();
    QTest::newRow("user's list, second installed") << QByteArray("nosuch;offscreen:fontengine=freetype") << QByteArray() << QByteArray()
                                                   << QByteArray("nosuch;offscreen:fontengine=freetype") << QString();
    QTest::newRow("user's choice missing") << QByteArray("nosuch") << x << QByteArray() << QByteArray()
                                           << QStringLiteral("kanavox: Qt has no platform plugin \"nosuch\" (QT_QPA_PLATFORM) installed.");
    // Displays that are named but cannot be reached: Qt would abort with exit code 134.
    QTest::newRow("X display silent") << QByteArray() << QByteArray(":77") << QByteArray() << QByteArray()
                                      << QStringLiteral("kanavox: nothing answers on the X display \":77\" (DISPLAY); start it inside a desktop session.");
    QTest::newRow("X display silent, screen named") << QByteArray() << QByteArray(":77.0") << QByteArray() << QByteArray()
                                                    << QStringLiteral("kanavox: nothing answers on the X display \":77.0\" (DISPLAY); start it inside a desktop session.");
    QTest::newRow("Wayland socket dead, no DISPLAY") << QByteArray() << QByteArray() << QByteArray("wayland-dead") << QByteArray()
                                                     << QStringLiteral("kanavox: nothing answers on the Wayland display \"wayland-dead\" (WAYLAND_DISPLAY), and DISPLAY is not set; start it inside a desktop session.");
    QTest::newRow("Wayland socket missing, no DISPLAY") << QByteArray() << QByteArray() << QByteArray("wayland-9") << QByteArray()
                                                        << QStringLiteral("kanavox: nothing answers on the Wayland display \"wayland-9\" (WAYLAND_DISPLAY), and DISPLAY is not set; start it inside a desktop session.");
    QTest::newRow("both silent") << QByteArray() << QByteArray(":77") << QByteArray("wayland-dead") << QByteArray()
                                 << QStringLiteral("kanavox: nothing answers on the X display \":77\" (DISPLAY) nor on the Wayland display \"wayland-dead\" (WAYLAND_DISPLAY); start it inside a desktop session.");
    QTest::newRow("X silent, Wayland answers") << QByteArray() << QByteArray(":77") << QByteArray("wayland-live") << QByteArray("wayland") << QString();
    QTest::newRow("X answers, Wayland dead") << QByteArray() << x << QByteArray("wayland-dead") << QByteArray("xcb") << QString();
    QTest::newRow("user's X11, display silent") << QByteArray("xcb") << QByteArray(":77") << QByteArray() << QByteArray()
                                                << QStringLiteral("kanavox: nothing answers on the X display \":77\" (DISPLAY); start it inside a desktop session.");
    QTest::newRow("user's Wayland, socket dead") << QByteArray("wayland") << QByteArray(":77") << QByteArray("wayland-dead") << QByteArray()
                                                 << QStringLiteral("kanavox: nothing answers on the Wayland display \"wayland-dead\" (WAYLAND_DISPLAY); start it inside a desktop session.");
    QTest::newRow("user's X11, DISPLAY not set") << QByteArray("xcb") << QByteArray() << QByteArray("wayland-live") << QByteArray()
                                                 << QStringLiteral("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.");
    // Wayland's library looks for "wayland-0" when no name is set; none listens here.
    QTest::newRow("user's Wayland, WAYLAND_DISPLAY not set") << QByteArray("wayland") << QByteArray() << QByteArray() << QByteArray()
                                                             << QStringLiteral("kanavox: nothing answers on the Wayland display \"wayland-0\" (WAYLAND_DISPLAY); start it inside a desktop session.");
    // Of several that cannot start, the last one installed is named.
    QTest::newRow("user's list, none reachable") << QByteArray("wayland;nosuch;xcb;nosuch") << QByteArray(":77") << QByteArray("wayland-dead") << QByteArray()
                                                 << QStringLiteral("kanavox: nothing answers on the X display \":77\" (DISPLAY); start it inside a desktop session.");
    QTest::newRow("user's X11 then a fallback") << QByteArray("xcb;offscreen") << QByteArray(":77") << QByteArray() << QByteArray("xcb;offscreen") << QString();
    // Reachable in other ways than the local socket: none of these may be refused.
    QTest::newRow("X socket named unix") << QByteArray() << QByteArray("unix" + x) << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("X over TCP on this machine") << QByteArray() << QByteArray("localhost:" + m_tcpX) << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("X by the TCP fallback") << QByteArray() << QByteArray(":" + m_tcpX + ".0") << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("X protocol named tcp") << QByteArray() << QByteArray("tcp/127.0.0.1:" + m_tcpX) << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("X socket path") << QByteArray() << QByteArray("/tmp/launch-kv/org.xquartz:0") << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("Wayland socket by path") << QByteArray() << QByteArray() << QFile::encodeName(m_runtime.filePath(QStringLiteral("wayland-live")))
                                            << QByteArray("wayland") << QString();
    QTest::newRow("X silent over TCP") << QByteArray() << QByteArray("localhost:77") << QByteArray() << QByteArray()
                                       << QStringLiteral("kanavox: nothing answers on the X display \"localhost:77\" (DISPLAY); start it inside a desktop session.");
    QTest::newRow("unix socket only, no TCP fallback") << QByteArray() << QByteArray("unix:" + m_tcpX) << QByteArray() << QByteArray()
                                                       << QStringLiteral("kanavox: nothing answers on the X display \"unix:%1\" (DISPLAY); start it inside a desktop session.").arg(QString::fromLatin1(m_tcpX));
}

void TestDesktop::platform()
{
    QFETCH(QByteArray, asked);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
    QFETCH(QString, error);
    if (display.contains(":77") && m_silentX.isEmpty())
        QSKIP("something serves display 77 here");
    const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", asked);
    qputenv("DISPLAY", display);
    qputenv("WAYLAND_DISPLAY", wayland);
    const TPlatformChoice choice = ChoosePlatform();
    qputenv("QT_QPA_PLATFORM", saved);
    QCOMPARE(choice.error, error);
    if (error.isEmpty())
        QCOMPARE(choice.platform, platform);
}

void TestDesktop::placement_data()
{
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<bool>("usable");
    // The window of the layout: 664 x 443, its exit button at 512,407 (100 x 32), on one
    // 1280 x 1024 screen with a 30-pixel panel at its top.
    QTest::newRow("stored place") << QPoint(80, 120) << true;
    QTest::newRow("monitor unplugged") << QPoint(3000, 2000) << false;
    QTest::newRow("only a corner left") << QPoint(1215, 998) << false;
    QTest::newRow("left half off") << QPoint(-300, 100) << true;
    QTest::newRow("wholly off to the left") << QPoint(-1200, 100) << false;
    QTest::newRow("title bar under the panel, button on screen") << QPoint(0, 10) << true;
    QTest::newRow("title bar above the screen, button on screen") << QPoint(100, -300) << true;
    QTest::newRow("below the screen but the title bar") << QPoint(100, 1010) << true;
    QTest::newRow("a sliver of title bar") << QPoint(1250, 500) << false;
    QTest::newRow("on the second screen") << QPoint(1400, 100) << true;
}

void TestDesktop::placement()
{
    QFETCH(QPoint, topLeft);
    QFETCH(bool, usable);
    const QList<QRect> screens{QRect(0, 30, 1280, 994), QRect(1280, 0, 800, 600)};
    const bool second = QTest::currentDataTag() == QByteArray("on the second screen");
    QCOMPARE(PlacementUsable(topLeft, QSize(664, 443), QRect(512, 407, 100, 32),
                             second ? screens : screens.mid(0, 1)),
             usable);
}

Q_DECLARE_METATYPE(std::optional<QMargins>)

void TestDesktop::frameRoundTrip_data()
{
    // The window manager's frame as it is on screen, in X pixels; what it reports in
    // _NET_FRAME_EXTENTS; the frame window around the client (none: not reparented).
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPoint>("screenOrigin");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<std::optional<QMargins>>("reported");
    QTest::addColumn<std::optional<QMargins>>("enclosing");
    struct Wm {
        const char *name;
        QMargins frame;
        std::optional<QMargins> reported, enclosing;
    };
    const Wm wms[] = {
        {"no window manager", {}, std::nullopt, std::nullopt},
        // twm and the like set no extents: the frame window is all there is to go by.
        {"frames without extents", {2, 22, 2, 2}, std::nullopt, QMargins(2, 22, 2, 2)},
        {"openbox", {1, 20, 1, 1}, QMargins(1, 20, 1, 1), QMargins(1, 20, 1, 1)},
        // kwin 5.27, Xwayland Scale=2: the title bar takes 74 X pixels, reported as 37.
        {"kwin, extents in its units", {0, 74, 0, 0}, QMargins(0, 37, 0, 0), QMargins(0, 74, 0, 0)},
        {"kwin with borders, extents in its units", {4, 74, 4, 4}, QMargins(2, 37, 2, 2), QMargins(4, 74, 4, 4)},
        {"kwin at 1.5, extents in its units", {3, 56, 3, 3}, QMargins(2, 37, 2, 2), QMargins(3, 56, 3, 3)},
        // mutter's frame window holds invisible resize borders the extents leave out.
        {"mutter", {0, 37, 0, 0}, QMargins(0, 37, 0, 0), QMargins(10, 47, 10, 10)},
        {"mutter without top border", {0, 37, 0, 0}, QMargins(0, 37, 0, 0), QMargins(10, 37, 10, 10)},
        {"extents without a frame window", {2, 24, 2, 2}, QMargins(2, 24, 2, 2), std::nullopt},
    };
    const QPoint places[] = {{133, 201}, {120, 200}, {0, 0}, {-301, 97}};
    for (const qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0})
        for (const Wm &wm : wms)
            for (const QPoint &place : places) {
                const QByteArray name = QByteArray(wm.name) + ", scale " + QByteArray::number(scale) + ", at " +
                                        QByteArray::number(place.x()) + "," + QByteArray::number(place.y());
                QTest::newRow(name.constData()) << scale << place << QPoint() << wm.frame << wm.reported << wm.enclosing;
            }
    QTest::newRow("second screen, scale 1.5") << 1.5 << QPoint(1413, 201) << QPoint(1280, 0) << QMargins(1, 20, 1, 1)
                                             << std::optional<QMargins>(QMargins(1, 20, 1, 1))
                                             << std::optional<QMargins>(QMargins(1, 20, 1, 1));
    QTest::newRow("second screen, kwin") << 2.0 << QPoint(1413, 201) << QPoint(1280, 0) << QMargins(0, 74, 0, 0)
                                        << std::optional<QMargins>(QMargins(0, 37, 0, 0))
                                        << std::optional<QMargins>(QMargins(0, 74, 0, 0));
}

void TestDesktop::frameRoundTrip()
{
    QFETCH(qreal, scale);
    QFETCH(QPoint, stored);
    QFETCH(QPoint, screenOrigin);
    QFETCH(QMargins, frame);
    QFETCH(std::optional<QMargins>, reported);
    QFETCH(std::optional<QMargins>, enclosing);
    // Qt puts the frame's corner at the stored place scaled to X pixels, rounded; the
    // window manager puts the client inside its frame from there.
    const QPoint frameAt = (stored - screenOrigin) * scale + screenOrigin;
    const QPoint clientAt = frameAt + QPoint(frame.left(), frame.top());
    const QMargins extents = FrameExtentsInXPixels(reported, enclosing);
    QCOMPARE(QPoint(extents.left(), extents.top()), QPoint(frame.left(), frame.top()));
    QCOMPARE(FrameTopLeft(clientAt, extents, scale, screenOrigin), stored);
}

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
