#include "Exceptions.h"
#include "FileSystem.h"
#include "Settings.h"
#include "SysError.h"
#include "TestFiles.h"
#include "TestSeams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "top,left,MojiSyu,1Mojigoto,SepBlank,Num,Kigou" keeps the tables readable.
QString Describe(const TKanavoxSettings &s)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(s.MainTop).arg(s.MainLeft)
        .arg(int(s.Options.insertClass)).arg(int(s.Options.classEachCharacter)).arg(int(s.Options.blankSeparator)).arg(int(s.Options.keepDigits)).arg(int(s.Options.keepSymbols));
}

TKanavoxSettings Make(int top, int left, bool m, bool one, bool blank, bool num, bool kigou)
{
    TKanavoxSettings s;
    s.MainTop = top;
    s.MainLeft = left;
    s.Options.insertClass = m;
    s.Options.classEachCharacter = one;
    s.Options.blankSeparator = blank;
    s.Options.keepDigits = num;
    s.Options.keepSymbols = kigou;
    return s;
}

QByteArray Utf16(const QString &text, bool littleEndian)
{
    QByteArray b(littleEndian ? "\xFF\xFE" : "\xFE\xFF", 2);
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        b.append(littleEndian ? lo : hi);
        b.append(littleEndian ? hi : lo);
    }
    return b;
}

const QByteArray kElevenLines = SettingsFile(120, 80, {1, 1, 0, 0, 0});

const QString kDenied = QStringLiteral("アクセスが拒否されました");

} // namespace

Q_DECLARE_METATYPE(TKanavoxSettings)

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void settingsFilePath_data();
    void settingsFilePath();
    void newFileHasElevenLines();
    void load_data();
    void load();
    void save_data();
    void save();
    void unreadableAtLoad();
    void unreadableAtSave();
    void unreadableWithoutPermission();
    void unwritableLocation_data();
    void unwritableLocation();
    void unwritableDirectoryWithoutPermission();
    void interruptedSaveKeepsOldFile();
    void fileSizeLimitKeepsOldFile();
    void linkKeepsPointing_data();
    void linkKeepsPointing();
    void permissionBitsKept();
    void errorDescriptions_data();
    void errorDescriptions();
    void userLocation_data();
    void userLocation();
    void packagedDefault();
    void positionLeftAsStored_data();
    void positionLeftAsStored();

private:
    QTemporaryDir *m_dir = nullptr;
    std::unique_ptr<TestSeams::SettingsDirectory> m_settingsDirectory;
    std::unique_ptr<TestSeams::FileSystemFault> m_noFault;
    QString IniPath() const { return m_dir->filePath(u"Kanavox.ini"_qs); }
    QStringList DirEntries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                             | QDir::NoDotAndDotDot);
    }
};

void TestSettings::init()
{
    m_noFault = std::make_unique<TestSeams::FileSystemFault>(FileSystem::Fault::None);
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    m_settingsDirectory = std::make_unique<TestSeams::SettingsDirectory>(m_dir->path());
    // The user's folder must never be the real one.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(u"config"_qs)));
}

