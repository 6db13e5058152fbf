// Draws the window icon: a light cyan rounded square with a dark red outline holding,
// from top to bottom, a red "A", a blue arrow pointing down and the red "エー".
//   gen_icon <dir>          writes kanavox-16/32/48/256.png into <dir>
//   gen_icon --check <dir>  exits 1 when the PNGs in <dir> differ from what it draws by
//                           more than rasterizer noise (see kNoiseLevels)
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "ImageNoise.h"

namespace {

const QColor kBody(200, 245, 252);      // light cyan
const QColor kOutline(139, 0, 0);       // dark red
const QColor kLetter(220, 0, 0);        // red
const QColor kArrow(20, 70, 220);       // blue

constexpr int kSizes[] = {16, 32, 48, 256};

// Placement of the picture's parts in pixels of one image size. The small sizes are
// laid out by hand: scaling the 48-pixel picture down would smear the thin parts.
struct IconLayout {
    qreal outlineWidth;
    qreal radius;
    QRectF letter;  // "A"
    QRectF arrow;
    QRectF reading; // "エー"
    qreal readingPen; // the thin strokes of the regular face, thickened to stay visible
};

IconLayout LayoutFor(int size)
{
    switch (size) {
    case 16:
        return {1.0, 3.0, QRectF(4, 1.5, 8, 5.5), QRectF(4, 7.2, 8, 3), QRectF(2.5, 10.5, 11, 3.5), 0.9};
    case 32:
        return {1.5, 6.0, QRectF(9, 2.5, 14, 11), QRectF(8.5, 13.5, 15, 5.5), QRectF(4, 20, 24, 8), 1.2};
    default: {
        // The 48-pixel picture, scaled for the larger sizes.
        const qreal s = size / 48.0;
        auto r = [s](qreal x, qreal y, qreal w, qreal h) { return QRectF(x * s, y * s, w * s, h * s); };
        return {2.0 * s, 9.0 * s, r(14, 3.5, 20, 15.5), r(13, 19.5, 22, 8.5), r(6, 30.5, 36, 12), 1.6 * s};
    }
    }
}

// The outline of `text` in `family`, scaled to fill `box` with its aspect kept and centred.
QPainterPath FittedText(const QString &text, const QString &family, bool bold, const QRectF &box)
{
    QFont f(family);
    f.setPixelSize(200);
    f.setBold(bold);
    f.setKerning(false);
    QPainterPath p;
    p.addText(0, 0, f, text);
    const QRectF b = p.boundingRect();
    const qreal k = qMin(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(p);
}

QPainterPath DownArrow(const QRectF &box)
{
    const qreal shaftW = box.width() * 0.4;
    const qreal headH = box.height() * 0.6;
    const qreal cx = box.center().x();
    QPainterPath p;
    p.moveTo(cx - shaftW / 2, box.top());
    p.lineTo(cx + shaftW / 2, box.top());
    p.lineTo(cx + shaftW / 2, box.bottom() - headH);
    p.lineTo(box.right(), box.bottom() - headH);
    p.lineTo(cx, box.bottom());
    p.lineTo(box.left(), box.bottom() - headH);
    p.lineTo(cx - shaftW / 2, box.bottom() - headH);
    p.closeSubpath();
    return p;
}

QImage Render(int size, const QString &latinFamily, const QString &japaneseFamily)
{
    const IconLayout l = LayoutFor(size);
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = l.outlineWidth / 2;
    const QRectF square(inset, inset, size - 2 * inset, size - 2 * inset);
    p.setPen(QPen(kOutline, l.outlineWidth));
    p.setBrush(kBody);
    p.drawRoundedRect(square, l.radius, l.radius);
    p.setPen(Qt::NoPen);
    p.setBrush(kLetter);
    p.drawPath(FittedText(QStringLiteral("A"), latinFamily, true, l.letter));
    p.setBrush(kArrow);
    p.drawPath(DownArrow(l.arrow));
    p.setBrush(kLetter);
    p.setPen(QPen(kLetter, l.readingPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(FittedText(QStringLiteral("エー"), japaneseFamily, false, l.reading));
    p.end();
    return img;
}

QString FileFor(const QString &dir, int size)
{
    return QDir(dir).filePath(QStringLiteral("kanavox-%1.png").arg(size));
}

QString RequireFamily(const QStringList &candidates)
{
    for (const QString &f : candidates)
        if (QFontDatabase::hasFamily(f))
            return f;
    return QString();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool check = !args.isEmpty() && args.first() == QLatin1String("--check");
    const QString dir = args.value(check ? 1 : 0);
    if (dir.isEmpty()) {
        std::fputs("usage: gen_icon [--check] <dir>\n", stderr);
        return 2;
    }
    // A substitute face would draw another picture; refuse rather than drift silently.
    const QString japanese = RequireFamily({QStringLiteral("IPAGothic")});
    const QString latin = RequireFamily({QStringLiteral("Liberation Sans")});
    if (japanese.isEmpty() || latin.isEmpty()) {
        std::fputs("gen_icon: needs the IPAGothic and Liberation Sans faces\n", stderr);
        return 2;
    }
    int differing = 0;
    for (int size : kSizes) {
        const QImage img = Render(size, latin, japanese);
        const QString file = FileFor(dir, size);
        if (check) {
            const int difference = LargestDifference(QImage(file), img);
            if (difference < 0 || difference > kNoiseLevels) {
                std::fprintf(stderr, "gen_icon: %s differs from the drawing (%s)\n", qPrintable(file),
                             difference < 0 ? "missing or another size"
                                            : qPrintable(QStringLiteral("by %1 levels").arg(difference)));
                ++differing;
            }
        } else if (!img.save(file, "PNG")) {
            std::fprintf(stderr, "gen_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return differing ? 1 : 0;
}
