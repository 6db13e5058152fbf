// Start-up decisions that depend on the desktop: which platform plugin Qt is given, and
// whether a stored window position is still usable on the screens there are.
#include "PlatformChoice.h"
#include "WindowPlacement.h"

#include <QTest>

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void platform_data();
    void platform();
    void placement_data();
    void placement();
};

void TestDesktop::platform_data()
{
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("platform"); // empty: an error line instead
    QTest::addColumn<QString>("error");
    QTest::newRow("X11 only") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray("xcb") << QString();
    QTest::newRow("Wayland only") << QByteArray() << QByteArray() << QByteArray("wayland-0") << QByteArray("wayland") << QString();
    // XWayland: positions can be restored under X11, so it comes first.
    QTest::newRow("both") << QByteArray() << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("xcb;wayland") << QString();
    QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray() << QByteArray()
                          << QStringLiteral("kanavox: no display found (DISPLAY is not set); start it inside a desktop session.");
    QTest::newRow("user's choice") << QByteArray("offscreen") << QByteArray(":0") << QByteArray() << QByteArray("offscreen") << QString();
    QTest::newRow("user's list, second installed") << QByteArray("nosuch;offscreen:fontengine=freetype") << QByteArray() << QByteArray()
                                                   << QByteArray("nosuch;offscreen:fontengine=freetype") << QString();
    QTest::newRow("user's choice missing") << QByteArray("nosuch") << QByteArray(":0") << QByteArray() << QByteArray()
                                           << QStringLiteral("kanavox: Qt has no platform plugin \"nosuch\" (QT_QPA_PLATFORM) installed.");
}

void TestDesktop::platform()
{
    QFETCH(QByteArray, asked);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, platform);
    QFETCH(QString, error);
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

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