void TestSettings::cleanup()
{
    m_settingsDirectory.reset();
    m_noFault.reset();
    if (m_dir) {
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(m_dir->filePath(u"program"_qs), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    delete m_dir;
    m_dir = nullptr;
}

void TestSettings::settingsFilePath_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain directory") << u"/opt/kv"_qs << u"/opt/kv/Kanavox.ini"_qs;
    QTest::newRow("trailing separator") << u"/opt/kv/"_qs << u"/opt/kv/Kanavox.ini"_qs;
    QTest::newRow("root") << u"/"_qs << u"/Kanavox.ini"_qs;
    QTest::newRow("executable's directory")
        << QString() << QCoreApplication::applicationDirPath() + u"/Kanavox.ini"_qs;
}

void TestSettings::settingsFilePath()
{
    QFETCH(QString, dir);
    QFETCH(QString, expected);
    {
        const TestSeams::SettingsDirectory elsewhere(dir);
        QCOMPARE(SettingsFilePath(), expected);
    }
    // The guard put the test's own directory back.
    QCOMPARE(SettingsFilePath(), IniPath());
}

void TestSettings::newFileHasElevenLines()
{
    QVERIFY(!QFile::exists(IniPath()));
    QCOMPARE(Describe(LoadSettings()), u"0,0,1,1,0,0,0"_qs);
    SaveSettings(Make(120, 80, true, true, false, false, false));
    QCOMPARE(ReadBytes(IniPath()), kElevenLines);
    // A new file is created like any other file of the user: 0666 less the umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(IniPath()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), int(0666 & ~mask));
    QCOMPARE(Describe(LoadSettings()), u"120,80,1,1,0,0,0"_qs);
}

void TestSettings::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QByteArray full = "[Position]\r\nMainTop=-5\r\nMainLeft=300\r\n\r\n"
                            "[Setting]\r\nMojiSyu=0\r\n1Mojigoto=0\r\nSepBlank=1\r\nNum=1\r\nKigou=1\r\n\r\n";
    const QString fullText = QString::fromLatin1(full);
    QTest::newRow("all values") << full << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("empty file") << QByteArray() << u"0,0,1,1,0,0,0"_qs;
    QTest::newRow("other case, blanks") << QByteArray("[setting]\r\nmojisyu = 0\r\n")
                                        << u"0,0,0,1,0,0,0"_qs;
    QTest::newRow("2 is checked") << QByteArray("[Setting]\r\nMojiSyu=0\r\nSepBlank=2\r\n")
                                  << u"0,0,0,1,1,0,0"_qs;
    QTest::newRow("true and yes are defaults")
        << QByteArray("[Setting]\r\nMojiSyu=true\r\nSepBlank=yes\r\n1Mojigoto=false\r\n")
        << u"0,0,1,1,0,0,0"_qs;
    QTest::newRow("hex $1F") << QByteArray("[Position]\r\nMainTop=$1F\r\n") << u"31,0,1,1,0,0,0"_qs;
    QTest::newRow("hex 0x1F") << QByteArray("[Position]\r\nMainTop=0x1F\r\n") << u"31,0,1,1,0,0,0"_qs;
    QTest::newRow("hex 0X1f") << QByteArray("[Position]\r\nMainTop=0X1f\r\n") << u"31,0,1,1,0,0,0"_qs;
    QTest::newRow("MainLeft 0x20") << QByteArray("[Position]\r\nMainLeft=0x20\r\n") << u"0,32,1,1,0,0,0"_qs;
    QTest::newRow("off-screen left") << QByteArray("[Position]\r\nMainLeft=-1200\r\n")
                                     << u"0,-1200,1,1,0,0,0"_qs;
    QTest::newRow("non-numbers are defaults")
        << QByteArray("[Position]\r\nMainTop=1.5\r\nMainLeft=\r\n[Setting]\r\nNum=99999999999\r\nKigou=x1\r\n")
        << u"0,0,1,1,0,0,0"_qs;
    QTest::newRow("keys in wrong section") << QByteArray("[Setting]\r\nMainTop=5\r\n[Position]\r\nNum=1\r\n")
                                           << u"0,0,1,1,0,0,0"_qs;
    QTest::newRow("comments and orphans ignored")
        << QByteArray("MainTop=9\r\n[Position]\r\n;MainTop=8\r\nMainLeft=7\r\n") << u"0,7,1,1,0,0,0"_qs;
    QTest::newRow("LF only") << QByteArray(full).replace("\r\n", "\n") << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("CR only") << QByteArray(full).replace("\r\n", "\r") << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF" + full) << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("UTF-16LE mark") << Utf16(fullText, true) << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("UTF-16BE mark") << Utf16(fullText, false) << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("UTF-16 odd length") << Utf16(fullText, true).append('\x01') << u"-5,300,0,0,1,1,1"_qs;
    QTest::newRow("binary junk") << QByteArray("\x00\xFF\xFE\x01[\x80]\r\n=\r\n[", 13) << u"0,0,1,1,0,0,0"_qs;
}

