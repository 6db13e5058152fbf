#pragma once
// A thin vector-drawing layer over QPainter in the vocabulary the widgets' paint code is
// written in: drawing colours with alpha, paths of lines and arcs, gradient and
// path-gradient brushes, dashed pens, clipping, string formats.
//
// Coordinates: like the classic 2-D services, integer coordinates lie on pixel centres,
// so a one-pixel pen on x = 0 covers exactly pixel column 0. Qt puts pixel edges on
// integers; TGPGraphics therefore shifts paths, pens, brushes and clips by half a pixel.
// Text and images are placed on the pixel grid (grid fitting and unscaled image copies
// land whole pixels).
//
// Angles: degrees, 0 along +x, growing clockwise on screen (y grows downwards).
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;
class QPaintDevice;

using TGPColor = QColor; // built by DrawingColor / LiteralDrawingColor (Colors.h)
using TGPRectF = QRectF;
using TGPPointF = QPointF;

enum TGPFillMode { FillModeAlternate, FillModeWinding };
enum TGPSmoothingMode { SmoothingModeNone, SmoothingModeAntiAlias };
enum TGPTextRenderingHint {
    TextRenderingHintSystemDefault,
    TextRenderingHintSingleBitPerPixelGridFit,
    TextRenderingHintSingleBitPerPixel,
    TextRenderingHintAntiAliasGridFit,
    TextRenderingHintAntiAlias,
    TextRenderingHintClearTypeGridFit,
};
enum TGPCombineMode { CombineModeReplace, CombineModeIntersect };
enum TGPLinearGradientMode {
    LinearGradientModeHorizontal,      // left to right
    LinearGradientModeVertical,        // top to bottom
    LinearGradientModeForwardDiagonal, // top-left to bottom-right
    LinearGradientModeBackwardDiagonal // top-right to bottom-left
};
enum TGPWrapMode { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum TGPDashStyle { DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot };
enum TGPStringAlignment { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum TGPHotkeyPrefix { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum TGPStringFormatFlags {
    StringFormatFlagsNone = 0,
    StringFormatFlagsNoWrap = 0x1000,
    StringFormatFlagsNoClip = 0x4000,
};
enum TGPFontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};
// The styles captions are drawn with: strike-out is not among them.
constexpr int kCaptionFontStyles = FontStyleBold | FontStyleItalic | FontStyleUnderline;
// A font's style as a sum of TGPFontStyle values. The layout's font styles are the same
// bits, so a TFont's styles convert by value.
int FontStyleOf(const QFont &f);

// ---------------------------------------------------------------------------- paths

// A path of figures. Segments added to an open figure are joined to the previous
// segment's end by a straight line when they do not touch; CloseFigure ends the figure
// and the next segment starts a new one.
class TGPPath {
public:
    explicit TGPPath(TGPFillMode mode = FillModeAlternate);

    void AddLine(qreal x1, qreal y1, qreal x2, qreal y2);
    void AddLine(const QPointF &a, const QPointF &b) { AddLine(a.x(), a.y(), b.x(), b.y()); }
    // The arc of the ellipse inscribed in `box` from `startAngle` sweeping `sweepAngle`
    // (clockwise positive). An empty box adds nothing. On a non-circular ellipse the
    // angles are those of the points on the ellipse as seen from its centre.
    void AddArc(const QRectF &box, qreal startAngle, qreal sweepAngle);
    void AddArc(qreal x, qreal y, qreal w, qreal h, qreal startAngle, qreal sweepAngle)
    {
        AddArc(QRectF(x, y, w, h), startAngle, sweepAngle);
    }
    // A closed figure of its own, starting at the rightmost point, clockwise.
    void AddEllipse(const QRectF &box);
    void AddRectangle(const QRectF &r);
    void AddPolygon(const QVector<QPointF> &points);
    void StartFigure() { m_figureOpen = false; }
    void CloseFigure();
    void SetFillMode(TGPFillMode mode);
    TGPFillMode FillMode() const { return m_mode; }

    const QPainterPath &Path() const { return m_path; }
    QRectF Bounds() const { return m_path.boundingRect(); }
    bool IsEmpty() const { return m_path.isEmpty(); }

private:
    void JoinTo(const QPointF &p);

