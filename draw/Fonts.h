#pragma once
// The design names Windows faces; here each resolves to an installed metric-compatible
// face by substitution, so the names in the layout stay the design's own.
#include <QFont>
#include <QString>
#include <functional>

// While the font configuration is still being loaded elsewhere (another thread), the
// first font made calls `wait` first, once; an empty function clears it.
void SetFontConfigurationPending(std::function<void()> wait);

// Registers the substitutes (and loads wine's Tahoma when present). Idempotent; every
// font made through this layer calls it, so tests and the program resolve alike.
void EnsureFontSubstitutions();

// The family a design name resolves to here, or an empty string when neither the
// name nor any of its substitutes is installed ("family not found").
QString ResolvedFontFamily(const QString &designName);
bool FontFamilyFound(const QString &designName);

// A font by design name with a character height in pixels (the layout's negative
// height, given here as a positive pixel count).
QFont MakePixelFont(const QString &designName, int pixelHeight, bool bold = false,
                    bool italic = false, bool underline = false, bool strikeOut = false);

// The font to lay out and draw `text` in. Text wholly in Japanese script asked for in a
// face without Japanese glyphs (Tahoma) takes the design's Japanese face, as the design
// platform links Latin faces to it; anything else keeps `font`. Every glyph would come
// from the fallback anyway, and the line metrics are the fallback's, so only the way it
// is found changes: fontconfig's sort of every face for a fallback costs milliseconds.
QFont FontForText(const QFont &font, const QString &text);