void TestSettings::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QVERIFY(WriteBytes(IniPath(), bytes));
    QCOMPARE(Describe(LoadSettings()), expected);
}

void TestSettings::save_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<TKanavoxSettings>("settings");
    QTest::addColumn<QByteArray>("after");

    const TKanavoxSettings s = Make(120, 80, true, true, false, false, false);
    const QByteArray position = "[Position]\r\nMainTop=120\r\nMainLeft=80\r\n\r\n";
    const QByteArray setting = "[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n";

    QTest::newRow("merge keeps spelling and place")
        << QByteArray("[setting]\r\nmojisyu = 0\r\n")
        << s
        << QByteArray("[setting]\r\nmojisyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n" + position);
    QTest::newRow("existing keys in other order stay there")
        << QByteArray("[Setting]\r\nKigou=1\r\nx=y\r\nMOJISYU=0\r\n[Position]\r\nmainleft=3\r\n")
        << Make(-7, 9, false, true, true, false, false)
        << QByteArray("[Setting]\r\nKigou=0\r\nx=y\r\nMOJISYU=0\r\n1Mojigoto=1\r\nSepBlank=1\r\nNum=0\r\n"
                      "[Position]\r\nmainleft=9\r\nMainTop=-7\r\n");
    QTest::newRow("comment kept, other section first")
        << QByteArray(";note\r\n[Other]\r\nx=1\r\n") << s << QByteArray(";note\r\n[Other]\r\nx=1\r\n\r\n" + position + setting);
    QTest::newRow("other section between and after")
        << QByteArray("[Position]\r\n; c\r\n[Other]\r\nx=1\r\n\r\n[Setting]\r\n[Last]\r\nbare line\r\n") << s
        << QByteArray("[Position]\r\nMainTop=120\r\nMainLeft=80\r\n; c\r\n[Other]\r\nx=1\r\n\r\n"
                      "[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n[Last]\r\nbare line\r\n");
    const QByteArray foreign("[\x93\xFA\x96\x7B]\r\n\xE9t\xE9=\xA0\xFF\x80\r\n\r\n");
    QTest::newRow("foreign bytes survive") << QByteArray(foreign + position + setting) << s
                                           << QByteArray(foreign + position + setting);
    const QString text = u"[Foreign]\r\n名前=かなぼっくす\r\n\r\n"_qs;
    const QString ours = QString::fromLatin1(position + setting);
    QTest::newRow("UTF-8 mark kept") << QByteArray("\xEF\xBB\xBF" + text.toUtf8()) << s
                                     << QByteArray("\xEF\xBB\xBF" + (text + ours).toUtf8());
    QTest::newRow("UTF-16LE mark kept") << Utf16(text, true) << s << Utf16(text + ours, true);
    QTest::newRow("UTF-16BE mark kept") << Utf16(text, false) << s << Utf16(text + ours, false);
    QTest::newRow("CR-only file keeps its line breaks")
        << QByteArray("[Setting]\rNum=1\r") << s
        << QByteArray("[Setting]\rNum=0\rMojiSyu=1\r1Mojigoto=1\rSepBlank=0\rKigou=0\r\r"
                      "[Position]\rMainTop=120\rMainLeft=80\r\r");
    // What the user wrote by hand stays as written: only the lines of the seven values
    // change, the missing ones go after their section's last line.
    QTest::newRow("hand-written layout, comments and lines before the first section")
        << QByteArray("version=2\r\n; by hand\r\n\r\n[Position]\r\n; where it was\r\nMainTop=5\r\n\r\n\r\n"
                      "MainLeft=6\r\n\r\n[Setting]\r\nMojiSyu=0\r\n1Mojigoto=1\r\n  SepBlank = 0  \r\nNum=0\r\nKigou=0\r\n; end\r\n")
        << s
        << QByteArray("version=2\r\n; by hand\r\n\r\n[Position]\r\n; where it was\r\nMainTop=120\r\n\r\n\r\n"
                      "MainLeft=80\r\n\r\n[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n; end\r\n");
    QTest::newRow("invalid UTF-8 in another key stays as its bytes")
        << QByteArray("\xEF\xBB\xBF[Foreign]\r\nk\xC3=\xFF\xFE v\xE3\x81\r\n\r\n" + position
                      + "[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=1\r\nKigou=0\r\n\r\n")
        << s << QByteArray("\xEF\xBB\xBF[Foreign]\r\nk\xC3=\xFF\xFE v\xE3\x81\r\n\r\n" + position + setting);
    QTest::newRow("other keys keep their blanks, new keys after them")
        << QByteArray("[Setting]\r\n  MojiSyu = 0  \r\n  other = 1  \r\n")
        << s
        << QByteArray("[Setting]\r\nMojiSyu=1\r\n  other = 1  \r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n" + position);
    QTest::newRow("repeated section gets new keys after its last part")
        << QByteArray("[Setting]\r\nMojiSyu=0\r\n[Other]\r\nx=1\r\n[setting]\r\nNum=1\r\n")
        << s
        << QByteArray("[Setting]\r\nMojiSyu=1\r\n[Other]\r\nx=1\r\n[setting]\r\nNum=0\r\n1Mojigoto=1\r\nSepBlank=0\r\n"
                      "Kigou=0\r\n\r\n" + position);
    QTest::newRow("LF-only file keeps its line breaks")
        << QByteArray("; unix\n[Setting]\nNum=1\n") << s
        << QByteArray("; unix\n[Setting]\nNum=0\nMojiSyu=1\n1Mojigoto=1\nSepBlank=0\nKigou=0\n\n"
                      "[Position]\nMainTop=120\nMainLeft=80\n\n");
    QTest::newRow("no line break at the end")
        << QByteArray("[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=1") << s
        << QByteArray("[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n" + position);
    QTest::newRow("foreign bytes in comments and orphans")
        << QByteArray("\x93\xFA=\x96\x7B\r\n;\xE9\xA0\r\n" + position + setting) << s
        << QByteArray("\x93\xFA=\x96\x7B\r\n;\xE9\xA0\r\n" + position + setting);
}

