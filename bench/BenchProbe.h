#pragma once
// Measuring aids shared by the benchmark programs: the time since the driver's exec,
// the process's peak memory, and waiting until a widget's paint has gone out.
#include <QObject>

#include <functional>

class QWidget;

namespace Bench {

// Microseconds on the monotonic clock.
qint64 NowUs();
// Microseconds since the driver's exec (KANAVOX_BENCH_T0_US), -1 when it is not set.
qint64 SinceExecUs();
// VmHWM of this process in KiB.
qint64 PeakMemoryKb();

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget);
    int Count() const { return m_count; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_count = 0;
};

// Processes events until `counter` has seen a paint after `before` paints and the
// repaint that held it has been flushed to the window; false after `timeoutMs`.
bool WaitForPaint(const PaintCounter &counter, int before, int timeoutMs = 5000);

// After the first paint of `window` has been flushed: prints "first_paint_us <n>" and
// "vmhwm_kb <n>", then ends the process at once (no close, so nothing is saved).
void ReportFirstPaintAndExit(QWidget *window);

// The median of `runs` timings of `work` in milliseconds, `prepare` run untimed before each.
double MedianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work);

// Prints "<name> <us> <us> ..." on one line.
void Samples(const char *name, const QList<qint64> &us);

} // namespace Bench
