// Writes the check-box glyphs (three states x three looks) as 24-bit BMP files into the
// directory given on the command line: each at 13 x 13 and, drawn again at twice the
// resolution rather than enlarged, at 26 x 26 as "<name>@2x.bmp" for dense screens. The
// committed images under resources/glyphs/ are this program's output; rerun it after
// changing a colour or the mark here.
//
//   gen_glyphs <output directory>
//   gen_glyphs --check <directory>   exits 1 when a stored image differs from the drawing
//                                    by more than rasterizer noise
#include <QDir>
#include <QImage>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ImageNoise.h"

namespace {

// All geometry is in the 13 x 13 design's pixel units; a scale-2 image samples it twice
// as finely.
constexpr int kSide = 13;        // image side at scale 1
constexpr int kInnerFirst = 2;   // first row/column of the inner 9 x 9 area
constexpr int kInnerLast = 10;   // last row/column of the inner area
constexpr int kGradFirst = 3;    // the diagonal gradient covers rows/columns 3..9
constexpr int kGradLast = 9;
constexpr int kSquareFirst = 3;  // the grayed square: border at 3 and 9, 5 x 5 fill inside
constexpr int kSquareLast = 9;
constexpr int kSubSamples = 8;   // per axis and output pixel, for the tick's anti-aliasing
constexpr double kTickWidth = 2.0;
// How much darker the bottom row and right column are than the gradient's end.
constexpr double kEdgeDarken = 0.93;

enum Mark { None, Tick, Square };

struct GlyphColours {
    const char *file;
    QRgb key, ring, corner, gradFrom, gradTo;
    Mark mark;
    QRgb markDark;   // tick colour, or the square's border
    QRgb markFill;   // the square's fill
};

// Unchecked, checked, grayed; each normal, hot, down.
const GlyphColours kGlyphs[] = {
    {"unchecked_normal", 0x8E8F8F, 0xF4F4F4, 0xAEB3B9, 0xCBCFD5, 0xF6F6F6, None, 0, 0},
    {"unchecked_hot", 0x5586A3, 0xDEF9FA, 0x79C6F9, 0xB1DFFD, 0xE7F7FE, None, 0, 0},
    {"unchecked_down", 0x2C628B, 0xC2E4F6, 0x5EB6F7, 0x9DD5FC, 0xE0F4FE, None, 0, 0},
    {"checked_normal", 0x8E8F8F, 0xF4F4F4, 0xAEB3B9, 0xCBCFD5, 0xF6F6F6, Tick, 0x445A92, 0},
    {"checked_hot", 0x5586A3, 0xDEF9FA, 0x79C6F9, 0xB1DFFD, 0xE7F7FE, Tick, 0x042271, 0},
    {"checked_down", 0x2C628B, 0xC2E4F6, 0x54A6D5, 0x7FBADC, 0xD3ECF9, Tick, 0x2C5394, 0},
    {"grayed_normal", 0x8E8F8F, 0xF4F4F4, 0xAEB3B9, 0xCBCFD5, 0xF6F6F6, Square, 0x3366CC, 0x6699FF},
    {"grayed_hot", 0x5586A3, 0xDEF9FA, 0x79C6F9, 0xB1DFFD, 0xE7F7FE, Square, 0x3366FF, 0x3399FF},
    {"grayed_down", 0x2C628B, 0xC2E4F6, 0x5EB6F7, 0x9DD5FC, 0xE0F4FE, Square, 0x0000CC, 0x3366FF},
};

QRgb Mix(QRgb a, QRgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto ch = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

QRgb Scale(QRgb c, double f)
{
    return qRgb(int(std::lround(qRed(c) * f)), int(std::lround(qGreen(c) * f)), int(std::lround(qBlue(c) * f)));
}

// The tick's outline: a short stroke from the centre of column 3, row 7 down to column 5,
// row 9, and a long one from there up to column 9, row 2. The mitred joint and the round
// end just reach the light ring below and at the top right.
const QPainterPath &TickOutline()
{
    static const QPainterPath outline = [] {
        QPainterPath centre(QPointF(3.5, 7.5));
        centre.lineTo(5.5, 9.5);
        centre.lineTo(9.5, 2.5);
        QPainterPathStroker stroker;
        stroker.setWidth(kTickWidth);
        stroker.setJoinStyle(Qt::MiterJoin);
        stroker.setCapStyle(Qt::RoundCap);
        return stroker.createStroke(centre).simplified();
    }();
    return outline;
}

// Share of the output pixel (x, y) at `scale` covered by the tick, by supersampling.
double TickCoverage(int x, int y, int scale)
{
    int inside = 0;
    for (int sy = 0; sy < kSubSamples; ++sy)
        for (int sx = 0; sx < kSubSamples; ++sx)
            if (TickOutline().contains(QPointF((x + (sx + 0.5) / kSubSamples) / scale,
                                               (y + (sy + 0.5) / kSubSamples) / scale)))
                ++inside;
    return double(inside) / (kSubSamples * kSubSamples);
}

// The box without its mark at the design point (u, v), in 13 x 13 units.
QRgb Background(const GlyphColours &g, double u, double v)
{
    const int x = int(u), y = int(v);
    const double span = kInnerLast - kInnerFirst;
    if (x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1)
        return g.key;
    if (x == 1 || y == 1 || x == kSide - 2 || y == kSide - 2)
        return g.ring;
    if (x == kInnerLast || y == kInnerLast)
        return Scale(g.gradTo, kEdgeDarken);
    if (y == kInnerFirst) // top row lightens to the right
        return Mix(g.corner, g.gradFrom, (u - kInnerFirst - 0.5) / span);
    if (x == kInnerFirst) // left column lightens downwards
        return Mix(g.corner, g.gradFrom, (v - kInnerFirst - 0.5) / span);
    const double first = kGradFirst + 0.5;
    return Mix(g.gradFrom, g.gradTo, ((u - first) + (v - first)) / (2 * (kGradLast - kGradFirst)));
}

QImage MakeGlyph(const GlyphColours &g, int scale)
{
    const int side = kSide * scale;
    QImage img(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double u = (x + 0.5) / scale, v = (y + 0.5) / scale;
            QRgb c = Background(g, u, v);
            const int cx = int(u), cy = int(v);
            const bool key = cx == 0 || cy == 0 || cx == kSide - 1 || cy == kSide - 1;
            if (g.mark == Tick && !key) {
                if (const double cov = TickCoverage(x, y, scale); cov > 0)
                    c = Mix(c, g.markDark, cov);
            } else if (g.mark == Square && cx >= kSquareFirst && cx <= kSquareLast && cy >= kSquareFirst
                       && cy <= kSquareLast) {
                const bool border = cx == kSquareFirst || cy == kSquareFirst || cx == kSquareLast || cy == kSquareLast;
                c = border ? g.markDark : g.markFill;
            }
            img.setPixel(x, y, c);
        }
    }
    return img.convertToFormat(QImage::Format_RGB888);
}

QString FileFor(const QDir &dir, const GlyphColours &g, int scale)
{
    return dir.filePath(QString::fromLatin1(g.file) + (scale == 2 ? QStringLiteral("@2x.bmp") : QStringLiteral(".bmp")));
}

} // namespace

int main(int argc, char **argv)
{
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: %s [--check] <directory>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[argc - 1]));
    if (!check && !out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[argc - 1]);
        return 1;
    }
    int differing = 0;
    for (const GlyphColours &g : kGlyphs) {
        for (int scale : {1, 2}) {
            const QImage img = MakeGlyph(g, scale);
            const QString path = FileFor(out, g, scale);
            if (check) {
                QImage stored(path, "BMP");
                if (!ShowsTheDrawing(stored, img)) {
                    std::fprintf(stderr, "gen_glyphs: %s differs from the drawing\n", qPrintable(path));
                    ++differing;
                }
            } else if (!img.save(path, "BMP")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return differing ? 1 : 0;
}
