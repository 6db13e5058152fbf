// Paint time of the result label holding a very long reading (a large paste): a
// 599 x 121 word-wrapped label in the result font, its caption a reading of over 1 MB.
// Prints the median of repeated paints: warm (nothing changed since the last paint) and
// cold (a new caption before each paint), and the auto-size measuring of the same text.
#include "EllipsLabel.h"
#include "Fonts.h"
#include "ReadingComposer.h"

#include "BenchProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using Bench::MedianMs;

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@?!#&()<>[]_\\/");
    QString password;
    for (int i = 0; i < 150000; ++i)
        password += alphabet.at((i * 37 + i / 7) % alphabet.size());
    const QString reading = ComposeReading(password, ReadingOptions());
    const QString other = reading.left(reading.size() - 1);

    TEllipsLabel label;
    label.setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 15));
    label.SetAutoSize(false);
    label.SetWordWrap(true);
    label.SetShowAccelChar(false);
    label.resize(599, 121);
    label.SetCaption(reading);

    QImage img(label.size(), QImage::Format_ARGB32_Premultiplied);
    auto paint = [&] { label.render(&img, QPoint(), QRegion(), QWidget::DrawChildren); };
    const int runs = 21;
    bool flip = false;
    const double warm = MedianMs(runs, [] {}, paint);
    const double cold = MedianMs(runs, [&] { flip = !flip; label.SetCaption(flip ? other : reading); }, paint);

    TEllipsLabel sized;
    sized.setFont(label.font());
    sized.SetWordWrap(true);
    const double measure = MedianMs(5, [&] { sized.SetCaption(QString()); sized.resize(599, 121); },
                                    [&] { sized.SetCaption(reading); });

    std::printf("reading: %lld UTF-16 units, font %s 15 px, label 599 x 121, word wrap\n",
                static_cast<long long>(reading.size()), qPrintable(label.font().family()));
    std::printf("paint, warm (median of %d): %.2f ms\n", runs, warm);
    std::printf("paint after a new caption (median of %d): %.2f ms\n", runs, cold);
    std::printf("auto-size measuring of the caption (median of 5): %.2f ms -> %d x %d\n", measure,
                sized.width(), sized.height());
    return 0;
}
