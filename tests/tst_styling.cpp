// The main window's look as its layout defines it: every styled value reaches the control
// that draws it, fonts resolve to the faces the layout was designed with, the icon holds
// its picture in three sizes, and a grab of the shown window has the expected colours at
// probe points of every area. Run once at scale 1 and once with QT_SCALE_FACTOR=2, where
// Qt doubles the finished window and the program must lay out nothing differently.
#include "Colors.h"
#include "Fonts.h"
#include "AdvOfficeButtons.h"
#include "Main.h"
#include "MessageBox.h"
#include "ReadingComposer.h"
#include "Settings.h"
#include "TestSeams.h"
#include "Version.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <memory>

namespace {

// Reads "control.Sub.Property" from the window: the first part names a control (or the
// window itself), the rest walks published sub-objects. Returns the value as the layout
// would write it: enumeration names, colours as decimal numbers.
bool ReadPublished(QObject *form, const QString &path, QString *out, QString *error)
{
    QStringList parts = path.split(QLatin1Char('.'));
    const QString controlName = parts.takeFirst();
    QObject *obj = controlName == QLatin1String("fmKanavox") ? form : form->findChild<QObject *>(controlName);
    if (!obj) {
        *error = QStringLiteral("no control %1").arg(controlName);
        return false;
    }
    while (!parts.isEmpty()) {
        const QString name = parts.takeFirst();
        const QMetaObject *mo = obj->metaObject();
        const int idx = mo->indexOfProperty(name.toLatin1().constData());
        if (idx < 0) {
            *error = QStringLiteral("%1 has no property %2").arg(QString::fromLatin1(mo->className()), name);
            return false;
        }
        const QMetaProperty prop = mo->property(idx);
        const QVariant v = prop.read(obj);
        if (!parts.isEmpty()) {
            obj = v.value<QObject *>();
            if (!obj) {
                *error = QStringLiteral("%1 is not a settings object").arg(name);
                return false;
            }
            continue;
        }
        if (prop.isEnumType()) {
            const QMetaEnum e = prop.enumerator();
            *out = QString::fromLatin1(e.isFlag() ? e.valueToKeys(v.toInt()) : QByteArray(e.valueToKey(v.toInt())));
        } else if (v.metaType().id() == QMetaType::Bool) {
            *out = v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        } else {
            *out = v.toString();
        }
    }
    return true;
}

QString Num(qint64 v) { return QString::number(v); }

// Colour probes ----------------------------------------------------------------------

struct Rgb {
    int r, g, b;
};

Rgb ToRgb(const QColor &c) { return {c.red(), c.green(), c.blue()}; }
Rgb Plain(TColor c) { return ToRgb(ColorToQColor(c)); }
int Luma(const Rgb &c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

// Source colour at `alpha` over `under`, as the vector layer composes it.
Rgb Over(const Rgb &src, int alpha, const Rgb &under)
{
    auto mix = [alpha](int s, int u) { return (s * alpha + u * (255 - alpha) + 127) / 255; };
    return {mix(src.r, under.r), mix(src.g, under.g), mix(src.b, under.b)};
}

Rgb Lerp(const Rgb &a, const Rgb &b, double t)
{
    return {int(a.r + (b.r - a.r) * t + 0.5), int(a.g + (b.g - a.g) * t + 0.5), int(a.b + (b.b - a.b) * t + 0.5)};
}

int Distance(const Rgb &a, const Rgb &b)
{
    return qMax(qAbs(a.r - b.r), qMax(qAbs(a.g - b.g), qAbs(a.b - b.b)));
}

QString Text(const Rgb &c) { return QStringLiteral("(%1,%2,%3)").arg(c.r).arg(c.g).arg(c.b); }

} // namespace

Q_DECLARE_METATYPE(Rgb)

class TestStyling : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestSeams::SettingsDirectory> m_settingsDirectory;
    std::unique_ptr<TestSeams::MessageBoxes> m_boxes;
    std::unique_ptr<TfmKanavox> m_form;
    QImage m_shot;
    qreal m_scale = 1;

    // The window's pixel under a logical point (the middle of its device pixels).
    Rgb At(int x, int y) const
    {
        const int px = int((x + 0.5) * m_scale);
        const int py = int((y + 0.5) * m_scale);
        return ToRgb(m_shot.pixelColor(px, py));
    }

    // Every logical pixel of a window rectangle.
    QList<Rgb> Area(const QRect &r) const
    {
        QList<Rgb> list;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                list.append(At(x, y));
        return list;
    }

    Rgb Darkest(const QRect &r) const
    {
        Rgb best{255, 255, 255};
        for (const Rgb &c : Area(r))
            if (Luma(c) < Luma(best))
                best = c;
        return best;
    }

