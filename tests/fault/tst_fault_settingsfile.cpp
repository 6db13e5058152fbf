// The main window started over hostile settings files, and closed when the disk fills
// during the save. Real files in a directory of the test's own; error boxes captured.
#include "Application.h"
#include "Main.h"
#include "MessageBox.h"
#include "Settings.h"
#include "SysError.h"
#include "TestFiles.h"
#include "TestSeams.h"
#include "WindowFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Utf16LE(const QString &text)
{
    QByteArray b("\xFF\xFE", 2);
    for (QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

// "top,left,MojiSyu,1Mojigoto,SepBlank,Num,Kigou" as the window shows them.
QString Shown(const TfmKanavox *f)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(f->y()).arg(f->x())
        .arg(int(f->chkMojisyuIns->GetChecked())).arg(int(f->chk1Mojisyu->GetChecked()))
        .arg(int(f->chkSepBlank->GetChecked())).arg(int(f->chkNum->GetChecked()))
        .arg(int(f->chkKigou->GetChecked()));
}

const QString kDefaults = QStringLiteral("0,0,1,1,0,0,0");

QString OpenMessage(const QString &path, int error)
{
    return QStringLiteral("ファイル %1 は開けません。 %2 ").arg(QDir::toNativeSeparators(path), SysErrorMessage(error));
}

QString CreateMessage(const QString &path, int error)
{
    return QStringLiteral("ファイル \"%1\" を作成できません。%2.").arg(QDir::toNativeSeparators(path), SysErrorMessage(error));
}

} // namespace

