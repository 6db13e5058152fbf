#pragma once
// A path-gradient brush: colour runs along every ray from a centre point, from the
// outline (position 0) to the centre (position 1), through interpolation stops.
//
// Qt has no such brush, so the colours are computed per device pixel into a
// premultiplied ARGB image that then fills the target as a texture. The value of a
// pixel p is 1 - |p - c| / |q - c|, q being where the ray from the centre c through p
// leaves the outline. For a convex outline containing c that ratio is the outline's
// gauge, max_i n_i.(p - c) / h_i over its edges (n_i the edge normal, h_i the edge's
// distance from c): affine maps keep it, so it is evaluated directly in device space.
// Outlines that are not convex get the gauge of their edge lines, which is exact only
// where those lines are seen from c in order; the widgets only use rounded rectangles
// and ellipses.
//
// Wrap mode is clamp: nothing is painted outside the outline.
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QVector>

class QPainter;

struct TPathGradientStop {
    qreal Position; // 0 on the outline .. 1 at the centre
    QColor Color;   // with alpha; interpolated unpremultiplied, as the design's service does
};

class TPathGradient {
public:
    // The centre point defaults to the centre of the outline's bounding box.
    explicit TPathGradient(const QPainterPath &outline);
    TPathGradient(const QPainterPath &outline, const QPointF &centre);

    const QPainterPath &Outline() const { return m_outline; }
    QPointF Centre() const { return m_centre; }

    // Centre colour at position 1, one surround colour at position 0.
    void SetColors(const QColor &centre, const QColor &surround);
    // Stops sorted by position; positions outside 0..1 are clamped. Before the first
    // stop the first colour holds, after the last the last one.
    void SetStops(const QVector<TPathGradientStop> &stops);
    const QVector<TPathGradientStop> &Stops() const { return m_stops; }

    // 1 at the centre, 0 on the outline, below 0 outside (in the outline's coordinates).
    qreal ValueAt(const QPointF &p) const;
    // The colour at a value, clamped to 0..1 (unpremultiplied).
    QColor ColorAt(qreal value) const;

    // The brush's pixels for `deviceRect`, the outline mapped by `toDevice`; pixel (i, j)
    // is sampled at its centre. Transparent outside the outline.
    QImage Render(const QTransform &toDevice, const QRect &deviceRect) const;

    // Fills `target` (in the painter's coordinates) with the brush, i.e. the part of
    // the target inside the outline. The painter's clip, transform and antialiasing
    // hint apply; the painter's brush and pen are left as they were.
    void Fill(QPainter &painter, const QPainterPath &target) const;
    // Fills the outline itself.
    void Fill(QPainter &painter) const { Fill(painter, m_outline); }

private:
    struct Edge {
        double gx, gy; // edge normal divided by its distance from the centre
    };
    class TGaugeWalk;
    struct TRaster;
    static QVector<Edge> EdgesOf(const QPolygonF &polygon, const QPointF &centre);
    TRaster RasterFor(const QTransform &toDevice) const;
    // Renders deviceRect's rows into the first rows of img (at least as wide and high).
    static void RenderRows(const TRaster &r, QImage &img, const QRect &deviceRect);
    void BuildTable() const;

    QPainterPath m_outline;
    QPointF m_centre;
    QVector<TPathGradientStop> m_stops;
    mutable QVector<quint32> m_table; // premultiplied ARGB per value step
};
