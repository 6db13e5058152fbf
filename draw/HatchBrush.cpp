#include "HatchBrush.h"

#include <QPainter>
#include <QTransform>

namespace {

enum Basic { Horizontal, Vertical, Forward, Backward, Cross, DiagCross };

QVector<quint8> BasicBits(int basic)
{
    QVector<quint8> rows(kHatchSize, 0);
    for (int y = 0; y < kHatchSize; ++y) {
        quint8 &r = rows[y];
        const quint8 fwd = quint8(0x80 >> y);
        const quint8 bwd = quint8(0x01 << y);
        switch (basic) {
        case Horizontal: r = y == 0 ? 0xFF : 0; break;
        case Vertical: r = 0x80; break;
        case Forward: r = fwd; break;
        case Backward: r = bwd; break;
        case Cross: r = y == 0 ? 0xFF : 0x80; break;
        case DiagCross: r = fwd | bwd; break;
        default: break;
        }
    }
    return rows;
}

// Classic 8 x 8 ordered-dither thresholds: a pixel shows at density d when its
// threshold is below d * 64.
constexpr int kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

QVector<quint8> DensityBits(int percent)
{
    QVector<quint8> rows(kHatchSize, 0);
    const int limit = (percent * 64 + 50) / 100;
    for (int y = 0; y < kHatchSize; ++y)
        for (int x = 0; x < kHatchSize; ++x)
            if (kBayer[y][x] < limit)
                rows[y] |= quint8(0x80 >> x);
    return rows;
}

QVector<quint8> CheckerBits(int square)
{
    QVector<quint8> rows(kHatchSize, 0);
    for (int y = 0; y < kHatchSize; ++y)
        for (int x = 0; x < kHatchSize; ++x)
            if (((x / square) + (y / square)) % 2 == 0)
                rows[y] |= quint8(0x80 >> x);
    return rows;
}

} // namespace

QVector<quint8> HatchBits(int style)
{
    static constexpr int kPercent[] = {5, 10, 20, 25, 30, 40, 50, 60, 70, 75, 80, 90}; // styles 6..17
    if (style >= 0 && style <= 5)
        return BasicBits(style);
    if (style >= 6 && style <= 17)
        return DensityBits(kPercent[style - 6]);
    switch (style) {
    case 18: case 20: case 22: case 30: return BasicBits(Forward);
    case 19: case 21: case 23: case 31: case 38: return BasicBits(Backward);
    case 24: case 26: case 28: case 33: return BasicBits(Vertical);
    case 40: case 41: case 43: case 46: case 48: return BasicBits(Cross);
    case 49: return CheckerBits(2);
    case 50: return CheckerBits(4);
    case 34: case 35: case 42: case 44: case 47: case 51: case 52: return BasicBits(DiagCross);
    default: return BasicBits(Horizontal);
    }
}

QImage HatchTile(int style, const QColor &foreground, const QColor &background)
{
    QImage tile(kHatchSize, kHatchSize, QImage::Format_ARGB32_Premultiplied);
    const QRgb fg = qPremultiply(foreground.rgba());
    const QRgb bg = qPremultiply(background.rgba());
    const QVector<quint8> bits = HatchBits(style);
    for (int y = 0; y < kHatchSize; ++y) {
        auto *line = reinterpret_cast<QRgb *>(tile.scanLine(y));
        for (int x = 0; x < kHatchSize; ++x)
            line[x] = (bits[y] & (0x80 >> x)) ? fg : bg;
    }
    return tile;
}

QBrush HatchBrush(int style, const QColor &foreground, const QColor &background, const QPainter *painter)
{
    QBrush brush(HatchTile(style, foreground, background));
    if (painter)
        brush.setTransform(painter->deviceTransform().inverted());
    return brush;
}
