#pragma once
// Colour values as the layout stores them: 0x00BBGGRR for plain colours (red in the
// lowest byte), 0xFF0000nn for the scheme's system colours, clNone for "no colour".
#include <QColor>
#include <QPalette>
#include <QString>
#include <QtGlobal>

using TColor = quint32;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clOlive = 0x00008080;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clPurple = 0x00800080;
constexpr TColor clTeal = 0x00808000;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clFuchsia = 0x00FF00FF;
constexpr TColor clAqua = 0x00FFFF00;
constexpr TColor clWhite = 0x00FFFFFF;

// System colours: index of the colour in the platform scheme, flagged by the top byte.
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowFrame = 0xFF000006;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clHighlightText = 0xFF00000E;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnText = 0xFF000012;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor cl3DDkShadow = 0xFF000015;
constexpr TColor cl3DLight = 0xFF000016;
constexpr TColor clInfoText = 0xFF000017;
constexpr TColor clInfoBk = 0xFF000018;

inline bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

// The light scheme the window was designed in (Qt's own default palette). The program
// resolves its system colours from it whatever the desktop's scheme: the design's black
// texts stay on light colours under a dark scheme too.
QPalette DesignPalette();

// Resolved conversion: a system colour becomes its RGB in `palette` (the application's
// palette by default); a plain colour takes its low three bytes. Opaque.
QColor ColorToQColor(TColor c, const QPalette &palette);
QColor ColorToQColor(TColor c);
// Literal conversion: the low three bytes as they stand, even for system colours.
QColor LiteralColor(TColor c);
// Drawing colour (alpha, colour): resolved, with the given alpha.
QColor DrawingColor(quint8 alpha, TColor c);
// Drawing colour by the literal rule.
QColor LiteralDrawingColor(quint8 alpha, TColor c);
// A plain colour value from an RGB colour (alpha dropped).
TColor RGBToColor(const QColor &c);

// Identifiers as layouts write them ("clBtnFace", "clNone", ...).
bool IdentToColor(const QString &ident, TColor *out);
QString ColorToIdent(TColor c); // empty when the value has no name