void TestSettings::save()
{
    QFETCH(QByteArray, before);
    QFETCH(TKanavoxSettings, settings);
    QFETCH(QByteArray, after);
    QVERIFY(WriteBytes(IniPath(), before));
    SaveSettings(settings);
    QCOMPARE(ReadBytes(IniPath()), after);
    QCOMPARE(Describe(LoadSettings()), Describe(settings));
    QCOMPARE(DirEntries(), QStringList{u"Kanavox.ini"_qs});
}

// Root reads any file, so the lock is injected.
void TestSettings::unreadableAtLoad()
{
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    const TestSeams::FileSystemFault locked(FileSystem::Fault::OpenForRead, EACCES);
    try {
        LoadSettings();
        QFAIL("an unreadable file gave settings");
    } catch (const EFOpenError &e) {
        QCOMPARE(e.Message(), u"ファイル "_qs + IniPath() + u" は開けません。 アクセスが拒否されました "_qs);
    }
}

void TestSettings::unreadableAtSave()
{
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    for (int attempt = 0; attempt < 3; ++attempt) {
        {
            const TestSeams::FileSystemFault locked(FileSystem::Fault::OpenForRead, EACCES);
            try {
                SaveSettings(Make(1, 2, false, false, false, false, false));
                QFAIL("a save over an unreadable file succeeded");
            } catch (const EFOpenError &e) {
                QCOMPARE(e.Message(), u"ファイル "_qs + IniPath() + u" は開けません。 アクセスが拒否されました "_qs);
            }
        }
        QCOMPARE(ReadBytes(IniPath()), kElevenLines);
    }
    QCOMPARE(DirEntries(), QStringList{u"Kanavox.ini"_qs});
}

