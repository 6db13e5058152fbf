// gen_icon --check must hold the committed icons to the drawing without failing on the
// level or two by which another machine's rasterizer draws anti-aliased edges.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

using Change = std::function<void(QImage &)>;

const QColor kOutline(139, 0, 0);

// The committed icons copied into `dir`, the 256-pixel one passed through `change`.
void PlantCopy(const QString &dir, const Change &change)
{
    for (const QString &name : QDir(QStringLiteral(ICON_DIR)).entryList({QStringLiteral("kanavox-*.png")})) {
        const QString from = QDir(QStringLiteral(ICON_DIR)).filePath(name);
        QVERIFY(QFile::copy(from, QDir(dir).filePath(name)));
    }
    const QString big = QDir(dir).filePath(QStringLiteral("kanavox-256.png"));
    QImage img(big);
    QVERIFY(!img.isNull());
    img = img.convertToFormat(QImage::Format_ARGB32);
    change(img);
    QVERIFY(img.save(big, "PNG"));
}

int RunCheck(const QString &dir, QString *err)
{
    QProcess p;
    p.start(QStringLiteral(GEN_ICON), {QStringLiteral("--check"), dir});
    if (!p.waitForFinished(60000))
        return -1;
    *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Adds `levels` to one channel of every opaque pixel whose colour is `of` (all when invalid).
Change Shift(int levels, QColor of = QColor())
{
    return [=](QImage &img) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                QColor c = img.pixelColor(x, y);
                if (c.alpha() != 255 || (of.isValid() && c.rgb() != of.rgb()))
                    continue;
                c.setBlue(c.blue() + levels <= 255 ? c.blue() + levels : c.blue() - levels);
                img.setPixelColor(x, y, c);
            }
    };
}

} // namespace

class TestIconCheck : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("passes");
        QTest::newRow("unchanged") << Change([](QImage &) {}) << true;
        QTest::newRow("one pixel one level") << Change([](QImage &img) {
            QColor c = img.pixelColor(128, 128);
            c.setGreen(c.green() < 255 ? c.green() + 1 : 254);
            img.setPixelColor(128, 128, c);
        }) << true;
        QTest::newRow("every opaque pixel two levels") << Shift(2) << true;
        QTest::newRow("every opaque pixel three levels") << Shift(3) << false;
        QTest::newRow("outline recoloured") << Change([](QImage &img) {
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixelColor(x, y) == kOutline)
                        img.setPixelColor(x, y, QColor(0, 0, 139));
        }) << false;
        QTest::newRow("outline a little darker") << Shift(12, kOutline) << false;
        QTest::newRow("picture moved one pixel") << Change([](QImage &img) {
            const QImage copy = img.copy();
            img.fill(Qt::transparent);
            QPainter(&img).drawImage(1, 0, copy);
        }) << false;
        QTest::newRow("smaller image") << Change([](QImage &img) { img = img.copy(0, 0, 255, 255); }) << false;
    }
    void check()
    {
        QFETCH(Change, change);
        QFETCH(bool, passes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        PlantCopy(dir.path(), change);
        QString err;
        const int code = RunCheck(dir.path(), &err);
        QVERIFY2(code == (passes ? 0 : 1), qPrintable(QStringLiteral("exit %1: %2").arg(code).arg(err)));
        if (!passes)
            QVERIFY2(err.contains(QLatin1String("kanavox-256.png")), qPrintable(err));
    }

    void missingFileFails()
    {
        QTemporaryDir dir;
        PlantCopy(dir.path(), [](QImage &) {});
        QVERIFY(QFile::remove(QDir(dir.path()).filePath(QStringLiteral("kanavox-16.png"))));
        QString err;
        QCOMPARE(RunCheck(dir.path(), &err), 1);
        QVERIFY2(err.contains(QLatin1String("kanavox-16.png")), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestIconCheck)
#include "tst_iconcheck.moc"
