#include "BenchProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace Bench {

double MedianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}


qint64 NowUs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

qint64 SinceExecUs()
{
    bool ok = false;
    const qint64 t0 = qEnvironmentVariable("KANAVOX_BENCH_T0_US").toLongLong(&ok);
    return ok ? NowUs() - t0 : -1;
}

qint64 PeakMemoryKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

PaintCounter::PaintCounter(QWidget *widget) : QObject(widget)
{
    widget->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++m_count;
    return false;
}

bool WaitForPaint(const PaintCounter &counter, int before, int timeoutMs)
{
    const qint64 end = NowUs() + qint64(timeoutMs) * 1000;
    // The paint and the flush of the backing store happen in one update request; once
    // processEvents() returns with the paint counted, the frame has gone out.
    while (counter.Count() <= before) {
        if (NowUs() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

namespace {
class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // A zero timer runs after the whole repaint, children and flush included.
            QTimer::singleShot(0, [] {
                std::printf("first_paint_us %lld\nvmhwm_kb %lld\n", SinceExecUs(), PeakMemoryKb());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};
} // namespace

void ReportFirstPaintAndExit(QWidget *window)
{
    window->installEventFilter(new FirstPaint(window));
}

void Samples(const char *name, const QList<qint64> &us)
{
    std::printf("%s", name);
    for (qint64 v : us)
        std::printf(" %lld", v);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace Bench