// The same through real permissions, where they bind (not as root).
void TestSettings::unreadableWithoutPermission()
{
    if (::geteuid() == 0)
        QSKIP("root reads files without read permission; covered by the injected fault");
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    QVERIFY(QFile::setPermissions(IniPath(), QFile::WriteOwner));
    const QString expected = u"ファイル "_qs + IniPath() + u" は開けません。 アクセスが拒否されました "_qs;
    try {
        LoadSettings();
        QFAIL("an unreadable file gave settings");
    } catch (const EFOpenError &e) {
        QCOMPARE(e.Message(), expected);
    }
    try {
        SaveSettings(Make(1, 2, false, false, false, false, false));
        QFAIL("a save over an unreadable file succeeded");
    } catch (const EFOpenError &e) {
        QCOMPARE(e.Message(), expected);
    }
    QVERIFY(QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(ReadBytes(IniPath()), kElevenLines);
}

void TestSettings::unwritableLocation_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");
    QTest::newRow("directory named Kanavox.ini") << u"dir"_qs << SysErrorMessage(EISDIR);
    QTest::newRow("path under a plain file") << u"under-file"_qs << SysErrorMessage(ENOTDIR);
    QTest::newRow("read-only existing file") << u"read-only"_qs << kDenied;
}

void TestSettings::unwritableLocation()
{
    QFETCH(QString, kind);
    QFETCH(QString, description);

    QByteArray old;
    std::optional<TestSeams::SettingsDirectory> underFile;
    if (kind == u"dir"_qs) {
        QVERIFY(QDir(m_dir->path()).mkdir(u"Kanavox.ini"_qs));
    } else if (kind == u"under-file"_qs) {
        const QString plain = m_dir->filePath(u"plain"_qs);
        QVERIFY(WriteBytes(plain, "not a directory"));
        underFile.emplace(plain);
        old = "not a directory";
    } else {
        old = "[Setting]\r\nNum=1\r\n\r\n";
        QVERIFY(WriteBytes(IniPath(), old));
        QVERIFY(QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const QString path = SettingsFilePath();

    // Loading what cannot be written is no failure: a directory or a missing file gives defaults.
    if (kind != u"read-only"_qs)
        QCOMPARE(Describe(LoadSettings()), u"0,0,1,1,0,0,0"_qs);

    const QStringList entriesBefore = DirEntries();
    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            SaveSettings(Make(120, 80, true, true, false, false, false));
            QFAIL("a save to an unwritable location reported success");
        } catch (const EFCreateError &e) {
            QCOMPARE(e.Message(), u"ファイル \""_qs + path + u"\" を作成できません。"_qs + description);
        }
        QCOMPARE(DirEntries(), entriesBefore);
        if (kind == u"dir"_qs)
            QVERIFY(QFileInfo(path).isDir());
        else if (kind == u"under-file"_qs)
            QCOMPARE(ReadBytes(m_dir->filePath(u"plain"_qs)), old);
        else
            QCOMPARE(ReadBytes(path), old);
    }
}

void TestSettings::unwritableDirectoryWithoutPermission()
{
    if (::geteuid() == 0)
        QSKIP("root writes into any directory; covered by the injected create fault");
    // The file itself is writable, so it is rewritten in place where no temporary file
    // can be made beside it.
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    SaveSettings(Make(1, 2, true, true, true, true, true));
    QCOMPARE(ReadBytes(IniPath()), QByteArray("[Position]\r\nMainTop=1\r\nMainLeft=2\r\n\r\n"
                                              "[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=1\r\nNum=1\r\nKigou=1\r\n\r\n"));
    QCOMPARE(DirEntries(), QStringList{u"Kanavox.ini"_qs});
    QVERIFY(!QFileInfo::exists(UserSettingsFilePath()));
}

