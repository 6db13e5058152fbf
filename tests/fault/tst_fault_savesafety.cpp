// What a save must not do to the file it replaces and to the files around it: lose its
// ACL, attributes, hard links or owner, half-write it in place, write over a file that
// took its place, or mix with another process saving at the same moment. Real files in a
// folder of the test's own; the cases of several users fork a child that becomes them.
#include "Exceptions.h"
#include "Settings.h"
#include "SysError.h"
#include "TestFiles.h"
#include "TestSeams.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <functional>
#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Every option set to `flags`.
QByteArray Eleven(int top, int left, int flags)
{
    return SettingsFile(top, left, {flags, flags, flags, flags, flags});
}

TKanavoxSettings Make(int top, int left, bool flags)
{
    TKanavoxSettings s;
    s.MainTop = top;
    s.MainLeft = left;
    s.Options.insertClass = s.Options.classEachCharacter = s.Options.blankSeparator = s.Options.keepDigits = s.Options.keepSymbols = flags;
    return s;
}

const QByteArray kOther = "; kept by hand\r\n[Other]\r\nkeep=123456789\r\n\r\n";

// A POSIX access ACL as the kernel stores it in system.posix_acl_access.
struct AclEntry {
    quint16 tag, perm;
    quint32 id;
};
QByteArray Acl(std::initializer_list<AclEntry> entries)
{
    QByteArray b;
    const auto put = [&b](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    put(2, 4); // version
    for (const AclEntry &e : entries) {
        put(e.tag, 2);
        put(e.perm, 2);
        put(e.id, 4);
    }
    return b;
}
constexpr quint16 kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOtherTag = 0x20;
constexpr quint32 kNoId = 0xFFFFFFFF;
constexpr uid_t kNobody = 65534;
// A second ordinary user; it needs no entry in the user database to own files.
constexpr uid_t kSecondUser = 65533;
constexpr gid_t kSharedGroup = 65532;

QByteArray Xattr(const QString &path, const char *name)
{
    QByteArray value(4096, '\0');
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value.data(), value.size());
    if (n < 0)
        return QByteArrayLiteral("<none>");
    value.truncate(n);
    return value;
}

