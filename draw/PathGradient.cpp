#include "PathGradient.h"

#include <QBrush>
#include <QPainter>
#include <QTransform>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

namespace {

// Value steps of the colour table: finer than any 8-bit channel step over a panel.
constexpr int kTableSize = 1024;
// Edges shorter than this, or lines passing this close to the centre, carry no direction.
constexpr double kDegenerate = 1e-9;

int Lerp(int a, int b, qreal t)
{
    return int(std::lround(a + (b - a) * t));
}

} // namespace

TPathGradient::TPathGradient(const QPainterPath &outline)
    : TPathGradient(outline, outline.boundingRect().center())
{
}

TPathGradient::TPathGradient(const QPainterPath &outline, const QPointF &centre)
    : m_outline(outline), m_centre(centre)
{
    SetColors(Qt::white, Qt::transparent);
}

void TPathGradient::SetColors(const QColor &centre, const QColor &surround)
{
    SetStops({{0.0, surround}, {1.0, centre}});
}

void TPathGradient::SetStops(const QVector<TPathGradientStop> &stops)
{
    m_stops = stops;
    for (TPathGradientStop &s : m_stops)
        s.Position = std::clamp<qreal>(s.Position, 0.0, 1.0);
    std::stable_sort(m_stops.begin(), m_stops.end(),
                     [](const TPathGradientStop &a, const TPathGradientStop &b) { return a.Position < b.Position; });
    m_table.clear();
}

QColor TPathGradient::ColorAt(qreal value) const
{
    if (m_stops.isEmpty())
        return Qt::transparent;
    const qreal v = std::clamp<qreal>(value, 0.0, 1.0);
    if (v <= m_stops.first().Position)
        return m_stops.first().Color;
    for (int i = 1; i < m_stops.size(); ++i) {
        const TPathGradientStop &a = m_stops.at(i - 1);
        const TPathGradientStop &b = m_stops.at(i);
        if (v <= b.Position) {
            const qreal span = b.Position - a.Position;
            const qreal t = span > 0 ? (v - a.Position) / span : 1.0;
            return QColor(Lerp(a.Color.red(), b.Color.red(), t), Lerp(a.Color.green(), b.Color.green(), t),
                          Lerp(a.Color.blue(), b.Color.blue(), t), Lerp(a.Color.alpha(), b.Color.alpha(), t));
        }
    }
    return m_stops.last().Color;
}

void TPathGradient::BuildTable() const
{
    if (!m_table.isEmpty())
        return;
    m_table.resize(kTableSize);
    if (m_stops.isEmpty()) {
        m_table.fill(0);
        return;
    }
    // ColorAt for every step, without building a QColor per step: the stops' channels
    // are read once and the same rounding applies.
    struct Stop {
        qreal position;
        int r, g, b, a;
    };
    QVarLengthArray<Stop, 8> stops;
    for (const TPathGradientStop &s : m_stops)
        stops.append({s.Position, s.Color.red(), s.Color.green(), s.Color.blue(), s.Color.alpha()});
    const auto premultiplied = [](const Stop &s) { return qPremultiply(qRgba(s.r, s.g, s.b, s.a)); };
    int k = 1;
    for (int i = 0; i < kTableSize; ++i) {
        const qreal v = qreal(i) / (kTableSize - 1);
        if (v <= stops.first().position) {
            m_table[i] = premultiplied(stops.first());
            continue;
        }
        while (k < stops.size() && v > stops[k].position)
            ++k;
        if (k == stops.size()) {
            m_table[i] = premultiplied(stops.last());
            continue;
        }
        const Stop &a = stops[k - 1];
        const Stop &b = stops[k];
        const qreal span = b.position - a.position;
        const qreal t = span > 0 ? (v - a.position) / span : 1.0;
        m_table[i] = qPremultiply(qRgba(Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)));
    }
}