// The old file must survive a save that stops after the new text is fully written.
void TestSettings::interruptedSaveKeepsOldFile()
{
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    {
        const TestSeams::FileSystemFault interrupted(FileSystem::Fault::BeforeRename, EIO);
        try {
            SaveSettings(Make(5, 6, false, false, true, true, true));
            QFAIL("an interrupted save reported success");
        } catch (const EFCreateError &e) {
            QCOMPARE(e.Message(), u"ファイル \""_qs + IniPath() + u"\" を作成できません。"_qs + SysErrorMessage(EIO));
        }
        QCOMPARE(ReadBytes(IniPath()), kElevenLines);
        QCOMPARE(DirEntries(), QStringList{u"Kanavox.ini"_qs});
    }
    SaveSettings(Make(5, 6, false, false, true, true, true));
    QCOMPARE(Describe(LoadSettings()), u"5,6,0,0,1,1,1"_qs);
}

// A real short write followed by EFBIG from the kernel, which binds root too: the loop
// must not take the short write for success, and the old file must survive.
void TestSettings::fileSizeLimitKeepsOldFile()
{
    const QByteArray old = "[Other]\r\nlong=" + QByteArray(4000, 'x') + "\r\n\r\n" + kElevenLines;
    QVERIFY(WriteBytes(IniPath(), old));
    QString message;
    {
        const TestSeams::FileSizeLimit limit(1000);
        QVERIFY(limit.Set());
        QCOMPARE(TestSeams::FileSizeLimit::Current(), rlim_t(1000));
        try {
            SaveSettings(Make(1, 2, true, true, true, true, true));
        } catch (const EFCreateError &e) {
            message = e.Message();
        }
    }
    QCOMPARE(message, u"ファイル \""_qs + IniPath() + u"\" を作成できません。"_qs + SysErrorMessage(EFBIG));
    QCOMPARE(ReadBytes(IniPath()), old);
    QCOMPARE(DirEntries(), QStringList{u"Kanavox.ini"_qs});
}

void TestSettings::linkKeepsPointing_data()
{
    QTest::addColumn<QString>("linkText");
    QTest::addColumn<bool>("chain");
    QTest::addColumn<bool>("dangling");
    QTest::newRow("relative link") << u"real/target.ini"_qs << false << false;
    QTest::newRow("absolute link") << u"<abs>"_qs << false << false;
    QTest::newRow("link to a link") << u"hop.ini"_qs << true << false;
    QTest::newRow("dangling link") << u"real/target.ini"_qs << false << true;
}

void TestSettings::linkKeepsPointing()
{
    QFETCH(QString, linkText);
    QFETCH(bool, chain);
    QFETCH(bool, dangling);
    QVERIFY(QDir(m_dir->path()).mkdir(u"real"_qs));
    const QString target = m_dir->filePath(u"real/target.ini"_qs);
    if (linkText == u"<abs>"_qs)
        linkText = target;
    if (!dangling)
        QVERIFY(WriteBytes(target, "[Other]\r\nx=1\r\n"));
    if (chain)
        QCOMPARE(::symlink("real/target.ini", QFile::encodeName(m_dir->filePath(u"hop.ini"_qs)).constData()), 0);
    QCOMPARE(::symlink(QFile::encodeName(linkText).constData(), QFile::encodeName(IniPath()).constData()), 0);

    SaveSettings(Make(120, 80, true, true, false, false, false));

    QVERIFY(QFileInfo(IniPath()).isSymLink());
    QCOMPARE(QFileInfo(IniPath()).canonicalFilePath(), QFileInfo(target).canonicalFilePath());
    char buffer[4096] = {};
    QVERIFY(::readlink(QFile::encodeName(IniPath()).constData(), buffer, sizeof buffer - 1) > 0);
    QCOMPARE(QString::fromLocal8Bit(buffer), linkText);
    const QByteArray expected = dangling ? kElevenLines : QByteArray("[Other]\r\nx=1\r\n\r\n" + kElevenLines);
    QCOMPARE(ReadBytes(target), expected);
    QCOMPARE(QDir(m_dir->filePath(u"real"_qs)).entryList(QDir::Files | QDir::Hidden), QStringList{u"target.ini"_qs});
}