class TestFaultSettingsFile : public QObject, private TWindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(SetUpWindow()); }
    void cleanup() { TearDownWindow(); }

    // Start-up over each file never crashes or hangs: an unreadable one is reported,
    // whatever cannot be parsed reads as the default, and the next close does what
    // the file allows (an error box keeps the window open).
    void hostileFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("shown");     // window after start-up
        QTest::addColumn<int>("openError");     // errno of the unreadable file, 0 when it reads
        QTest::addColumn<int>("closeError");    // errno of the failed save at close, 0 when it works
        QTest::newRow("a directory") << "dir" << kDefaults << 0 << int(EISDIR);
        QTest::newRow("a dangling link") << "dangling" << kDefaults << 0 << 0;
        QTest::newRow("a link to a read-only file") << "link-ro" << "30,40,0,1,1,0,1" << 0 << int(EACCES);
        QTest::newRow("a link to itself") << "loop" << kDefaults << 0 << int(ELOOP);
        QTest::newRow("a named pipe without writer") << "fifo" << kDefaults << 0 << int(EINVAL);
        QTest::newRow("a link to an endless device") << "devzero" << kDefaults << int(EFBIG) << 0;
        QTest::newRow("50 MB of random bytes") << "random" << "0,0,1,1,0,1,0" << 0 << 0;
        QTest::newRow("a single NUL byte") << "nul" << kDefaults << 0 << 0;
        QTest::newRow("4 KB of NULs") << "nul4k" << kDefaults << 0 << 0;
        QTest::newRow("odd-length UTF-16 with a BOM") << "utf16odd" << "0,0,1,1,1,0,0" << 0 << 0;
        QTest::newRow("100 000 sections") << "sections" << "7,9,1,1,0,1,0" << 0 << 0;
    }
    void hostileFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, shown);
        QFETCH(int, openError);
        QFETCH(int, closeError);
        const QString ini = IniPath();
        const QByteArray iniName = QFile::encodeName(ini);
        QByteArray before;
        if (kind == u"dir") {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kanavox.ini")));
        } else if (kind == u"dangling") {
            QCOMPARE(::symlink("target.ini", iniName.constData()), 0);
        } else if (kind == u"link-ro") {
            const QString target = m_dir->filePath(QStringLiteral("ro.ini"));
            before = SettingsFile(30, 40, {0, 1, 1, 0, 1});
            QVERIFY(WriteBytes(target, before));
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0444), 0);
            QCOMPARE(::symlink("ro.ini", iniName.constData()), 0);
        } else if (kind == u"loop") {
            QCOMPARE(::symlink("Kanavox.ini", iniName.constData()), 0);
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(iniName.constData(), 0644), 0);
        } else if (kind == u"devzero") {
            QCOMPARE(::symlink("/dev/zero", iniName.constData()), 0);
        } else if (kind == u"random") {
            QByteArray bytes(50 * 1024 * 1024, Qt::Uninitialized);
            QRandomGenerator rng(4242);
            rng.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            // A readable entry after the noise must still be found.
            bytes += "\r\n[Setting]\r\nNum=1\r\n";
            QVERIFY(WriteBytes(ini, bytes));
        } else if (kind == u"nul") {
            QVERIFY(WriteBytes(ini, QByteArray(1, '\0')));
        } else if (kind == u"nul4k") {
            QVERIFY(WriteBytes(ini, QByteArray(4096, '\0')));
        } else if (kind == u"utf16odd") {
            // The stray last byte ends the Kigou value, which then is no number.
            QVERIFY(WriteBytes(ini, Utf16LE(QStringLiteral("[Setting]\r\nSepBlank=1\r\nKigou=1")) + 'x'));
        } else if (kind == u"sections") {
            QByteArray bytes;
            for (int i = 0; i < 100000; ++i) {
                bytes += "[S" + QByteArray::number(i) + "]\r\nk=" + QByteArray::number(i) + "\r\n";
                if (i == 50000)
                    bytes += "[Position]\r\nMainTop=7\r\nMainLeft=9\r\n";
            }
            bytes += "[Setting]\r\nNum=1\r\n";
            QVERIFY(WriteBytes(ini, bytes));
        }

        QElapsedTimer timer;
        timer.start();
        TfmKanavox *f = Open();
        const qint64 startMs = timer.elapsed();
        for (const Box &b : std::as_const(m_boxes))
            qInfo("box at start: %s", qPrintable(b.text));
        if (openError) {
            QCOMPARE(m_boxes.size(), 1);
            QCOMPARE(m_boxes[0].caption, QStringLiteral("Kanavox"));
            QCOMPARE(m_boxes[0].text, OpenMessage(ini, openError));
            m_boxes.clear();
        } else {
            QVERIFY(m_boxes.isEmpty());
        }
        QCOMPARE(Shown(f), shown);
        // The window works normally.
        QTest::keyClicks(f->edtPass, QStringLiteral("a"));
        QVERIFY2(f->lblEGkekka->Caption().endsWith(QStringLiteral("エー")), qPrintable(f->lblEGkekka->Caption()));

        timer.restart();
        const bool closed = f->close();
        const qint64 closeMs = timer.elapsed();
        qInfo("start-up %lld ms, close %lld ms", startMs, closeMs);
        if (closeError || openError) {
            // A file that could not be read is not written over either.
            QVERIFY(!closed);
            QVERIFY(f->isVisible());
            QCOMPARE(m_boxes.size(), 1);
            QCOMPARE(m_boxes[0].caption, QStringLiteral("Kanavox"));
            QCOMPARE(m_boxes[0].text, openError ? OpenMessage(ini, openError) : CreateMessage(ini, closeError));
            if (!before.isEmpty())
                QCOMPARE(ReadBytes(ini), before);
        } else {
            QVERIFY(closed);
            QVERIFY(m_boxes.isEmpty());
        }

        if (kind == u"dir") {
            QVERIFY(QFileInfo(ini).isDir());
        } else if (kind == u"dangling") {
            // The save created the file the link points to; the link stays.
            QVERIFY(QFileInfo(ini).isSymLink());
            QCOMPARE(ReadBytes(m_dir->filePath(QStringLiteral("target.ini"))), SettingsFile(0, 0, {1, 1, 0, 0, 0}));
        } else if (kind == u"nul" || kind == u"nul4k") {
            // The NULs are a line before the first section, not ours: they stay, ended.
            QCOMPARE(ReadBytes(ini), QByteArray(kind == u"nul" ? 1 : 4096, '\0') + "\r\n" + SettingsFile(0, 0, {1, 1, 0, 0, 0}));
        } else if (kind == u"utf16odd") {
            // Written back in its own encoding, whole code units only.
            QCOMPARE(ReadBytes(ini), Utf16LE(QStringLiteral(
                "[Setting]\r\nSepBlank=1\r\nKigou=0\r\nMojiSyu=1\r\n1Mojigoto=1\r\nNum=0\r\n\r\n"
                "[Position]\r\nMainTop=0\r\nMainLeft=0\r\n\r\n")));
        } else if (kind == u"random" || kind == u"sections") {
            const TKanavoxSettings back = LoadSettings();
            QCOMPARE(back.Options.keepDigits, true);
            QCOMPARE(back.MainTop, kind == u"sections" ? 7 : 0);
        }
        // No temporary of a failed or finished save stays behind.
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral(".Kanavox.ini.tmp*")}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // The disk fills during the save (a file size limit, whose signal is ignored as a
    // shell's "ulimit -f" child would): the error box, the old file byte-identical, the
    // window open; the next close after the limit is lifted saves.
    void diskFullAtClose()
    {
        const QByteArray old = "[Other]\r\nlong=" + QByteArray(6000, 'x') + "\r\n\r\n" + SettingsFile(3, 4, {1, 0, 1, 0, 1});
        QVERIFY(WriteBytes(IniPath(), old));
        TfmKanavox *f = Open();
        QCOMPARE(Shown(f), QStringLiteral("3,4,1,0,1,0,1"));
        QTest::keyClicks(f->edtPass, QStringLiteral("Z"));

        bool closedFull = false, closedAgain = false;
        {
            const TestSeams::FileSizeLimit limit(4096);
            QVERIFY(limit.Set());
            QCOMPARE(TestSeams::FileSizeLimit::Current(), rlim_t(4096));
            closedFull = f->close();
            closedAgain = f->close();
        }

        QVERIFY(!closedFull);
        QVERIFY(!closedAgain);
        QVERIFY(f->isVisible());
        QCOMPARE(m_boxes.size(), 2);
        for (const Box &b : std::as_const(m_boxes)) {
            QCOMPARE(b.caption, QStringLiteral("Kanavox"));
            QCOMPARE(b.text, CreateMessage(IniPath(), EFBIG));
        }
        QCOMPARE(ReadBytes(IniPath()), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Kanavox.ini")});
        // Still usable, and the settings go out once there is room.
        QTest::keyClicks(f->edtPass, QStringLiteral("9"));
        QCOMPARE(f->lblEGkekka->Caption(), QStringLiteral("大文字:ズィー 数字:キュー"));
        QVERIFY(f->close());
        QVERIFY(ReadBytes(IniPath()).endsWith(SettingsFile(3, 4, {1, 0, 1, 0, 1})));
    }
};

int main(int argc, char **argv)
{
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    TestFaultSettingsFile t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_fault_settingsfile.moc"
