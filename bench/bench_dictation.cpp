// The dictation view with a long paste: time to take a new password (cells, measuring,
// layout), to paint the visible page, and to scroll; the size it opens at and how far it
// scrolls. Prints medians; run with a display for the real screen's size. BENCH_SET=<chars>
// sets the characters the passwords are made of (the default has the widest readings).
#include "DictationView.h"
#include "ReadingModel.h"

#include "BenchProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Bench::MedianMs;

QString Password(int length, int salt)
{
    const QString mixed = QString::fromLocal8Bit(qgetenv("BENCH_SET").isEmpty() ? QByteArray("Ka9v O0lI@#x7/Qb<_W\\m") : qgetenv("BENCH_SET"));
    QString p;
    for (int i = 0; i < length; ++i)
        p += mixed.at((i * 5 + salt) % mixed.size());
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 21;
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    std::printf("screen available area %d x %d\n", avail.width(), avail.height());
    for (int length : {16, 200, 2000, 100000}) {
        TReadingModel reading;
        reading.SetPassword(Password(length, 0));
        TDictationView view(&reading, nullptr);
        view.show();
        QCoreApplication::processEvents();
        TDictationGrid *grid = view.Grid();
        QScrollBar *v = grid->verticalScrollBar();
        int salt = 0;
        const double take = MedianMs(runs, [&] { salt = (salt + 1) % 5; },
                                     [&] { grid->SetPassword(Password(length, salt + 1)); });
        QImage page(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        auto paint = [&] { grid->viewport()->render(&page); };
        const double painted = MedianMs(runs, [] {}, paint);
        int step = 0;
        const double scrolled = MedianMs(runs, [&] { v->setValue(++step % 2 ? v->maximum() / 2 : v->maximum()); }, paint);
        const double endKey = MedianMs(runs, [&] { grid->SetCurrent(0); }, [&] { grid->SetCurrent(length - 1); paint(); });
        std::printf("%6d chars: window %d x %d, %d per row, %lld rows, scroll range %d px (%.1f pages); "
                    "take password %.2f ms, paint page %.2f ms, paint after a scroll %.2f ms, End + paint %.2f ms\n",
                    length, view.width(), view.height(), grid->Layout().perRow,
                    static_cast<long long>((length + grid->Layout().perRow - 1) / grid->Layout().perRow), v->maximum(),
                    v->pageStep() ? double(v->maximum()) / v->pageStep() : 0.0, take, painted, scrolled, endKey);
    }
    return 0;
}