void TestSettings::permissionBitsKept()
{
    QVERIFY(WriteBytes(IniPath(), kElevenLines));
    const QByteArray path = QFile::encodeName(IniPath());
    QCOMPARE(::chmod(path.constData(), 0640), 0);
    SaveSettings(Make(1, 2, true, true, true, true, true));
    struct stat st;
    QCOMPARE(::stat(path.constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 07777), 0640);
    QCOMPARE(Describe(LoadSettings()), u"1,2,1,1,1,1,1"_qs);
}

void TestSettings::errorDescriptions_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("japanese");
    const int codes[] = {EACCES, EPERM, ENOENT, ENOTDIR, EISDIR, ENOSPC, EROFS, EFBIG,
                         EIO, EBUSY, ELOOP, ENAMETOOLONG, EMFILE, EDQUOT};
    for (int code : codes)
        QTest::addRow("%s", strerrorname_np(code)) << code << true;
    QTest::newRow("EDOM falls back") << EDOM << false;
    QTest::newRow("unknown code falls back") << 123456 << false;
}

// Descriptions end the messages' second blank: no full stop of their own, which the
// application would otherwise follow with its own ".".
void TestSettings::errorDescriptions()
{
    QFETCH(int, code);
    QFETCH(bool, japanese);
    const QString text = SysErrorMessage(code);
    QVERIFY(!text.isEmpty());
    QVERIFY2(!text.endsWith(u'.') && !text.endsWith(u'。'), qPrintable(text));
    if (japanese) {
        QVERIFY2(std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x7F; }),
                 qPrintable(text));
    } else {
        QString system = QString::fromLocal8Bit(std::strerror(code));
        while (system.endsWith(u'.'))
            system.chop(1);
        QCOMPARE(text, system);
    }
    if (code == EACCES || code == EPERM)
        QCOMPARE(text, kDenied);
}

void TestSettings::userLocation_data()
{
    QTest::addColumn<QString>("programDir"); // relative to the test folder
    QTest::addColumn<QString>("xdg");        // XDG_CONFIG_HOME, relative to it unless "relative"
    QTest::addColumn<QString>("written");    // relative to it
    QTest::newRow("program folder writable") << QString() << u"config"_qs << u"Kanavox.ini"_qs;
    QTest::newRow("program folder missing") << u"gone/bin"_qs << u"config"_qs << u"config/Kanavox/Kanavox.ini"_qs;
    QTest::newRow("XDG_CONFIG_HOME unset") << u"gone/bin"_qs << QString() << u"home/.config/Kanavox/Kanavox.ini"_qs;
    QTest::newRow("XDG_CONFIG_HOME relative") << u"gone/bin"_qs << u"relative"_qs << u"home/.config/Kanavox/Kanavox.ini"_qs;
}

// Where the program's folder takes no file, the user's folder does, created on the
// first close; the next start reads it back.
void TestSettings::userLocation()
{
    QFETCH(QString, programDir);
    QFETCH(QString, xdg);
    QFETCH(QString, written);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir->filePath(u"home"_qs)));
    if (xdg == u"relative"_qs)
        qputenv("XDG_CONFIG_HOME", "config");
    else if (xdg.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(xdg)));
    std::optional<TestSeams::SettingsDirectory> program;
    if (!programDir.isEmpty())
        program.emplace(m_dir->filePath(programDir));
    const QString path = m_dir->filePath(written);
    const QString where = SettingsWritePath();
    SaveSettings(Make(120, 80, true, true, false, false, false));
    const auto loaded = Describe(LoadSettings());
    qputenv("HOME", home);
    QCOMPARE(where, path);
    QCOMPARE(ReadBytes(path), kElevenLines);
    QCOMPARE(loaded, u"120,80,1,1,0,0,0"_qs);
}

