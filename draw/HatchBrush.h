#pragma once
// Hatch brushes on 8 x 8 patterns with a foreground and a background colour, tiled
// from the device origin as the design's drawing service tiles them.
//
// The six basic styles are the service's patterns exactly: horizontal (row 0),
// vertical (column 0), forward diagonal (pixel (i, i): upper left to lower right),
// backward diagonal (pixel (7 - i, i)), cross (row 0 and column 0) and diagonal cross
// (both diagonals). The other styles are drawn with the nearest of these:
//   percent styles 6..17       ordered-dither density at that percentage
//   downward diagonals 18, 20, 22, 30       forward diagonal
//   upward diagonals 19, 21, 23, 31, 38     backward diagonal
//   vertical 24, 26, 28, 33                 vertical
//   horizontal 25, 27, 29, 32, 36, 37, 39, 45  horizontal
//   grids 40, 41, 43, 46, 48                cross
//   checker boards 49 (2 x 2), 50 (4 x 4)   checker board
//   confetti, divot, diamonds, sphere 34, 35, 42, 44, 47, 51, 52  diagonal cross
//   anything else (53 is the count, not a style)  horizontal
#include <QBrush>
#include <QColor>
#include <QImage>

class QPainter;

constexpr int kHatchSize = 8;

// The pattern as 8 rows of bits, bit (7 - x) of row y set where the foreground shows.
QVector<quint8> HatchBits(int style);
// One 8 x 8 tile in premultiplied ARGB.
QImage HatchTile(int style, const QColor &foreground, const QColor &background);
// A brush tiling that pattern; anchored to the device pixels of `painter` when given.
QBrush HatchBrush(int style, const QColor &foreground, const QColor &background,
                  const QPainter *painter = nullptr);