QVector<TPathGradient::Edge> TPathGradient::EdgesOf(const QPolygonF &polygon, const QPointF &centre)
{
    QVector<Edge> edges;
    const int n = polygon.size();
    for (int i = 0; i < n; ++i) {
        const QPointF a = polygon.at(i);
        const QPointF b = polygon.at((i + 1) % n);
        const double ex = b.x() - a.x();
        const double ey = b.y() - a.y();
        const double len = std::hypot(ex, ey);
        if (len < kDegenerate)
            continue;
        double nx = ey / len;
        double ny = -ex / len;
        double h = nx * (a.x() - centre.x()) + ny * (a.y() - centre.y());
        if (h < 0) {
            nx = -nx;
            ny = -ny;
            h = -h;
        }
        if (h < kDegenerate)
            continue;
        const Edge e{nx / h, ny / h};
        // Collinear pieces of one side give the same dual point; a repeated one would
        // make a plateau that stops the walk below.
        if (!edges.isEmpty() && std::abs(edges.last().gx - e.gx) < kDegenerate
            && std::abs(edges.last().gy - e.gy) < kDegenerate)
            continue;
        edges.append(e);
    }
    while (edges.size() > 1 && std::abs(edges.last().gx - edges.first().gx) < kDegenerate
           && std::abs(edges.last().gy - edges.first().gy) < kDegenerate)
        edges.removeLast();
    return edges;
}

qreal TPathGradient::ValueAt(const QPointF &p) const
{
    const QVector<Edge> edges = EdgesOf(m_outline.toFillPolygon(), m_centre);
    if (edges.isEmpty())
        return -1.0;
    double ratio = -1e300;
    for (const Edge &e : edges)
        ratio = std::max(ratio, e.gx * (p.x() - m_centre.x()) + e.gy * (p.y() - m_centre.y()));
    return 1.0 - ratio;
}

// The edges' dual points form a convex polygon, so for one pixel the gauge terms rise
// and then fall around the edge list: walking from any edge to the local maximum finds
// the global one, in a step or two from the neighbouring pixel's.
class TPathGradient::TGaugeWalk {
public:
    explicit TGaugeWalk(const QVector<Edge> &edges) : m_e(edges.constData()), m_n(int(edges.size())) {}

    // The table step of the pixel at (dx, dy) from the centre, -1 outside the outline.
    int Step(double dx, double dy)
    {
        auto term = [&](int k) { return m_e[k].gx * dx + m_e[k].gy * dy; };
        double v = term(m_best);
        for (int steps = 0; steps < m_n; ++steps) {
            const int next = m_best + 1 == m_n ? 0 : m_best + 1;
            const int prev = m_best == 0 ? m_n - 1 : m_best - 1;
            const double vn = term(next);
            const double vp = term(prev);
            if (vn > v && vn >= vp) {
                m_best = next;
                v = vn;
            } else if (vp > v) {
                m_best = prev;
                v = vp;
            } else {
                break;
            }
        }
        if (v > 1.0)
            return -1; // outside: clamp paints nothing
        const double value = 1.0 - std::max(v, 0.0);
        return int(value * (kTableSize - 1) + 0.5);
    }

private:
    const Edge *m_e;
    int m_n;
    int m_best = 0; // where the last pixel's walk ended
};

namespace {

// Where the table ends in one colour (a solid core behind a ramp), that colour starts
// at this step.
int SolidFrom(const quint32 *table)
{
    int solidFrom = kTableSize - 1;
    while (solidFrom > 0 && table[solidFrom - 1] == table[kTableSize - 1])
        --solidFrom;
    return solidFrom;
}

// One row, from both ends inwards until a pixel of the solid colour. Every gauge term is
// monotonic along the row, so no pixel between two such pixels has a larger gauge than
// both: all of them are solid too, and need no evaluation.
template <typename StepOf>
void RenderRow(quint32 *line, int width, const quint32 *table, int solidFrom, StepOf step)
{
    int left = 0;
    for (; left < width; ++left) {
        const int s = step(left);
        if (s >= 0)
            line[left] = table[s];
        if (s >= solidFrom)
            break;
    }
    if (left == width)
        return;
    int right = width - 1;
    for (; right > left; --right) {
        const int s = step(right);
        if (s >= 0)
            line[right] = table[s];
        if (s >= solidFrom)
            break;
    }
    if (right > left + 1) // a row whose only core pixel is its last has no span between
        std::fill(line + left + 1, line + right, table[kTableSize - 1]);
}

} // namespace

// What every pixel of one fill needs: computed once for all of its bands.
struct TPathGradient::TRaster {
    QPointF centre;
    QVector<Edge> edges;
    const quint32 *table = nullptr;
    int solidFrom = 0;
};

TPathGradient::TRaster TPathGradient::RasterFor(const QTransform &toDevice) const
{
    TRaster r;
    r.centre = toDevice.map(m_centre);
    r.edges = EdgesOf(m_outline.toFillPolygon(toDevice), r.centre);
    if (r.edges.isEmpty())
        return r;
    BuildTable();
    r.table = m_table.constData();
    r.solidFrom = SolidFrom(r.table);
    return r;
}

