// Writes the nine 13 x 13 check-box glyphs (three states x three looks) as 24-bit BMP
// files into the directory given on the command line. The committed images under
// resources/glyphs/ are this program's output; rerun it after changing a colour here.
//
//   gen_glyphs <output directory>
#include <QDir>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSide = 13;        // image side
constexpr int kInnerFirst = 2;   // first row/column of the inner 9 x 9 area
constexpr int kInnerLast = 10;   // last row/column of the inner area
constexpr int kGradFirst = 3;    // the diagonal gradient covers rows/columns 3..9
constexpr int kGradLast = 9;
constexpr int kSubSamples = 8;   // per axis, for the tick's anti-aliasing
constexpr double kTickHalfWidth = 0.95; // about two pixels thick
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
    auto ch = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

QRgb Scale(QRgb c, double f)
{
    return qRgb(int(std::lround(qRed(c) * f)), int(std::lround(qGreen(c) * f)), int(std::lround(qBlue(c) * f)));
}

// Distance from (px, py) to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Share of pixel (x, y) covered by the tick stroke, by supersampling.
double TickCoverage(int x, int y)
{
    // Pixel-centre coordinates of the tick's three points: down-right, then up to the far corner.
    static const double pts[3][2] = {{3.5, 6.5}, {5.5, 8.5}, {9.5, 4.5}};
    int inside = 0;
    for (int sy = 0; sy < kSubSamples; ++sy) {
        for (int sx = 0; sx < kSubSamples; ++sx) {
            const double px = x + (sx + 0.5) / kSubSamples;
            const double py = y + (sy + 0.5) / kSubSamples;
            const double d = std::min(SegmentDistance(px, py, pts[0][0], pts[0][1], pts[1][0], pts[1][1]),
                                      SegmentDistance(px, py, pts[1][0], pts[1][1], pts[2][0], pts[2][1]));
            if (d <= kTickHalfWidth)
                ++inside;
        }
    }
    return double(inside) / (kSubSamples * kSubSamples);
}

QImage MakeGlyph(const GlyphColours &g)
{
    QImage img(kSide, kSide, QImage::Format_RGB32);
    const int span = kInnerLast - kInnerFirst;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            QRgb c;
            if (x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1)
                c = g.key;
            else if (x == 1 || y == 1 || x == kSide - 2 || y == kSide - 2)
                c = g.ring;
            else if (x == kInnerLast || y == kInnerLast)
                c = Scale(g.gradTo, kEdgeDarken);
            else if (y == kInnerFirst) // top row lightens to the right
                c = Mix(g.corner, g.gradFrom, double(x - kInnerFirst) / span);
            else if (x == kInnerFirst) // left column lightens downwards
                c = Mix(g.corner, g.gradFrom, double(y - kInnerFirst) / span);
            else
                c = Mix(g.gradFrom, g.gradTo, double((x - kGradFirst) + (y - kGradFirst)) / (2 * (kGradLast - kGradFirst)));
            img.setPixel(x, y, c);
        }
    }
    if (g.mark == Tick) {
        for (int y = kInnerFirst; y <= kInnerLast; ++y)
            for (int x = kInnerFirst; x <= kInnerLast; ++x)
                if (const double cov = TickCoverage(x, y); cov > 0)
                    img.setPixel(x, y, Mix(img.pixel(x, y), g.markDark, cov));
    } else if (g.mark == Square) {
        // A 5 x 5 square in the middle of the inner area: border ring and 3 x 3 fill.
        for (int y = 4; y <= 8; ++y)
            for (int x = 4; x <= 8; ++x)
                img.setPixel(x, y, (x == 4 || y == 4 || x == 8 || y == 8) ? g.markDark : g.markFill);
    }
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const GlyphColours &g : kGlyphs) {
        const QString path = out.filePath(QString::fromLatin1(g.file) + QStringLiteral(".bmp"));
        if (!MakeGlyph(g).save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