struct stat Stat(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs `body` in a child process with the user and group ids given (and only the
// supplementary group, if any); returns the child's exit code, or -1.
int RunAs(uid_t uid, gid_t gid, gid_t extraGroup, const std::function<int()> &body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const gid_t groups[] = {extraGroup};
        if (::setgroups(extraGroup ? 1 : 0, groups) != 0 || ::setresgid(gid, gid, gid) != 0
            || ::setresuid(uid, uid, uid) != 0)
            ::_exit(90);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// 0: the save worked; 1: it failed with the create error; 2: anything else.
int TrySave(const TKanavoxSettings &s)
{
    try {
        SaveSettings(s);
        return 0;
    } catch (const EFCreateError &) {
        return 1;
    } catch (...) {
        return 2;
    }
}

} // namespace

class TestSaveSafety : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<TestSeams::SettingsDirectory>(m_dir->path());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    }
    void cleanup()
    {
        m_settings.reset();
        m_dir.reset();
    }

    // The new file gets the old one's mode, ACL and extended attributes.
    void metadataKept_data()
    {
        QTest::addColumn<QByteArray>("acl");
        QTest::addColumn<QByteArray>("userAttribute");
        QTest::addColumn<int>("mode");
        // The group may read; user 65534 may do nothing at all, whatever the others may.
        const QByteArray acl = Acl({{kUserObj, 6, kNoId}, {kUser, 0, kNobody}, {kGroupObj, 4, kNoId},
                                    {kMask, 4, kNoId}, {kOtherTag, 4, kNoId}});
        QTest::newRow("mode 0640") << QByteArray() << QByteArray() << 0640;
        QTest::newRow("named ACL entries") << acl << QByteArray() << 0644;
        QTest::newRow("a user attribute") << QByteArray() << QByteArrayLiteral("tag=blue") << 0600;
        QTest::newRow("ACL and attribute") << acl << QByteArrayLiteral("x") << 0644;
    }
    void metadataKept()
    {
        QFETCH(QByteArray, acl);
        QFETCH(QByteArray, userAttribute);
        QFETCH(int, mode);
        const QString ini = IniPath();
        const QByteArray native = QFile::encodeName(ini);
        QVERIFY(WriteBytes(ini, kOther + Eleven(1, 2, 0)));
        QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
        if (!acl.isEmpty() && ::setxattr(native.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0) != 0)
            QSKIP("the test folder's file system takes no ACL");
        if (!userAttribute.isEmpty()
            && ::setxattr(native.constData(), "user.kanavox", userAttribute.constData(), userAttribute.size(), 0) != 0)
            QSKIP("the test folder's file system takes no user attributes");
        const QByteArray aclBefore = Xattr(ini, "system.posix_acl_access");

        SaveSettings(Make(5, 6, true));

        QCOMPARE(ReadBytes(ini), kOther + Eleven(5, 6, 1));
        QCOMPARE(int(Stat(ini).st_mode & 07777), mode);
        QCOMPARE(Xattr(ini, "system.posix_acl_access"), aclBefore);
        QCOMPARE(Xattr(ini, "user.kanavox"), userAttribute.isEmpty() ? QByteArrayLiteral("<none>") : userAttribute);
    }

    // A folder's default ACL reaches the new file made in it; a file that had no ACL of
    // its own must not gain one by the save.
    void folderDefaultAclNotGained()
    {
        const QString ini = IniPath();
        const QByteArray folder = QFile::encodeName(m_dir->path());
        QVERIFY(WriteBytes(ini, kOther + Eleven(1, 2, 0)));
        QCOMPARE(::chmod(QFile::encodeName(ini).constData(), 0640), 0);
        const QByteArray acl = Acl({{kUserObj, 7, kNoId}, {kUser, 0, kNobody}, {kGroupObj, 5, kNoId},
                                    {kMask, 5, kNoId}, {kOtherTag, 5, kNoId}});
        if (::setxattr(folder.constData(), "system.posix_acl_default", acl.constData(), acl.size(), 0) != 0)
            QSKIP("the test folder's file system takes no ACL");

        SaveSettings(Make(5, 6, true));

        QCOMPARE(ReadBytes(ini), kOther + Eleven(5, 6, 1));
        QCOMPARE(Xattr(ini, "system.posix_acl_access"), QByteArrayLiteral("<none>"));
        QCOMPARE(int(Stat(ini).st_mode & 07777), 0640);
    }

    // Both names of a file of two hard links see the save: it is rewritten in place.
    void hardLinkKept()
    {
        const QString ini = IniPath();
        const QString other = m_dir->filePath(QStringLiteral("other-name.ini"));
        QVERIFY(WriteBytes(ini, kOther + Eleven(1, 2, 0)));
        QCOMPARE(::link(QFile::encodeName(ini).constData(), QFile::encodeName(other).constData()), 0);
        const ino_t inode = Stat(ini).st_ino;
        SaveSettings(Make(5, 6, true));
        QCOMPARE(ReadBytes(ini), kOther + Eleven(5, 6, 1));
        QCOMPARE(ReadBytes(other), kOther + Eleven(5, 6, 1));
        QCOMPARE(Stat(ini).st_ino, inode);
        QCOMPARE(Stat(ini).st_nlink, nlink_t(2));
    }

    // A group-writable file of another user in a shared group, saved by a member: the
    // saver cannot give a new file that owner, so the file is rewritten and keeps its owner
    // and group.
    void sharedFileKeepsOwner()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to act as two users");
        const QString ini = IniPath();
        const QByteArray native = QFile::encodeName(ini);
        QVERIFY(WriteBytes(ini, kOther + Eleven(1, 2, 0)));
        QCOMPARE(::chown(native.constData(), kNobody, kSharedGroup), 0);
        QCOMPARE(::chmod(native.constData(), 0664), 0);
        const QByteArray dir = QFile::encodeName(m_dir->path());
        QCOMPARE(::chown(dir.constData(), 0, kSharedGroup), 0);
        QCOMPARE(::chmod(dir.constData(), 0775), 0);
        const ino_t inode = Stat(ini).st_ino;

        QCOMPARE(RunAs(kSecondUser, kSecondUser, kSharedGroup, [] { return TrySave(Make(5, 6, true)); }), 0);

        QCOMPARE(ReadBytes(ini), kOther + Eleven(5, 6, 1));
        const struct stat st = Stat(ini);
        QCOMPARE(st.st_uid, kNobody);
        QCOMPARE(st.st_gid, kSharedGroup);
        QCOMPARE(int(st.st_mode & 07777), 0664);
        QCOMPARE(st.st_ino, inode);
        QCOMPARE(DirEntries(), QStringList{QStringLiteral("Kanavox.ini")});
    }

    // A rewrite in place that fails leaves every byte as it was, whether the disk was full
    // from the start (the new size is reserved first) or the write failed on the way.
    void inPlaceFailureKeepsFile_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("sizeLimit"); // bytes over the old size; -1: none
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("error");
        QTest::newRow("write fails, file grows") << int(FileSystem::Fault::Write) << -1 << -2000000000 << ENOSPC;
        QTest::newRow("write fails, file shrinks") << int(FileSystem::Fault::Write) << -1 << 0 << EIO;
        QTest::newRow("no room to grow") << int(FileSystem::Fault::None) << 3 << -2000000000 << EFBIG;
    }
    void inPlaceFailureKeepsFile()
    {
        QFETCH(int, fault);
        QFETCH(int, sizeLimit);
        QFETCH(int, top);
        QFETCH(int, error);
        const QString ini = IniPath();
        const QString other = m_dir->filePath(QStringLiteral("other-name.ini"));
        const QByteArray before = kOther + Eleven(-1000000, -1000000, 0);
        QVERIFY(WriteBytes(ini, before));
        // A second name makes the save rewrite the file in place.
        QCOMPARE(::link(QFile::encodeName(ini).constData(), QFile::encodeName(other).constData()), 0);
        QString message;
        {
            const TestSeams::FileSystemFault injected(FileSystem::Fault(fault), error);
            std::unique_ptr<TestSeams::FileSizeLimit> limit;
            if (sizeLimit >= 0) {
                limit = std::make_unique<TestSeams::FileSizeLimit>(rlim_t(before.size() + sizeLimit));
                QVERIFY(limit->Set());
            }
            try {
                SaveSettings(Make(top, top, true));
            } catch (const EFCreateError &e) {
                message = e.Message();
            }
        }
        QCOMPARE(message, QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(ini, SysErrorMessage(error)));
        QCOMPARE(ReadBytes(ini), before);
        QCOMPARE(ReadBytes(other), before);
        // The next save, with room again, works.
        SaveSettings(Make(top, top, true));
        QCOMPARE(ReadBytes(other), kOther + Eleven(top, top, 1));
    }

    // What the path names when the new file is about to take its place must be the file
    // that was read; a file put there since stays, and so does the one moved away.
    void fileReplacedBeforeRename()
    {
        const QString ini = IniPath();
        const QString moved = m_dir->filePath(QStringLiteral("moved.ini"));
        const QString stranger = m_dir->filePath(QStringLiteral("stranger.ini"));
        const QByteArray before = kOther + Eleven(1, 2, 0);
        const QByteArray strangers = "[Stranger]\r\nx=y\r\n";
        QVERIFY(WriteBytes(ini, before));
        QVERIFY(WriteBytes(stranger, strangers));
        int renames = 0;
        const TestSeams::FileSystemHook swap([&](FileSystem::Stage stage) {
            if (stage != FileSystem::Stage::Renaming || renames++)
                return;
            QFile::rename(ini, moved);
            QFile::rename(stranger, ini);
        });
        QString message;
        try {
            SaveSettings(Make(5, 6, true));
        } catch (const EFCreateError &e) {
            message = e.Message();
        }
        QCOMPARE(renames, 1);
        QCOMPARE(message, QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(ini, SysErrorMessage(EBUSY)));
        QCOMPARE(ReadBytes(ini), strangers);
        QCOMPARE(ReadBytes(moved), before);
        QCOMPARE(DirEntries(), (QStringList{QStringLiteral("Kanavox.ini"), QStringLiteral("moved.ini")}));
    }

    // A file put in our place after the last check, in the very moment before the files
    // trade places: it is found after the exchange and put back; where that fails, it stays
    // under the temporary's name and is not removed with it.
    void fileReplacedAtExchange_data()
    {
        QTest::addColumn<bool>("putBackFails");
        QTest::newRow("put back") << false;
        QTest::newRow("cannot be put back") << true;
    }
    void fileReplacedAtExchange()
    {
        QFETCH(bool, putBackFails);
        const QString ini = IniPath();
        const QString moved = m_dir->filePath(QStringLiteral("moved.ini"));
        const QString stranger = m_dir->filePath(QStringLiteral("stranger.ini"));
        const QByteArray before = kOther + Eleven(1, 2, 0);
        const QByteArray strangers = "[Stranger]\r\nx=y\r\n";
        QVERIFY(WriteBytes(ini, before));
        QVERIFY(WriteBytes(stranger, strangers));
        int exchanges = 0;
        const TestSeams::FileSystemHook swap([&](FileSystem::Stage stage) {
            if (stage != FileSystem::Stage::Exchanging || exchanges++)
                return;
            QFile::rename(ini, moved);
            QFile::rename(stranger, ini);
        });
        const TestSeams::FileSystemFault fault(putBackFails ? FileSystem::Fault::PutBack : FileSystem::Fault::None);
        QString message;
        try {
            SaveSettings(Make(5, 6, true));
        } catch (const EFCreateError &e) {
            message = e.Message();
        }
        QCOMPARE(exchanges, 1);
        QCOMPARE(message, QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(ini, SysErrorMessage(EBUSY)));
        QCOMPARE(ReadBytes(moved), before);
        QStringList holding; // the files that hold the stranger's bytes
        for (const QString &name : DirEntries())
            if (ReadBytes(m_dir->filePath(name)) == strangers)
                holding.append(name);
        QCOMPARE(holding.size(), 1);
        if (!putBackFails)
            QCOMPARE(holding.first(), QStringLiteral("Kanavox.ini"));
    }

    // A link turned elsewhere between the read and the write: the file read is the file
    // written, and the link's new target is not touched.
    void linkTurnedBeforeWrite()
    {
        const QString ini = IniPath();
        const QString a = m_dir->filePath(QStringLiteral("a.ini"));
        const QString b = m_dir->filePath(QStringLiteral("b.ini"));
        const QByteArray victims = "; the victim's own\r\nsecret=1\r\n";
        QVERIFY(WriteBytes(a, kOther + Eleven(1, 2, 0)));
        QVERIFY(WriteBytes(b, victims));
        QCOMPARE(::symlink("a.ini", QFile::encodeName(ini).constData()), 0);
        const TestSeams::FileSystemHook turn([&](FileSystem::Stage stage) {
            if (stage != FileSystem::Stage::Replacing)
                return;
            QFile::remove(ini);
            QFile::link(QStringLiteral("b.ini"), ini);
        });
        SaveSettings(Make(5, 6, true));
        QCOMPARE(ReadBytes(a), kOther + Eleven(5, 6, 1));
        QCOMPARE(ReadBytes(b), victims);
    }

    // Two processes saving at once: the second waits while the first is between its read
    // and its write, then merges the first one's result; the file is the second's
    // complete text, never a mix, a cut or NUL bytes.
    void savesTakeTurns_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("by rename") << false;
        QTest::newRow("in place") << true;
    }
    void savesTakeTurns()
    {
        QFETCH(bool, inPlace);
        const QString ini = IniPath();
        // A long old file: the one stalled writes a shorter text over it.
        const QByteArray other = kOther + "[Long]\r\nv=" + QByteArray(6000, 'v') + "\r\n\r\n";
        QVERIFY(WriteBytes(ini, other + Eleven(-1000000, -1000000, 0)));
        if (inPlace)
            QCOMPARE(::link(QFile::encodeName(ini).constData(),
                            QFile::encodeName(m_dir->filePath(QStringLiteral("second.ini"))).constData()), 0);
        int stalled[2], release[2];
        QCOMPARE(::pipe(stalled), 0);
        QCOMPARE(::pipe(release), 0);
        const pid_t first = ::fork();
        QVERIFY(first >= 0);
        if (first == 0) {
            FileSystem::SetHookForTesting([&](FileSystem::Stage stage) {
                char c = 0;
                if (stage == FileSystem::Stage::Replacing
                    && (::write(stalled[1], "s", 1) != 1 || ::read(release[0], &c, 1) != 1))
                    ::_exit(5);
            });
            ::_exit(TrySave(Make(1, 1, false)));
        }
        char c = 0;
        QCOMPARE(::read(stalled[0], &c, 1), ssize_t(1));
        const pid_t second = ::fork();
        QVERIFY(second >= 0);
        if (second == 0)
            ::_exit(TrySave(Make(2, 2, true)));
        // The second must not get through while the first holds the file; it is given a
        // while to show that it would.
        int status = 0;
        bool secondDoneEarly = false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 1500) {
            if (::waitpid(second, &status, WNOHANG) == second) {
                secondDoneEarly = true;
                break;
            }
            QTest::qSleep(20);
        }
        QCOMPARE(::write(release[1], "g", 1), ssize_t(1));
        QCOMPARE(::waitpid(first, &status, 0), first);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!secondDoneEarly) {
            QCOMPARE(::waitpid(second, &status, 0), second);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        for (int fd : {stalled[0], stalled[1], release[0], release[1]})
            ::close(fd);
        QVERIFY2(!secondDoneEarly, "the second save went through while the first was between read and write");
        QCOMPARE(ReadBytes(ini), other + Eleven(2, 2, 1));
    }

private:
    QString IniPath() const { return m_dir->filePath(QStringLiteral("Kanavox.ini")); }
    QStringList DirEntries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestSeams::SettingsDirectory> m_settings;
};

QTEST_GUILESS_MAIN(TestSaveSafety)
#include "tst_fault_savesafety.moc"