void TestSettings::packagedDefault()
{
    if (::geteuid() == 0)
        QSKIP("root may write any folder; the package test runs this as an ordinary user");
    const QByteArray packaged("[Setting]\r\nSepBlank=1\r\n\r\n[Other]\r\nx=1\r\n\r\n");
    const QString program = m_dir->filePath(u"program"_qs);
    QVERIFY(QDir().mkdir(program));
    const TestSeams::SettingsDirectory programDirectory(program);
    const QString beside = SettingsFilePath();
    QVERIFY(WriteBytes(beside, packaged));
    QVERIFY(QFile::setPermissions(beside, QFile::ReadOwner));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const QString where = SettingsWritePath();
    const QString first = Describe(LoadSettings());
    SaveSettings(Make(5, 6, false, true, true, false, false));
    const QByteArray user = ReadBytes(UserSettingsFilePath());
    // From now on the user's file is the one read.
    SaveSettings(Make(5, 6, false, true, false, false, false));
    const QString second = Describe(LoadSettings());
    QCOMPARE(where, UserSettingsFilePath());
    QCOMPARE(first, u"0,0,1,1,1,0,0"_qs);
    QCOMPARE(user, QByteArray("[Setting]\r\nSepBlank=1\r\nMojiSyu=0\r\n1Mojigoto=1\r\nNum=0\r\nKigou=0\r\n\r\n"
                              "[Other]\r\nx=1\r\n\r\n[Position]\r\nMainTop=5\r\nMainLeft=6\r\n\r\n"));
    QCOMPARE(ReadBytes(beside), packaged);
    QCOMPARE(second, u"5,6,0,1,0,0,0"_qs);

    // An unreadable default is reported at start-up but does not stop the first save.
    QVERIFY(QFile::remove(UserSettingsFilePath()));
    {
        const TestSeams::FileSystemFault locked(FileSystem::Fault::OpenForRead, EACCES);
        bool reported = false;
        try {
            LoadSettings();
        } catch (const EFOpenError &) {
            reported = true;
        }
        QVERIFY(reported);
        SaveSettings(Make(7, 8, true, true, false, false, false));
    }
    QCOMPARE(ReadBytes(UserSettingsFilePath()), QByteArray("[Position]\r\nMainTop=7\r\nMainLeft=8\r\n\r\n"
                                                           "[Setting]\r\nMojiSyu=1\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=0\r\nKigou=0\r\n\r\n"));
}

void TestSettings::positionLeftAsStored_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("stored as written by hand")
        << QByteArray("[Position]\r\nMainTop = 0x78\r\nmainleft=80\r\n")
        << QByteArray("[Position]\r\nMainTop = 0x78\r\nmainleft=80\r\n\r\n"
                      "[Setting]\r\nMojiSyu=0\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=1\r\nKigou=0\r\n\r\n");
    QTest::newRow("none stored") << QByteArray()
        << QByteArray("[Setting]\r\nMojiSyu=0\r\n1Mojigoto=1\r\nSepBlank=0\r\nNum=1\r\nKigou=0\r\n\r\n");
}

// Where the window's place is unknown the stored one stays as it stands, or absent.
void TestSettings::positionLeftAsStored()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        QVERIFY(WriteBytes(IniPath(), before));
    TKanavoxSettings s = Make(-30, -3, false, true, false, true, false);
    s.HasPosition = false;
    SaveSettings(s);
    QCOMPARE(ReadBytes(IniPath()), after);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
