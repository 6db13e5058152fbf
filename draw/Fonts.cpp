#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <utility>

namespace {

struct Substitute {
    const char *design;
    QStringList faces;
};

// The real face first (under the name the database lists it by), then metric-compatible
// faces; a generic fallback last so text never vanishes.
const Substitute &SubstituteFor(int i);

const QList<Substitute> &Substitutes()
{
    static const QList<Substitute> list = {
        {"ＭＳ ゴシック", {"MS Gothic", "IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "DejaVu Sans Mono"}},
        {"MS Gothic", {"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "DejaVu Sans Mono"}},
        {"ＭＳ Ｐゴシック", {"MS PGothic", "IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "DejaVu Sans"}},
        {"Tahoma", {"Tahoma", "DejaVu Sans", "Liberation Sans"}},
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    };
    return list;
}

const Substitute &SubstituteFor(int i) { return Substitutes().at(i); }

// A window's layout asks for the same few names dozens of times at start-up; the
// answers hold until the font database changes.
struct FamilyCache {
    QHash<QString, QString> resolved;
    QSet<QString> families; // the database's own names, folded; empty until first asked
    bool watching = false;

    void Watch()
    {
        if (watching || !qGuiApp)
            return;
        watching = true;
        QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, qGuiApp, [this] {
            resolved.clear();
            families.clear();
        });
    }
};

FamilyCache &Cache()
{
    static FamilyCache cache;
    cache.Watch();
    return cache;
}

// Whether the database lists the family under this name. Aliases (a face's localized
// name, fontconfig's substitution rules) are left out on purpose: resolving one costs a
// fontconfig substitution, about a millisecond, and the table above names the real
// faces in the database's own spelling instead.
bool Installed(const QString &family)
{
    QSet<QString> &families = Cache().families;
    if (families.isEmpty()) {
        for (const QString &f : QFontDatabase::families())
            families.insert(f.toCaseFolded());
    }
    return families.contains(family.toCaseFolded());
}

QString Resolve(const QString &designName)
{
    if (Installed(designName))
        return designName;
    // Our own table first: Qt keeps substitutes in lower case, and callers compare and
    // show the family as the font database spells it.
    for (const Substitute &s : Substitutes()) {
        if (designName.compare(QString::fromUtf8(s.design), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString &f : s.faces)
            if (Installed(f))
                return f;
    }
    for (const QString &f : QFont::substitutes(designName))
        if (Installed(f))
            return f;
    return QString();
}

const char kWineTahoma[] = "/usr/share/wine/fonts/tahoma.ttf";
const char kWineTahomaBold[] = "/usr/share/wine/fonts/tahomabd.ttf";

// Loads wine's bold Tahoma the first time a bold Tahoma is made from it. Loading it
// makes Qt read the whole font list again, once, which only a bold Tahoma pays for.
void EnsureBoldTahoma(const QString &family)
{
    static bool done = false;
    if (done || family != QLatin1String("Tahoma"))
        return;
    done = true;
    if (QFile::exists(QLatin1String(kWineTahomaBold)))
        QFontDatabase::addApplicationFont(QLatin1String(kWineTahomaBold));
}

// Kana, kanji and the full-width forms and punctuation that go with them.
bool IsJapaneseScript(char16_t c)
{
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
           || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

std::function<void()> &PendingConfiguration()
{
    static std::function<void()> wait;
    return wait;
}

} // namespace

void SetFontConfigurationPending(std::function<void()> wait)
{
    PendingConfiguration() = std::move(wait);
}

void EnsureFontSubstitutions()
{
    if (PendingConfiguration())
        std::exchange(PendingConfiguration(), {})();
    static bool done = false;
    if (done)
        return;
    done = true;
    // Debian's fonts-wine ships a Tahoma that fontconfig does not index. The bold face
    // waits until a bold Tahoma is asked for (see MakePixelFont): the window has none,
    // and reading a face in costs as much as a font engine.
    if (QFile::exists(QLatin1String(kWineTahoma)))
        QFontDatabase::addApplicationFont(QLatin1String(kWineTahoma));
    for (int i = 0; i < Substitutes().size(); ++i) {
        const Substitute &s = SubstituteFor(i);
        const QString design = QString::fromUtf8(s.design);
        QStringList present;
        for (const QString &f : s.faces)
            if (f != design && Installed(f))
                present << f;
        if (!present.isEmpty() && !Installed(design))
            QFont::insertSubstitutions(design, present);
    }
}

QString ResolvedFontFamily(const QString &designName)
{
    EnsureFontSubstitutions();
    QHash<QString, QString> &resolved = Cache().resolved;
    const auto it = resolved.constFind(designName);
    if (it != resolved.constEnd())
        return *it;
    const QString family = Resolve(designName);
    resolved.insert(designName, family);
    return family;
}

bool FontFamilyFound(const QString &designName)
{
    return !ResolvedFontFamily(designName).isEmpty();
}

QFont MakePixelFont(const QString &designName, int pixelHeight, bool bold, bool italic,
                    bool underline, bool strikeOut)
{
    EnsureFontSubstitutions();
    QFont f;
    const QString resolved = ResolvedFontFamily(designName);
    if (bold)
        EnsureBoldTahoma(resolved);
    f.setFamilies(QStringList{resolved.isEmpty() ? designName : resolved});
    f.setPixelSize(qMax(1, pixelHeight));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    // Pixel-exact layouts want hinted, unkerned metrics like the design platform's.
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

QFont FontForText(const QFont &font, const QString &text)
{
    if (text.isEmpty() || font.families().isEmpty())
        return font;
    for (QChar c : text)
        if (!IsJapaneseScript(c.unicode()))
            return font;
    // Most Japanese captions are asked for in the Japanese face itself: answered from the
    // resolution cache, without asking the font database about the face.
    const QString family = font.families().constFirst();
    const QString japanese = ResolvedFontFamily(QStringLiteral("ＭＳ ゴシック"));
    if (japanese.isEmpty() || japanese.compare(family, Qt::CaseInsensitive) == 0
        || QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        return font;
    QFont f = font;
    f.setFamilies(QStringList{japanese});
    return f;
}