    void Regrab()
    {
        QCoreApplication::processEvents();
        m_shot = m_form->grab().toImage();
    }

    Rgb Face() const { return Plain(clBtnFace); }
    static Rgb Bar() { return {134, 194, 217}; }

private slots:
    void initTestCase()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settingsDirectory = std::make_unique<TestSeams::SettingsDirectory>(m_dir->path());
        m_boxes = std::make_unique<TestSeams::MessageBoxes>([](const QString &caption, const QString &text) {
            qWarning("unexpected message box %s: %s", qPrintable(caption), qPrintable(text));
        });
        m_scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0;
        m_form = std::make_unique<TfmKanavox>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->edtPass->clearFocus(); // no caret in the probes
        Regrab();
    }

    void cleanupTestCase()
    {
        m_form->hide();
        m_form.reset();
        m_boxes.reset();
        m_settingsDirectory.reset();
    }

    // Every value the layout sets, and a few that it must leave at the class's new-control
    // value, read back from the controls. Catches a value missing from or mistyped in the
    // layout, a setter that drops its value, and a sub-object that is not the one painted.
    void layoutValues_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        auto row = [](const QString &path, const QString &expected) {
            QTest::newRow(qPrintable(path)) << path << expected;
        };
        auto font = [&row](const QString &path, const char *name, int height, TColor color, const char *charset) {
            row(path + QStringLiteral(".Name"), QString::fromUtf8(name));
            row(path + QStringLiteral(".Height"), Num(height));
            row(path + QStringLiteral(".Color"), Num(color));
            row(path + QStringLiteral(".Charset"), QString::fromLatin1(charset));
            row(path + QStringLiteral(".Style"), QString());
        };
        const char *gothic = "ＭＳ ゴシック";

        // The layout keeps its caption as text; it must say the version the build was made as.
        row("fmKanavox.Caption", KANAVOX_VERSION_TEXT);
        row("fmKanavox.ClientWidth", "664");
        row("fmKanavox.ClientHeight", "443");
        row("fmKanavox.BorderStyle", "bsSingle");
        row("fmKanavox.BorderIcons", "biSystemMenu|biMinimize");
        row("fmKanavox.Color", Num(clBtnFace));
        font("fmKanavox.Font", gothic, -16, clBlack, "SHIFTJIS_CHARSET");

        row("edtPass.Color", Num(clWindow));
        row("edtPass.AutoSize", "false");
        row("edtPass.ImeMode", "imDisable");
        row("edtPass.EmptyTextStyle", QString());
        font("edtPass.LabelFont", "Tahoma", -11, clWindowText, "DEFAULT_CHARSET");
        font("edtPass.Lookup.Font", "Arial", -11, clWindowText, "DEFAULT_CHARSET");
        row("edtPass.Lookup.Separator", ";");
        row("edtPass.Version", "3.5.2.4");

        row("EllipsLabel2.Caption", "パスワード");
        row("EllipsLabel2.EllipsType", "etNone");
        row("EllipsLabel2.Version", "1.0.0.0");
        row("EllipsLabel1.Caption", "入力可能な記号は\u3000 ＠ ？ ！ ＃ ＆ （ ） ＜ ＞ ［ ］＿ ￥ ／");
        row("EllipsLabel1.Color", Num(15457982));
        row("EllipsLabel1.ParentColor", "false");
        row("EllipsLabel1.EllipsType", "etNone");
        row("EllipsLabel1.Version", "1.0.0.0");
        row("lblEGkekka.AutoSize", "false");
        row("lblEGkekka.WordWrap", "true");
        row("lblEGkekka.ParentFont", "false");
        font("lblEGkekka.Font", gothic, -15, clBlack, "SHIFTJIS_CHARSET");
        row("lblEGkekka.ShowAccelChar", "false");
        row("lblEGkekka.EllipsType", "etNone");
        row("lblEGkekka.Version", "1.0.0.0");
        row("lblCopyKekka.ShowAccelChar", "false");
        row("lblCopyKekka.EllipsType", "etNone");
        row("lblCopyKekka.Version", "1.0.0.0");

        const QList<QPair<const char *, const char *>> boxes = {
            {"chkMojisyuIns", "文字種を挿入（大文字、小文字、数字、記号）"},
            {"chk1Mojisyu", "1文字ずつ文字種を挿入"},
            {"chkSepBlank", "文字の区切りをブランクにする（デフォルトは「、」）"},
            {"chkNum", "数字はそのまま"},
            {"chkKigou", "記号はそのまま"},
        };
        for (const auto &[name, caption] : boxes) {
            const QString n = QString::fromLatin1(name);
            row(n + ".Caption", QString::fromUtf8(caption));
            row(n + ".Alignment", "taLeftJustify");
            row(n + ".ReturnIsTab", "false");
            row(n + ".Version", "1.7.0.0");
        }

        row("AdvSmoothPanel1.Caption.Text", "結果");
        row("AdvSmoothPanel1.Caption.Location", "plTopCenter");
        font("AdvSmoothPanel1.Caption.Font", "Tahoma", -16, clBlack, "DEFAULT_CHARSET");
        font("AdvSmoothPanel1.Caption.HTMLFont", "Tahoma", -11, clWindowText, "DEFAULT_CHARSET");
        row("AdvSmoothPanel1.Fill.Color", Num(16445929));
        row("AdvSmoothPanel1.Fill.ColorTo", Num(15587527));
        row("AdvSmoothPanel1.Fill.ColorMirror", Num(15587527));
        row("AdvSmoothPanel1.Fill.ColorMirrorTo", Num(16773863));
        row("AdvSmoothPanel1.Fill.GradientType", "gtVertical");
        row("AdvSmoothPanel1.Fill.GradientMirrorType", "gtVertical");
        row("AdvSmoothPanel1.Fill.BorderColor", Num(14922381));
        row("AdvSmoothPanel1.Fill.Rounding", "10");
        row("AdvSmoothPanel1.Fill.ShadowOffset", "10");
        row("AdvSmoothPanel1.Fill.Glow", "gmNone");
        row("AdvSmoothPanel1.Version", "1.7.0.0");
        // Left at the new-fill values by the layout.
        row("AdvSmoothPanel1.Fill.BorderWidth", "1");
        row("AdvSmoothPanel1.Fill.ShadowColor", Num(8421504));
        row("AdvSmoothPanel1.Fill.RoundingType", "rtBoth");
        row("AdvSmoothPanel1.Fill.ShadowType", "stRightBottom");

        row("pnlFunction.Align", "alBottom");
        row("pnlFunction.Color", Num(14271110));
        row("pnlFunction.DoubleBuffered", "true");
        row("pnlFunction.UseDockManager", "true");
        row("pnlFunction.Caption.Color", Num(clHighlight));
        row("pnlFunction.Caption.ColorTo", Num(clNone));
        font("pnlFunction.Caption.Font", gothic, -16, clBlack, "SHIFTJIS_CHARSET");
        row("pnlFunction.Caption.Indent", "0");
        font("pnlFunction.StatusBar.Font", "Tahoma", -11, clWindowText, "DEFAULT_CHARSET");
        row("pnlFunction.Text", QString());
        row("pnlFunction.FullHeight", "0");
        row("pnlFunction.Version", "2.5.9.0");
        // Hidden bars draw nothing; the frame is the new panel's raised bevel.
        row("pnlFunction.Caption.Visible", "false");
        row("pnlFunction.StatusBar.Visible", "false");

        const QList<QPair<const char *, TColor>> buttons = {{"btnEnd", 12615680}, {"btnCopy", 16744448}};
        for (const auto &[name, back] : buttons) {
            const QString n = QString::fromLatin1(name);
            row(n + ".BackColor", Num(back));
            row(n + ".ForeColor", Num(clWhite));
            row(n + ".GlowColor", Num(16760205));
            row(n + ".InnerBorderColor", Num(clBlack));
            row(n + ".OuterBorderColor", Num(clWhite));
            row(n + ".ShineColor", Num(clWhite));
            row(n + ".ParentFont", "false");
            font(n + ".Font", gothic, -16, clBlack, "SHIFTJIS_CHARSET");
            row(n + ".Version", "1.3.1.0");
        }
        row("btnEnd.Caption", "終了");
        row("btnCopy.Caption", "クリップボードにコピー");
    }
    void layoutValues()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QString value, error;
        if (!ReadPublished(m_form.get(), path, &value, &error))
            QFAIL(qPrintable(error));
        QCOMPARE(value, expected);
    }

    // The faces the controls actually draw with. Catches a font that is not pushed into
    // the Qt widget, a wrong height, a lost parent font, or a failed substitution.
    void controlFonts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("pixels");
        for (const char *name : {"fmKanavox", "EllipsLabel2", "edtPass", "EllipsLabel1", "chkMojisyuIns", "chk1Mojisyu",
                                 "chkSepBlank", "chkNum", "chkKigou", "lblCopyKekka", "btnEnd", "btnCopy"})
            QTest::newRow(name) << QString::fromLatin1(name) << 16;
        QTest::newRow("lblEGkekka") << QStringLiteral("lblEGkekka") << 15;
    }
    void controlFonts()
    {
        QFETCH(QString, control);
        QFETCH(int, pixels);
        QWidget *w = control == QLatin1String("fmKanavox") ? m_form.get() : m_form->findChild<QWidget *>(control);
        QVERIFY(w);
        const QFontInfo info(w->font());
        QCOMPARE(info.family(), QStringLiteral("IPAGothic"));
        QCOMPARE(info.pixelSize(), pixels);
        QCOMPARE(w->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    // Places and sizes in logical pixels; the same numbers at every scale factor, since
    // Qt alone enlarges the window on denser screens.
    void geometry_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("EllipsLabel2") << QStringLiteral("EllipsLabel2") << QRect(16, 27, 80, 16);
        QTest::newRow("edtPass") << QStringLiteral("edtPass") << QRect(102, 24, 519, 24);
        QTest::newRow("EllipsLabel1") << QStringLiteral("EllipsLabel1") << QRect(102, 54, 472, 16);
        QTest::newRow("chkMojisyuIns") << QStringLiteral("chkMojisyuIns") << QRect(102, 86, 355, 20);
        QTest::newRow("chk1Mojisyu") << QStringLiteral("chk1Mojisyu") << QRect(102, 112, 355, 20);
        QTest::newRow("chkSepBlank") << QStringLiteral("chkSepBlank") << QRect(102, 138, 459, 20);
        QTest::newRow("chkNum") << QStringLiteral("chkNum") << QRect(102, 164, 459, 20);
        QTest::newRow("chkKigou") << QStringLiteral("chkKigou") << QRect(102, 190, 459, 20);
        QTest::newRow("AdvSmoothPanel1") << QStringLiteral("AdvSmoothPanel1") << QRect(16, 227, 640, 169);
        QTest::newRow("lblEGkekka") << QStringLiteral("lblEGkekka") << QRect(20, 32, 599, 121);
        QTest::newRow("pnlFunction") << QStringLiteral("pnlFunction") << QRect(0, 402, 664, 41);
        QTest::newRow("btnEnd") << QStringLiteral("btnEnd") << QRect(512, 5, 100, 32);
        QTest::newRow("btnCopy") << QStringLiteral("btnCopy") << QRect(160, 5, 214, 32);
    }
    void geometry()
    {
        QFETCH(QString, control);
        QFETCH(QRect, rect);
        QWidget *w = m_form->findChild<QWidget *>(control);
        QVERIFY(w);
        // Auto-sized labels measure lines at the design's line height (the font's pixel
        // height), so they keep the laid-out size with the metric-compatible face.
        QCOMPARE(w->geometry(), rect);
    }

    // The copy status sizes itself with its left edge fixed at 380, 13 on the bar.
    void statusLabelPlace()
    {
        QCOMPARE(m_form->lblCopyKekka->pos(), QPoint(380, 13));
        QCOMPARE(m_form->lblCopyKekka->parentWidget(), m_form->pnlFunction);
    }

    // Only the edit and the two buttons are tab stops, the exit button first.
    void tabChain()
    {
        QList<QWidget *> chain;
        QWidget *w = m_form->edtPass;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(m_form.get()) && w != m_form.get())
                chain.append(w);
            w = w->nextInFocusChain();
        } while (w != m_form->edtPass && chain.size() < 20);
        const QList<QWidget *> expected{m_form->edtPass, m_form->btnEnd, m_form->btnCopy};
        QCOMPARE(chain, expected);
    }

    // The layout stores a Version for every control; writing one must change nothing.
    void versionIgnored_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("version");
        QTest::newRow("edit") << QStringLiteral("edtPass") << QStringLiteral("3.5.2.4");
        QTest::newRow("label") << QStringLiteral("EllipsLabel1") << QStringLiteral("1.0.0.0");
        QTest::newRow("check box") << QStringLiteral("chkNum") << QStringLiteral("1.7.0.0");
        QTest::newRow("smooth panel") << QStringLiteral("AdvSmoothPanel1") << QStringLiteral("1.7.0.0");
        QTest::newRow("styled panel") << QStringLiteral("pnlFunction") << QStringLiteral("2.5.9.0");
        QTest::newRow("glass button") << QStringLiteral("btnCopy") << QStringLiteral("1.3.1.0");
    }
    void versionIgnored()
    {
        QFETCH(QString, control);
        QFETCH(QString, version);
        QObject *obj = m_form->findChild<QObject *>(control);
        QVERIFY(obj);
        obj->setProperty("Version", QStringLiteral("9.9.9.9"));
        QCOMPARE(obj->property("Version").toString(), version);
    }

    void panelCursorIsDefault()
    {
        QCOMPARE(m_form->AdvSmoothPanel1->cursor().shape(), Qt::ArrowCursor);
    }

    // The icon: the three sizes, each with alpha, each holding the picture (cyan square,
    // dark red outline, red letter above a blue arrow above the red reading).
    void windowIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16") << 16;
        QTest::newRow("32") << 32;
        QTest::newRow("48") << 48;
    }
    void windowIcon()
    {
        QFETCH(int, size);
        const QIcon icon = m_form->windowIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48)}));
        const QImage img = icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(img.size(), QSize(size, size));
        QVERIFY(img.hasAlphaChannel());
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0); // outside the rounded corner

        auto isRed = [](QRgb p) { return qAlpha(p) > 200 && qRed(p) > 170 && qGreen(p) < 90 && qBlue(p) < 90; };
        auto isBlue = [](QRgb p) { return qAlpha(p) > 200 && qBlue(p) > 160 && qRed(p) < 110 && qGreen(p) < 140; };
        auto isCyan = [](QRgb p) { return qAlpha(p) == 255 && qBlue(p) > 220 && qGreen(p) > 220 && qRed(p) < 225; };
        auto isDarkRed = [](QRgb p) { return qAlpha(p) > 200 && qRed(p) > 90 && qRed(p) < 180 && qGreen(p) < 40 && qBlue(p) < 40; };
        // Rows of the first and last match of a colour inside the square.
        auto rows = [&img, size](auto pred) {
            int first = -1, last = -1;
            for (int y = 1; y < size - 1; ++y)
                for (int x = 1; x < size - 1; ++x)
                    if (pred(img.pixel(x, y))) {
                        if (first < 0)
                            first = y;
                        last = y;
                    }
            return qMakePair(first, last);
        };
        QVERIFY(isDarkRed(img.pixel(size / 2, 0)));
        QVERIFY(isDarkRed(img.pixel(0, size / 2)));
        QVERIFY(isCyan(img.pixel(size / 8 + 1, size / 2)));
        const auto red = rows(isRed);
        const auto blue = rows(isBlue);
        QVERIFY(red.first >= 0 && blue.first >= 0);
        // Red above the arrow ("A") and red below it ("エー").
        QVERIFY2(red.first < blue.first && red.second > blue.second,
                 qPrintable(QStringLiteral("red rows %1-%2, blue rows %3-%4").arg(red.first).arg(red.second).arg(blue.first).arg(blue.second)));
        bool redAboveArrow = false, redBelowArrow = false;
        for (int x = 1; x < size - 1; ++x) {
            for (int y = 1; y < blue.first; ++y)
                redAboveArrow |= isRed(img.pixel(x, y));
            for (int y = blue.second + 1; y < size - 1; ++y)
                redBelowArrow |= isRed(img.pixel(x, y));
        }
        QVERIFY(redAboveArrow);
        QVERIFY(redBelowArrow);
    }

    // Qt scales the finished window: twice the device pixels, the same logical layout.
    void scaleFactor()
    {
        QVERIFY(m_form->windowHandle());
        QCOMPARE(m_form->windowHandle()->devicePixelRatio(), m_scale);
        QCOMPARE(m_form->size(), QSize(664, 443));
        QCOMPARE(m_shot.size(), QSize(qRound(664 * m_scale), qRound(443 * m_scale)));
        QCOMPARE(m_shot.devicePixelRatio(), m_scale);
    }

    // Probe pixels of every area of the window as the user first sees it.
    // Each row: a logical point, the expected colour, a tolerance.
    void probes_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<Rgb>("expected");
        QTest::addColumn<int>("tolerance");
        const Rgb face = Face();
        const Rgb bar = Bar();
        const Rgb highlight = Plain(clBtnHighlight);
        const Rgb shadow = Plain(clBtnShadow);
        const Rgb fillTop{233, 241, 250}, fillMid{199, 216, 237}, fillBottom{231, 242, 255};
        const QPoint panel(16, 227);

        QTest::newRow("window face") << QPoint(8, 8) << face << 0;
        QTest::newRow("window face between options") << QPoint(600, 150) << face << 0;
        // A label with a colour but no Transparent set shows the window's colour.
        QTest::newRow("hint line background") << QPoint(570, 62) << face << 0;
        QTest::newRow("edit interior") << QPoint(400, 36) << Plain(clWindow) << 0;

        // Body rectangle (0, 0, 629, 158): main part over rows 0..80, mirror part from 78.
        QTest::newRow("panel body top") << panel + QPoint(40, 10) << Lerp(fillTop, fillMid, 10.5 / 80) << 5;
        QTest::newRow("panel body middle") << panel + QPoint(40, 79) << fillMid << 5;
        QTest::newRow("panel body bottom") << panel + QPoint(40, 150) << Lerp(fillMid, fillBottom, 72.5 / 80) << 5;
        QTest::newRow("panel outside rounded corner") << panel + QPoint(1, 1) << face << 6;

        QTest::newRow("bar fill") << QPoint(50, 420) << bar << 0;
        QTest::newRow("bar fill under status") << QPoint(470, 420) << bar << 0;
        QTest::newRow("bar bevel top") << QPoint(300, 402) << highlight << 0;
        QTest::newRow("bar bevel left") << QPoint(0, 420) << highlight << 0;
        QTest::newRow("bar bevel right") << QPoint(663, 420) << shadow << 0;
        QTest::newRow("bar bevel bottom") << QPoint(300, 442) << shadow << 0;
        QTest::newRow("bar bevel top-right corner") << QPoint(663, 402) << shadow << 0;
        QTest::newRow("bar bevel bottom-left corner") << QPoint(0, 442) << shadow << 0;

        // Glass bodies: the back colour at alpha 127 over the bar, below the shine.
        QTest::newRow("copy button body") << QPoint(168, 431) << Over({0, 128, 255}, 127, bar) << 4;
        QTest::newRow("exit button body") << QPoint(520, 431) << Over({0, 128, 192}, 127, bar) << 4;
        QTest::newRow("copy button outer outline") << QPoint(260, 407) << Rgb{255, 255, 255} << 12;
        QTest::newRow("copy button inner outline") << QPoint(260, 408) << Rgb{0, 0, 0} << 40;
        QTest::newRow("exit button outer outline") << QPoint(540, 407) << Rgb{255, 255, 255} << 12;
    }
    void probes()
    {
        QFETCH(QPoint, at);
        QFETCH(Rgb, expected);
        QFETCH(int, tolerance);
        const Rgb got = At(at.x(), at.y());
        QVERIFY2(Distance(got, expected) <= tolerance,
                 qPrintable(QStringLiteral("at (%1,%2): %3, expected %4 ± %5")
                                .arg(at.x()).arg(at.y()).arg(Text(got), Text(expected)).arg(tolerance)));
    }

    // Relations the eye reads from the picture.
    void lookRelations()
    {
        const Rgb bar = Bar();
        const Rgb copy = At(168, 431), end = At(520, 431);
        // The copy button is the brighter blue, the exit button the darker one.
        QVERIFY2(copy.b > bar.b && end.b < bar.b, qPrintable(Text(copy) + Text(bar) + Text(end)));
        // The shine lightens the upper half.
        QVERIFY(Luma(At(168, 410)) >= Luma(copy) + 30);
        QVERIFY(Luma(At(520, 410)) >= Luma(end) + 30);
        // The panel is darker at its middle than at top and bottom.
        const QPoint panel(16, 227);
        QVERIFY(Luma(At(panel.x() + 40, panel.y() + 79)) < Luma(At(panel.x() + 40, panel.y() + 10)));
        QVERIFY(Luma(At(panel.x() + 40, panel.y() + 79)) < Luma(At(panel.x() + 40, panel.y() + 150)));
        // The shadow strips darken the window's colour, grey like the shadow colour.
        const Rgb face = Face();
        const Rgb bottomShadow = At(panel.x() + 320, panel.y() + 164);
        QVERIFY2(Luma(bottomShadow) <= Luma(face) - 20 && Distance(bottomShadow, {bottomShadow.r, bottomShadow.r, bottomShadow.r}) <= 4,
                 qPrintable(Text(bottomShadow)));
        const Rgb rightShadow = At(panel.x() + 633, panel.y() + 80);
        QVERIFY2(Luma(rightShadow) < Luma(face), qPrintable(Text(rightShadow)));
        // A thin blue outline at the body's left edge.
        const Rgb border{141, 178, 227};
        int nearest = 255;
        for (int x = 0; x <= 1; ++x)
            nearest = qMin(nearest, Distance(At(panel.x() + x, panel.y() + 80), border));
        QVERIFY2(nearest <= 30, qPrintable(QString::number(nearest)));
    }

    // Glyphs: black captions, the check box glyphs, the blue "結果".
    void glyphs()
    {
        const Rgb label = Darkest(QRect(16, 27, 80, 16));
        QVERIFY2(Luma(label) < 60, qPrintable(Text(label)));
        const Rgb option = Darkest(QRect(118, 88, 320, 16));
        QVERIFY2(Luma(option) < 60, qPrintable(Text(option)));
        const Rgb hint = Darkest(QRect(102, 54, 200, 16));
        QVERIFY2(Luma(hint) < 60, qPrintable(Text(hint)));
        // chkMojisyuIns starts checked: a dark blue tick inside its 12 × 12 glyph.
        const Rgb tick = Darkest(QRect(102, 92, 12, 12));
        QVERIFY2(Luma(tick) < 130 && tick.b > tick.r, qPrintable(Text(tick)));
        // chkSepBlank starts unchecked: a light box with a darker inner edge, no mark.
        const QRect box(102, 144, 12, 12);
        const Rgb boxDark = Darkest(box);
        QVERIFY2(Luma(boxDark) > 140 && Luma(boxDark) < Luma(Face()) - 20, qPrintable(Text(boxDark)));
        // Nothing of the glyph beyond its 12 pixels: the caption starts at 16.
        for (const Rgb &c : Area(QRect(114, 92, 2, 12)))
            QCOMPARE(Distance(c, Face()), 0);
        const QPoint panel(16, 227);
        const Rgb caption = Darkest(QRect(panel.x() + 250, panel.y(), 130, 22));
        QVERIFY2(caption.b - caption.r >= 80 && Luma(caption) < 150, qPrintable(Text(caption)));
    }

    // The check box glyph at the screen's density: at 1 exactly the stored 13 x 13 image
    // brought to 12 pixels; at 2 drawn from the 26 x 26 image, so the tick has anti-aliased
    // edges inside most 2 x 2 device blocks instead of the blocks of an enlarged bitmap.
    void glyphAtScreenDensity()
    {
        const QPoint checkedAt(102, 92), uncheckedAt(102, 144); // chkMojisyuIns, chkSepBlank
        if (m_scale == 1) {
            const QImage glyph = TCustomAdvOfficeCheckBox::ScaledGlyph(
                TCustomAdvOfficeCheckBox::GlyphImage(TCustomAdvOfficeCheckBox::cbChecked, TCustomAdvOfficeCheckBox::glNormal), 12);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x) {
                    const QColor g = glyph.pixelColor(x, y);
                    const Rgb want = g.alpha() == 0 ? Face() : ToRgb(g);
                    QCOMPARE(Distance(At(checkedAt.x() + x, checkedAt.y() + y), want), 0);
                }
            return;
        }
        const int side = qRound(12 * m_scale);
        auto device = [this](const QPoint &origin, int x, int y) {
            return ToRgb(m_shot.pixelColor(qRound(origin.x() * m_scale) + x, qRound(origin.y() * m_scale) + y));
        };
        int touched = 0, mixed = 0;
        for (int by = 0; by + 1 < side; by += 2)
            for (int bx = 0; bx + 1 < side; bx += 2) {
                bool ink = false;
                int spread = 0;
                for (int j = 0; j < 2; ++j)
                    for (int i = 0; i < 2; ++i) {
                        const Rgb c = device(checkedAt, bx + i, by + j);
                        ink = ink || Distance(c, device(uncheckedAt, bx + i, by + j)) > 8;
                        spread = qMax(spread, Distance(c, device(checkedAt, bx, by)));
                    }
                touched += ink;
                mixed += ink && spread > 2;
            }
        QVERIFY2(touched >= 20 && mixed * 2 >= touched, qPrintable(QStringLiteral("%1 of %2 blocks").arg(mixed).arg(touched)));
    }

    // The caption "結果" centred over the panel's body at its top edge, and its underline,
    // one pixel thick (anti-aliased over two rows where the measured height is fractional)
    // at the caption's measured height, from x = 18 to 643 (2 to 627 in the panel). The design measures 19 pixels (ink within y 227..246); the
    // substitute for Tahoma may differ by two. Ink differs from the body by more than 40.
    void resultCaption()
    {
        const QPoint panel(16, 227);
        const Rgb line{28, 114, 176};
        // Share of the line in pixel (x, y): how far its red moved from the body's towards the line's.
        auto coverage = [&](int x, int y) {
            const Rgb body = At(x, y - 6);
            return double(body.r - At(x, y).r) / (body.r - line.r);
        };
        auto centreRow = [&](int x, double *total) {
            double sum = 0, weighted = 0;
            for (int y = panel.y() + 10; y < panel.y() + 26; ++y) {
                const double c = qMax(0.0, coverage(x, y));
                sum += c;
                weighted += c * y;
            }
            *total = sum;
            return sum > 0 ? weighted / sum : -1;
        };
        double total = 0;
        const double yc = centreRow(300, &total);
        QVERIFY2(total > 0.8 && total < 1.25, qPrintable(QString::number(total)));
        QVERIFY2(yc >= 244 - 1.5 && yc <= 246 + 1.5, qPrintable(QString::number(yc)));
        for (int x : {19, 100, 500, 642}) {
            double t = 0;
            QVERIFY2(qAbs(centreRow(x, &t) - yc) < 0.1 && qAbs(t - total) < 0.1, qPrintable(QString::number(x)));
        }
        const int row = qRound(yc);
        auto columnShare = [&](int x) { return coverage(x, row) / coverage(300, row); };
        // The end pixels share one pixel's worth of line between them (half each at scale 1).
        QVERIFY2(qAbs(columnShare(18) + columnShare(643) - 1) < 0.2 && columnShare(19) > 0.9 && columnShare(642) > 0.9,
                 qPrintable(QStringLiteral("%1 %2").arg(columnShare(18)).arg(columnShare(643))));
        QVERIFY2(qAbs(columnShare(17)) < 0.1 && qAbs(columnShare(644)) < 0.1,
                 qPrintable(QStringLiteral("%1 %2").arg(columnShare(17)).arg(columnShare(644))));

        int left = 10000, right = -1, top = 10000, bottom = -1;
        for (int y = panel.y(); y < row - 1; ++y) {
            const Rgb body = At(panel.x() + 60, y);
            for (int x = panel.x() + 100; x < panel.x() + 540; ++x)
                if (Distance(At(x, y), body) > 40) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                    top = qMin(top, y);
                    bottom = qMax(bottom, y);
                }
        }
        QVERIFY2(right >= 0, "no caption ink");
        const QString box = QStringLiteral("ink x %1..%2, y %3..%4").arg(left).arg(right).arg(top).arg(bottom);
        QVERIFY2(left >= 309 && right <= 351 && qAbs((left + right) / 2.0 - 330) <= 3, qPrintable(box));
        QVERIFY2(top >= 227 && bottom < yc, qPrintable(box));
    }

    // Hovering a disabled option leaves its glyph as it is; an enabled one turns hot.
    void noHoverOnDisabledOption()
    {
        m_form->chk1Mojisyu->setEnabled(false);
        Regrab();
        const QList<Rgb> before = Area(QRect(102, 118, 12, 12));
        QTest::mouseMove(m_form.get(), QPoint(107, 123));
        Regrab();
        const QList<Rgb> hovered = Area(QRect(102, 118, 12, 12));
        QTest::mouseMove(m_form.get(), QPoint(107, 149)); // chkSepBlank, enabled
        Regrab();
        const Rgb hot = At(104, 146);
        QTest::mouseMove(m_form.get(), QPoint(600, 150));
        m_form->chk1Mojisyu->setEnabled(true);
        Regrab();
        QVERIFY2(Distance(hot, At(104, 146)) > 20, qPrintable(Text(hot))); // the pointer reached the boxes
        QCOMPARE(hovered.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(Distance(hovered[i], before[i]), 0);
    }

    // A disabled option shows its caption in the disabled grey; its glyph keeps its look.
    void disabledOptionCaption()
    {
        const QList<Rgb> glyphBefore = Area(QRect(102, 118, 12, 12));
        m_form->chk1Mojisyu->setEnabled(false);
        Regrab();
        const QList<Rgb> glyphAfter = Area(QRect(102, 118, 12, 12));
        const Rgb grey = Darkest(QRect(118, 114, 200, 16));
        m_form->chk1Mojisyu->setEnabled(true);
        Regrab();
        QVERIFY2(Distance(grey, {128, 128, 128}) <= 8, qPrintable(Text(grey)));
        QCOMPARE(glyphAfter.size(), glyphBefore.size());
        for (int i = 0; i < glyphBefore.size(); ++i)
            QCOMPARE(Distance(glyphAfter[i], glyphBefore[i]), 0);
    }

    // A long reading fills the result area line by line inside its 599 pixels and is cut
    // at the area's 121-pixel bottom: nothing of it shows right of or below the area.
    void longReadingWrapsAndIsCut()
    {
        QString password;
        for (int i = 0; i < 2000; ++i)
            password += QLatin1Char("aB3#"[i % 4]);
        m_form->lblEGkekka->SetCaption(ComposeReading(password, ReadingOptions()));
        Regrab();
        const QRect area(16 + 20, 227 + 32, 599, 121);
        QList<Rgb> lines;
        for (int y = area.top(); y + 15 <= area.bottom(); y += 15)
            lines.append(Darkest(QRect(area.left(), y, area.width(), 15)));
        const Rgb below = Darkest(QRect(area.left(), area.bottom() + 1, area.width(), 6));
        const Rgb right = Darkest(QRect(area.right() + 1, area.top(), 8, area.height()));
        m_form->lblEGkekka->SetCaption(QString());
        Regrab();
        QCOMPARE(lines.size(), 8);
        for (const Rgb &c : lines)
            QVERIFY2(Luma(c) < 60, qPrintable(Text(c)));
        QVERIFY2(Luma(below) > 150, qPrintable(Text(below)));
        QVERIFY2(Luma(right) > 150, qPrintable(Text(right)));
    }
};

QTEST_MAIN(TestStyling)
#include "tst_styling.moc"
