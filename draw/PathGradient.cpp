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

QImage TPathGradient::Render(const QTransform &toDevice, const QRect &deviceRect) const
{
    QImage img(deviceRect.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    if (deviceRect.isEmpty())
        return img;
    const QPointF c = toDevice.map(m_centre);
    const QVector<Edge> edges = EdgesOf(m_outline.toFillPolygon(toDevice), c);
    if (edges.isEmpty())
        return img;
    BuildTable();
    const quint32 *table = m_table.constData();
    const int solidFrom = SolidFrom(table);
    TGaugeWalk walk(edges);
    for (int j = 0; j < deviceRect.height(); ++j) {
        const double dy = deviceRect.y() + j + 0.5 - c.y();
        RenderRow(reinterpret_cast<quint32 *>(img.scanLine(j)), deviceRect.width(), table, solidFrom,
                  [&](int i) { return walk.Step(deviceRect.x() + i + 0.5 - c.x(), dy); });
    }
    return img;
}

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
    const QImage pixels = Render(toDevice, box);
    QBrush brush(pixels);
    // Image pixel (i, j) lands on device pixel (box.x + i, box.y + j) whatever the
    // painter's transform, so the texture is never resampled.
    brush.setTransform(QTransform::fromTranslate(box.x(), box.y()) * toDevice.inverted());
    painter.fillPath(area, brush);
}
