// The generators' --check compares a stored image with a fresh drawing. Anti-aliased edges
// come out a level or two apart on other CPUs and font stacks; a real change of the picture
// (a moved stroke, another colour) moves channels by far more.
#pragma once

#include <QImage>
#include <QtGlobal>

constexpr int kNoiseLevels = 2;

// The largest channel difference between two images, compared premultiplied so that the
// colour of an almost transparent edge pixel, which carries no weight, cannot count.
// -1 when the sizes differ (or the stored file is missing or unreadable).
inline int LargestDifference(const QImage &stored, const QImage &drawn)
{
    if (stored.size() != drawn.size())
        return -1;
    const QImage a = stored.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = qMax(largest, qAbs(qAlpha(ra[x]) - qAlpha(rb[x])));
            largest = qMax(largest, qAbs(qRed(ra[x]) - qRed(rb[x])));
            largest = qMax(largest, qAbs(qGreen(ra[x]) - qGreen(rb[x])));
            largest = qMax(largest, qAbs(qBlue(ra[x]) - qBlue(rb[x])));
        }
    }
    return largest;
}

// Whether a stored image still shows the drawing, up to rasterizer noise.
inline bool ShowsTheDrawing(const QImage &stored, const QImage &drawn)
{
    const int d = LargestDifference(stored, drawn);
    return d >= 0 && d <= kNoiseLevels;
}