    QPainterPath m_path;
    TGPFillMode m_mode;
    bool m_figureOpen = false;
};

// Corners of a rounded outline that take the arc; the others stay square.
enum TGPCorner {
    CornerTopLeft = 1,
    CornerTopRight = 2,
    CornerBottomRight = 4,
    CornerBottomLeft = 8,
    CornersTop = CornerTopLeft | CornerTopRight,
    CornersAll = 15,
};

// The closed outline through the rectangle's edges, clockwise from the top-left arc.
// A radius of 0 leaves every corner square; a negative one pulls the straight edges
// outwards past the corners, with no arcs (the focus line of a nearly square plate).
TGPPath RoundedOutline(const QRectF &r, qreal radius, int corners = CornersAll);

// The point of the ellipse inscribed in `box` at `angle` degrees (clockwise, geometric).
QPointF EllipsePointAt(const QRectF &box, qreal angle);

// --------------------------------------------------------------------------- colours

// The colour at `t` (0..1) between `a` and `b` blended in linear light (gamma 2.2),
// as gamma-corrected gradients interpolate; alpha runs straight.
QColor GammaBlend(const QColor &a, const QColor &b, qreal t);

// --------------------------------------------------------------------------- brushes

// A brush: a QBrush in surface coordinates, optionally bounded by a path outside which
// it paints nothing (path gradients paint only inside their path).
class TGPBrush {
public:
    TGPBrush() = default;
    TGPBrush(const QBrush &brush, const QPainterPath &boundary = QPainterPath()); // NOLINT: a QBrush is a brush

    static TGPBrush Solid(const QColor &c);
    // Gradient over `rect` from c1 to c2 in one of the four rectangle directions.
    static TGPBrush LinearGradient(const QRectF &rect, const QColor &c1, const QColor &c2,
                                   TGPLinearGradientMode mode, bool gammaCorrection = false,
                                   TGPWrapMode wrap = WrapModeTile);
    // Gradient over `rect` at `angle`; c1 at the corner first reached along the
    // direction, c2 at the opposite one. With `angleIsScalable` the angle applies to the
    // rectangle mapped onto a square, so 45° runs corner to corner of any rectangle.
    static TGPBrush LinearGradientAngle(const QRectF &rect, const QColor &c1, const QColor &c2,
                                        qreal angle, bool angleIsScalable, bool gammaCorrection = false,
                                        TGPWrapMode wrap = WrapModeTile);
    static TGPBrush LinearGradientPoints(const QPointF &p1, const QPointF &p2, const QColor &c1,
                                         const QColor &c2, bool gammaCorrection = false,
                                         TGPWrapMode wrap = WrapModeTile);
    // Path gradient on the ellipse inscribed in `ellipse`: `centreColor` at
    // `centrePoint`, `surroundColor` on the ellipse, linear along every ray from the
    // centre point; nothing outside the ellipse.
    static TGPBrush EllipsePathGradient(const QRectF &ellipse, const QPointF &centrePoint,
                                        const QColor &centreColor, const QColor &surroundColor);

