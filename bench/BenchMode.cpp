#include "BenchMode.h"

#include "BenchProbe.h"

#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace Bench {

QString SeededPassword(qsizetype length, quint32 seed)
{
    static const QString alphabet = QStringLiteral(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QRandomGenerator rng(seed);
    QString text(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        text[i] = alphabet.at(rng.bounded(quint32(alphabet.size())));
    return text;
}

namespace {

bool Ready(const Target &t)
{
    if (!QTest::qWaitForWindowExposed(t.window))
        return false;
    t.window->activateWindow();
    if (!QTest::qWaitForWindowActive(t.window))
        std::fputs("warning: window not active; keys go to the input directly\n", stderr);
    t.input->setFocus();
    // Let the first frames and any start-up work settle.
    QTest::qWait(300);
    return true;
}

// One key to the input, timed until the result's repaint has been flushed.
qint64 TimedKey(const Target &t, const PaintCounter &painted, Qt::Key key, char text,
                Qt::KeyboardModifiers modifiers)
{
    const int before = painted.Count();
    const qint64 t0 = NowUs();
    if (text)
        QTest::keyClick(t.input, text, modifiers);
    else
        QTest::keyClick(t.input, key, modifiers);
    if (!WaitForPaint(painted, before))
        return -1;
    return NowUs() - t0;
}

QList<qint64> TypePassword(const Target &t, const PaintCounter &painted, const QString &password)
{
    QList<qint64> samples;
    for (QChar c : password) {
        samples.append(TimedKey(t, painted, Qt::Key_unknown, char(c.unicode()), Qt::NoModifier));
        // Keys a person types are at least a few milliseconds apart.
        QTest::qWait(5);
    }
    return samples;
}

} // namespace

int RunMode(int argc, char **argv, const Target &target)
{
    const char *mode = argc > 1 ? argv[1] : "run";
    if (std::strcmp(mode, "first-paint") == 0) {
        ReportFirstPaintAndExit(target.window);
        return qApp->exec();
    }
    if (std::strcmp(mode, "run") == 0)
        return qApp->exec();

    if (!Ready(target)) {
        std::fputs("window never shown\n", stderr);
        return 2;
    }
    PaintCounter painted(target.result);
    if (std::strcmp(mode, "typing") == 0) {
        const int n = argc > 2 ? std::atoi(argv[2]) : 64;
        Samples("typing_us", TypePassword(target, painted, SeededPassword(n, 64)));
        return 0;
    }
    if (std::strcmp(mode, "paste") == 0) {
        const qsizetype chars = argc > 2 ? std::atoll(argv[2]) : 100000;
        const int repeats = argc > 3 ? std::atoi(argv[3]) : 3;
        // Two texts in turn, so that every paste changes the password.
        const QString texts[2] = {SeededPassword(chars, 1), SeededPassword(chars, 2)};
        QList<qint64> samples;
        for (int i = 0; i < repeats; ++i) {
            QGuiApplication::clipboard()->setText(texts[i % 2]);
            QTest::qWait(50);
            samples.append(TimedKey(target, painted, Qt::Key_V, 0, Qt::ControlModifier));
            QTest::qWait(50);
        }
        Samples("paste_us", samples);
        Samples("typing_after_paste_us", TypePassword(target, painted, SeededPassword(16, 16)));
        return 0;
    }
    std::fprintf(stderr, "unknown mode %s\n", mode);
    return 2;
}

} // namespace Bench
