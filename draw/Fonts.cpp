#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QStringList>

namespace {

struct Substitute {
    const char *design;
    QStringList faces;
};

// Metric-compatible faces first; a generic fallback last so text never vanishes.
const Substitute &SubstituteFor(int i);

const QList<Substitute> &Substitutes()
{
    static const QList<Substitute> list = {
        {"ＭＳ ゴシック", {"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "DejaVu Sans Mono"}},
        {"MS Gothic", {"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "DejaVu Sans Mono"}},
        {"ＭＳ Ｐゴシック", {"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP", "DejaVu Sans"}},
        {"Tahoma", {"Tahoma", "DejaVu Sans", "Liberation Sans"}},
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    };
    return list;
}

const Substitute &SubstituteFor(int i) { return Substitutes().at(i); }

// Each answer of the font database costs a fontconfig substitution (about a
// millisecond), and a window's layout asks for the same few names dozens of times at
// start-up. The answers hold until the database changes.
struct FamilyCache {
    QHash<QString, bool> installed;
    QHash<QString, QString> resolved;
    QSet<QString> families; // the database's own names, folded; empty until first asked
    bool watching = false;

    void Watch()
    {
        if (watching || !qGuiApp)
            return;
        watching = true;
        QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, qGuiApp, [this] {
            installed.clear();
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

// A face of our own table by the name the database lists it under.
bool Listed(const QString &face)
{
    QSet<QString> &families = Cache().families;
    if (families.isEmpty()) {
        for (const QString &f : QFontDatabase::families())
            families.insert(f.toCaseFolded());
    }
    return families.contains(face.toCaseFolded());
}

// A design name may also be there under an alias of fontconfig's (a localized name, say),
// which only the database's own resolution finds.
bool Installed(const QString &family)
{
    if (Listed(family))
        return true;
    QHash<QString, bool> &installed = Cache().installed;
    const auto it = installed.constFind(family);
    if (it != installed.constEnd())
        return *it;
    const bool found = QFontDatabase::hasFamily(family);
    installed.insert(family, found);
    return found;
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
            if (Listed(f))
                return f;
    }
    for (const QString &f : QFont::substitutes(designName))
        if (Listed(f))
            return f;
    return QString();
}

} // namespace

void EnsureFontSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Debian's fonts-wine ships a Tahoma that fontconfig does not index.
    for (const char *path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFile::exists(QString::fromLatin1(path)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(path));
    }
    for (int i = 0; i < Substitutes().size(); ++i) {
        const Substitute &s = SubstituteFor(i);
        const QString design = QString::fromUtf8(s.design);
        QStringList present;
        for (const QString &f : s.faces)
            if (f != design && Listed(f))
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