    const QBrush &Brush() const { return m_brush; }
    const QPainterPath &Boundary() const { return m_boundary; }
    bool Bounded() const { return !m_boundary.isEmpty(); }

private:
    QBrush m_brush;
    QPainterPath m_boundary;
};

// The two end points of an angle gradient over `rect` (see LinearGradientAngle).
QLineF AngleGradientLine(const QRectF &rect, qreal angle, bool angleIsScalable);

// ------------------------------------------------------------------------------ pens

class TGPPen {
public:
    explicit TGPPen(const QColor &c, qreal width = 1.0, TGPDashStyle dash = DashStyleSolid);
    void SetDashStyle(TGPDashStyle dash);
    TGPDashStyle DashStyle() const { return m_dash; }
    const QPen &Pen() const { return m_pen; }

private:
    QPen m_pen;
    TGPDashStyle m_dash = DashStyleSolid;
};

// Dash pattern in pen widths (on, off, ...); empty for solid.
QVector<qreal> DashPattern(TGPDashStyle dash);

// ------------------------------------------------------------------------------ text

// Font families: "not found" when neither the name nor a substitute is installed.
bool GPFontFamilyExists(const QString &family);
// `family` when it exists, else `fallback`.
QString GPFontFamilyOr(const QString &family, const QString &fallback = QStringLiteral("Arial"));

// Points converted at the layout's 96 pixels per inch.
constexpr int kGPPixelsPerInch = 96;
qreal PointsToPixels(qreal points);

class TGPFont {
public:
    // `style` is a sum of TGPFontStyle values; the size is in points.
    TGPFont(const QString &family, qreal emSizePoints, int style = FontStyleRegular);
    const QFont &Font() const { return m_font; }
    qreal PixelSize() const { return m_pixels; }

private:
    QFont m_font;
    qreal m_pixels;
};

struct TGPStringFormat {
    TGPStringAlignment Alignment = StringAlignmentNear;
    TGPStringAlignment LineAlignment = StringAlignmentNear;
    int FormatFlags = StringFormatFlagsNone;
    TGPHotkeyPrefix HotkeyPrefix = HotkeyPrefixNone;

    // Qt text flags for this format.
    int QtFlags() const;
};

// ------------------------------------------------------------------------- surfaces

// A drawing surface on a painter (state restored at destruction) or on an image.
// Defaults like a fresh surface: anti-aliasing off, text hint system default, no clip.
class TGPGraphics {
public:
    explicit TGPGraphics(QPainter *painter);
    explicit TGPGraphics(QPaintDevice *device);
    ~TGPGraphics();
    TGPGraphics(const TGPGraphics &) = delete;
    TGPGraphics &operator=(const TGPGraphics &) = delete;

    // Each returns the previous setting.
    TGPSmoothingMode SetSmoothingMode(TGPSmoothingMode mode);
    TGPSmoothingMode SmoothingMode() const { return m_smoothing; }
    TGPTextRenderingHint SetTextRenderingHint(TGPTextRenderingHint hint);
    TGPTextRenderingHint TextRenderingHint() const { return m_textHint; }

    void FillPath(const TGPBrush &brush, const TGPPath &path);
    void DrawPath(const TGPPen &pen, const TGPPath &path);
    void FillRectangle(const TGPBrush &brush, const QRectF &r);
    void FillEllipse(const TGPBrush &brush, const QRectF &r);
    void FillPolygon(const TGPBrush &brush, const QVector<QPointF> &points);
    void DrawLine(const TGPPen &pen, qreal x1, qreal y1, qreal x2, qreal y2);
    void DrawLine(const TGPPen &pen, const QPointF &a, const QPointF &b) { DrawLine(pen, a.x(), a.y(), b.x(), b.y()); }
    void DrawRectangle(const TGPPen &pen, const QRectF &r);

    void SetClip(const QRectF &r, TGPCombineMode mode = CombineModeReplace);
    void SetClip(const TGPPath &path, TGPCombineMode mode = CombineModeReplace);
    void ResetClip();

    // Text in `layout` (an empty layout rectangle means "no bounds": drawn from its
    // top-left corner without wrapping or clipping).
    void DrawString(const QString &text, const TGPFont &font, const QRectF &layout,
                    const TGPStringFormat &format, const TGPBrush &brush);
    QRectF MeasureString(const QString &text, const TGPFont &font, const QRectF &layout,
                         const TGPStringFormat &format) const;

    // The image unscaled with its top-left pixel at (x, y), blended by its alpha.
    void DrawImage(const QImage &image, int x, int y, qreal opacity = 1.0);

    QPainter *Painter() const { return m_p; }

private:
    void Init();
    void FillShape(const TGPBrush &brush, QPainterPath shape);
    QFont RenderFont(const QFont &f) const;

    QPainter *m_p = nullptr;
    bool m_ownsPainter = false;
    TGPSmoothingMode m_smoothing = SmoothingModeNone;
    TGPTextRenderingHint m_textHint = TextRenderingHintSystemDefault;
    bool m_baseClipped = false;
    QPainterPath m_baseClip; // the clip the painter came with, in device pixels
};
