// What the edit's text model, the reading model and the window (the edit's layouts, the
// screen reader's copy, the dictation view) let go of is wiped: after a password has been
// replaced (or its holder is gone), no copy of it stands in the process's writable memory,
// freed blocks included. The test counts UTF-16 copies by reading its own memory through
// /proc/self/mem; the password is made at run time and the search pattern is kept
// scrambled, so that the test itself holds no plain copy.
#include "Application.h"
#include "DictationView.h"
#include "EditText.h"
#include "ReadingModel.h"
#include "WindowFixture.h"
#include "Wipe.h"

#include <QRandomGenerator>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr char kScramble = 0x5A;
constexpr qsizetype kChunk = 1 << 16;
constexpr quint64 kLargestMapping = quint64(1) << 30;
// Static, so that the buffer is not fresh heap that holds what it read; it is cleared
// after every chunk.
char g_chunk[kChunk + 64];

// The password: 16 letters and digits, different every run.
QString MakePassword()
{
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
    QString s;
    for (int i = 0; i < 16; ++i)
        s += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
    return s;
}

QByteArray Scrambled(const QString &text)
{
    QByteArray b(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    for (char &c : b)
        c ^= kScramble;
    return b;
}

bool MatchesAt(const char *p, const QByteArray &scrambled)
{
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        if (char(p[i] ^ kScramble) != scrambled[i])
            return false;
    }
    return true;
}

char g_maps[1 << 20];

// UTF-16 copies of the unscrambled pattern in the writable mappings of this process (the
// heap and the others, the stack aside); -1 when memory cannot be read. It allocates
// nothing: a freed block that held the password would otherwise be handed out again and
// overwritten by the count itself.
int CopiesInMemory(const QByteArray &scrambled)
{
    const int mapsFd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (mapsFd < 0)
        return -1;
    size_t used = 0;
    for (ssize_t n; (n = ::read(mapsFd, g_maps + used, sizeof g_maps - 1 - used)) > 0;)
        used += size_t(n);
    ::close(mapsFd);
    g_maps[used] = '\0';
    const int mem = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    if (mem < 0)
        return -1;
    const qsizetype n = scrambled.size();
    int count = 0;
    for (char *line = g_maps; *line;) {
        char *next = std::strchr(line, '\n');
        if (next)
            *next = '\0';
        char *p = line;
        const quint64 begin = std::strtoull(p, &p, 16);
        const quint64 end = std::strtoull(p + 1, &p, 16);
        // The thread's stack is left out: a copy the processor spilled there while copying
        // the text is out of any program's reach, and is overwritten by the next calls.
        // Mappings of gigabytes are reservations (a sanitizer's shadow), not our heap.
        const bool writable = p[1] == 'r' && p[2] == 'w' && end - begin < kLargestMapping;
        if (writable && !std::strstr(line, "[stack")) {
            // Chunks overlap by the pattern's length, so that a copy across a seam is
            // found once.
            for (quint64 at = begin; at < end;) {
                const qsizetype want = qsizetype(qMin<quint64>(kChunk, end - at));
                const ssize_t got = ::pread(mem, g_chunk, size_t(want), off_t(at));
                if (got <= 0)
                    break;
                for (qsizetype i = 0; i + n <= got; i += 2) {
                    if (MatchesAt(g_chunk + i, scrambled))
                        ++count;
                }
                WipeBytes(g_chunk, sizeof g_chunk);
                if (at + quint64(got) >= end)
                    break;
                at += quint64(got) - quint64(n) + 2;
            }
        }
        if (!next)
            break;
        line = next + 1;
    }
    ::close(mem);
    return count;
}

} // namespace

class TestSecretMemory : public QObject, private TWindowFixture {
    Q_OBJECT

private slots:
    // The window as the program sets it up: the dictation grid has the interface it reports to.
    void initTestCase() { InstallAccessibility(); }

    void replacedPasswordLeavesNoCopy_data()
    {
        QTest::addColumn<QString>("holder"); // text (the edit's model), reading, window, dictation
        QTest::addColumn<QString>("how");
        QTest::newRow("typed, then replaced") << "text" << "type";
        QTest::newRow("pasted, then replaced") << "text" << "paste";
        QTest::newRow("typed, a character deleted in the middle, then replaced") << "text" << "edit";
        QTest::newRow("typed, undone, then replaced") << "text" << "undo";
        QTest::newRow("typed, then the model is gone") << "text" << "destroy";
        QTest::newRow("reading model, replaced") << "reading" << "type";
        QTest::newRow("reading model, then it is gone") << "reading" << "destroy";
        QTest::newRow("typed in the window, then replaced") << "window" << "type";
        // The screen reader's copy, kept to tell what a change put in, is the last to let go.
        QTest::newRow("set in the window, then its last character erased") << "window" << "backspace";
        QTest::newRow("typed in the window, then the window is gone") << "window" << "destroy";
        QTest::newRow("typed with the dictation view open, then replaced") << "dictation" << "type";
        QTest::newRow("typed with the dictation view open, then the window is gone") << "dictation" << "destroy";
    }
    void replacedPasswordLeavesNoCopy()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer keeps freed blocks in quarantine and allocates for itself");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
        QSKIP("AddressSanitizer keeps freed blocks in quarantine and allocates for itself");
#endif
#endif
        QFETCH(QString, holder);
        QFETCH(QString, how);
        QString password = MakePassword();
        const QByteArray pattern = Scrambled(password);
        std::unique_ptr<TEditText> edit;
        std::unique_ptr<TReadingModel> reading;
        if (holder == u"text") {
            edit = std::make_unique<TEditText>();
            if (how == u"paste") {
                edit->Insert(password);
            } else {
                for (QChar c : std::as_const(password))
                    edit->Insert(QString(c));
            }
        } else if (holder == u"reading") {
            reading = std::make_unique<TReadingModel>();
            reading->SetPassword(password);
        } else {
            QVERIFY(SetUpWindow());
            Open();
            if (holder == u"dictation")
                m_form->ShowDictation();
            // Typed keys stay in the edit's undo steps; a text set whole (as Ctrl+V does)
            // leaves none, so that its last character erased lets go of every copy.
            if (how == u"backspace")
                m_form->edtPass->SetText(password);
            else
                QTest::keyClicks(m_form->edtPass, password);
            QCOMPARE(m_form->ReadingModel().Password().size(), password.size());
        }
        WipeString(password);
        QVERIFY2(CopiesInMemory(pattern) >= 1, "the search does not find the password in its holder (control)");
        if (how == u"edit") {
            edit->MoveCursor(8, false);
            edit->DeleteBackward(false);
        } else if (how == u"undo") {
            edit->Undo();
        }
        if (how == u"destroy") {
            edit.reset();
            reading.reset();
            TearDownWindow();
        } else if (how == u"backspace") {
            QTest::keyClick(m_form->edtPass, Qt::Key_End);
            QTest::keyClick(m_form->edtPass, Qt::Key_Backspace);
            QCOMPARE(m_form->ReadingModel().Password().size(), 15);
        } else if (edit) {
            edit->SetText(QStringLiteral("z"));
        } else if (reading) {
            reading->SetPassword(QStringLiteral("z"));
        } else {
            m_form->edtPass->SetText(QStringLiteral("z"));
        }
        QCOMPARE(CopiesInMemory(pattern), 0);
    }
    void cleanup() { TearDownWindow(); }
};

QTEST_MAIN(TestSecretMemory)
#include "tst_fault_secretmemory.moc"