void TPathGradient::RenderRows(const TRaster &r, QImage &img, const QRect &deviceRect)
{
    img.fill(0);
    if (r.edges.isEmpty())
        return;
    TGaugeWalk walk(r.edges);
    for (int j = 0; j < deviceRect.height(); ++j) {
        const double dy = deviceRect.y() + j + 0.5 - r.centre.y();
        RenderRow(reinterpret_cast<quint32 *>(img.scanLine(j)), deviceRect.width(), r.table, r.solidFrom,
                  [&](int i) { return walk.Step(deviceRect.x() + i + 0.5 - r.centre.x(), dy); });
    }
}

QImage TPathGradient::Render(const QTransform &toDevice, const QRect &deviceRect) const
{
    QImage img(deviceRect.size(), QImage::Format_ARGB32_Premultiplied);
    if (deviceRect.isEmpty()) {
        img.fill(0);
        return img;
    }
    RenderRows(RasterFor(toDevice), img, deviceRect);
    return img;
}

namespace {

// A fill's pixels are made a band of rows at a time: for a panel, one texture of its
// whole size was the largest block its first paint touched.
constexpr qsizetype kBandBytes = 64 * 1024;

// The vertical scale of a painter whose clip can be cut exactly at device rows: an
// integer scale k with an offset of whole or half units, no rotation, such that some
// device row t starts at a whole or half user unit, i.e. 2(t - dy) is a multiple of k
// (with k even that needs a whole offset). 0 for any other.
int RowExactScale(const QTransform &t)
{
    if (t.type() > QTransform::TxScale || t.m11() <= 0)
        return 0;
    const qreal k = t.m22();
    const qreal twiceDy = 2 * t.dy();
    if (k < 1 || k != std::floor(k) || twiceDy != std::floor(twiceDy))
        return 0;
    if (qint64(k) % 2 == 0 && qint64(twiceDy) % 2 != 0)
        return 0;
    return int(k);
}

} // namespace

void TPathGradient::Fill(QPainter &painter, const QPainterPath &target) const
{
    const QPainterPath area = target == m_outline ? m_outline : target.intersected(m_outline);
    if (area.isEmpty())
        return;
    const QTransform toDevice = painter.deviceTransform();
    QRect box = toDevice.mapRect(area.boundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    if (painter.hasClipping())
        box &= toDevice.mapRect(painter.clipBoundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    if (box.isEmpty())
        return;
    const TRaster raster = RasterFor(toDevice);
    const QTransform toUser = toDevice.inverted();
    // Image pixel (i, j) lands on device pixel (x + i, y + j) whatever the painter's
    // transform, so the texture is never resampled.
    const auto fillBand = [&](const QImage &pixels, const QPoint &origin) {
        QBrush brush(pixels);
        brush.setTransform(QTransform::fromTranslate(origin.x(), origin.y()) * toUser);
        painter.fillPath(area, brush);
    };
    const int k = RowExactScale(toDevice);
    const qsizetype rowBytes = qsizetype(box.width()) * 4;
    if (k == 0 || rowBytes * box.height() <= kBandBytes) {
        QImage pixels(box.size(), QImage::Format_ARGB32_Premultiplied);
        RenderRows(raster, pixels, box);
        fillBand(pixels, box.topLeft());
        return;
    }
    // Each band is clipped to its rows. A band starting at device row t starts at user
    // y = (t - dy) / k, exact when 2(t - dy) is a multiple of k (a multiple of half a unit);
    // bands of a multiple of k rows keep every start so. Coverage along the outline does
    // not depend on the clip, so the bands join without a seam.
    const qreal dy = toDevice.dy();
    const auto exactStart = [&](int t) { return qint64(std::llround(2 * (t - dy))) % k == 0; };
    const int rows = std::max<int>(k, int(kBandBytes / rowBytes) / k * k);
    int firstTop = box.top();
    while (!exactStart(firstTop))
        --firstTop;
    const QRectF userBox = toUser.mapRect(QRectF(box));
    const qreal left = std::floor(userBox.left()) - 1;
    const qreal right = std::ceil(userBox.right()) + 1;
    QImage pixels(box.width(), rows, QImage::Format_ARGB32_Premultiplied);
    for (int top = firstTop; top <= box.bottom(); top += rows) {
        RenderRows(raster, pixels, QRect(box.left(), top, box.width(), rows));
        painter.save();
        painter.setClipRect(QRectF(left, (top - dy) / k, right - left, rows / k), Qt::IntersectClip);
        fillBand(pixels, QPoint(box.left(), top));
        painter.restore();
    }
}
