// Saves killed with SIGKILL at random moments: the settings file on disk is always the
// old or the new complete text, never a mix, a truncation or an empty file.
// A child process runs the real save; the parent kills it after a seeded random delay.
#include "Settings.h"
#include "TestFiles.h"
#include "TestSeams.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Large enough that one save takes many write calls and pages, so a kill can land
// in the middle of the data as well as around the open, the sync and the rename.
constexpr int kOtherEntries = 4000;
constexpr int kKills = 300;

QByteArray Eleven(const TKanavoxSettings &s)
{
    const ReadingOptions &o = s.Options;
    return SettingsFile(s.MainTop, s.MainLeft, {o.insertClass, o.classEachCharacter, o.blankSeparator,
                                               o.keepDigits, o.keepSymbols});
}

TKanavoxSettings Make(int top, int left, bool flags)
{
    TKanavoxSettings s;
    s.MainTop = top;
    s.MainLeft = left;
    s.Options.insertClass = flags;
    s.Options.classEachCharacter = !flags;
    s.Options.blankSeparator = flags;
    s.Options.keepDigits = !flags;
    s.Options.keepSymbols = flags;
    return s;
}

QByteArray OtherSection()
{
    QByteArray b = "[Other]\r\n";
    for (int i = 0; i < kOtherEntries; ++i)
        b += "key" + QByteArray::number(i) + '=' + QByteArray(48, char('a' + i % 26)) + "\r\n";
    return b + "\r\n";
}

bool ReadFile(const QString &path, QByteArray *bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return true;
}

void SleepMicroseconds(qint64 us)
{
    timespec ts{time_t(us / 1000000), long((us % 1000000) * 1000)};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

} // namespace

class TestKillSave : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLeavesCompleteFile_data();
    void killedSaveLeavesCompleteFile();
};

void TestKillSave::killedSaveLeavesCompleteFile_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<quint32>("seed");
    // A loop of saves over an existing file, each alternating between two settings.
    QTest::newRow("save loop over an existing file") << true << quint32(20240901);
    // The very first save, where there is no old file: absent or complete.
    QTest::newRow("first save, no old file") << false << quint32(777);
}

void TestKillSave::killedSaveLeavesCompleteFile()
{
    QFETCH(bool, existing);
    QFETCH(quint32, seed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const TestSeams::SettingsDirectory settingsDirectory(dir.path());
    const QString ini = dir.filePath(QStringLiteral("Kanavox.ini"));

    const TKanavoxSettings a = Make(120, 80, true);
    const TKanavoxSettings b = Make(-5, 2000, false);
    const QByteArray other = existing ? OtherSection() : QByteArray();
    const QByteArray textA = other + Eleven(a);
    const QByteArray textB = other + Eleven(b);

    auto reset = [&] {
        QFile::remove(ini);
        if (existing)
            QVERIFY(WriteBytes(ini, textA));
    };

    // The delays are spread over a few saves' time, measured in children like the ones
    // killed below (a fresh child's first saves are slower than the parent's).
    QList<qint64> durations;
    for (int probe = 0; probe < 3; ++probe) {
        reset();
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            for (int i = 0; i < 2; ++i) {
                QElapsedTimer t;
                t.start();
                try {
                    SaveSettings(i % 2 ? a : b);
                } catch (...) {
                    ::_exit(3);
                }
                const qint64 us = t.nsecsElapsed() / 1000;
                if (::write(pipeFds[1], &us, sizeof us) != sizeof us)
                    ::_exit(4);
            }
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        qint64 us = 0;
        while (::read(pipeFds[0], &us, sizeof us) == ssize_t(sizeof us))
            durations.append(us);
        ::close(pipeFds[0]);
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::sort(durations.begin(), durations.end());
    const qint64 saveUs = std::max<qint64>(durations[durations.size() / 2], 50);
    const qint64 maxDelayUs = existing ? 3 * saveUs : saveUs;

    QRandomGenerator rng(seed);
    int sawA = 0, sawB = 0, sawNone = 0, strayTemps = 0, killedRunning = 0;
    for (int i = 0; i < kKills; ++i) {
        reset();
        const qint64 delay = qint64(rng.bounded(quint32(maxDelayUs + 1)));
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            // The delay counts from here, not from the fork, whose cost varies.
            ::close(ready[0]);
            const char go = 1;
            if (::write(ready[1], &go, 1) != 1)
                ::_exit(4);
            try {
                if (existing) {
                    for (;;) {
                        SaveSettings(b);
                        SaveSettings(a);
                    }
                }
                SaveSettings(a);
            } catch (...) {
                ::_exit(3);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        QCOMPARE(::read(ready[0], &go, 1), ssize_t(1));
        ::close(ready[0]);
        SleepMicroseconds(delay);
        ::kill(pid, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        if (WIFEXITED(status))
            QVERIFY2(WEXITSTATUS(status) == 0, "a save in the child failed");
        else if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            ++killedRunning;

        QByteArray now;
        if (!ReadFile(ini, &now)) {
            QVERIFY2(!existing, qPrintable(QStringLiteral("kill %1 after %2 us: the old file is gone").arg(i).arg(delay)));
            QVERIFY(!QFileInfo::exists(ini));
            ++sawNone;
        } else if (now == textA) {
            ++sawA;
        } else if (now == textB) {
            ++sawB;
        } else {
            QFAIL(qPrintable(QStringLiteral("kill %1 after %2 us left %3 bytes that are neither text (%4 or %5 bytes)")
                                 .arg(i).arg(delay).arg(now.size()).arg(textA.size()).arg(textB.size())));
        }
        // A killed save may leave its hidden temporary behind; it never replaces the file.
        const QStringList temps = QDir(dir.path()).entryList({QStringLiteral(".Kanavox.ini.tmp*")},
                                                             QDir::Files | QDir::Hidden);
        strayTemps += temps.size();
        for (const QString &t : temps)
            QFile::remove(dir.filePath(t));
    }
    qInfo("%d kills (%d while the child ran), delays 0..%lld us (one save %lld us): "
          "text A %d, text B %d, no file %d, stray temporaries %d",
          kKills, killedRunning, maxDelayUs, saveUs, sawA, sawB, sawNone, strayTemps);
    // The kills must have hit saves in progress, or the test proved nothing.
    QVERIFY(killedRunning > kKills / 4);
    // After all that, a save and a load still work.
    SaveSettings(b);
    const TKanavoxSettings back = LoadSettings();
    QCOMPARE(back.MainTop, b.MainTop);
    QCOMPARE(back.MainLeft, b.MainLeft);
}

QTEST_GUILESS_MAIN(TestKillSave)
#include "tst_fault_killsave.moc"
