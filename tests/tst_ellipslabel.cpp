// The label: placement, shortening, accelerator marks, auto-size, background, the
// disabled emboss, line breaking of Japanese text and the bounded layout of long texts.
#include "EllipsLabel.h"
#include "Fonts.h"
#include "ReadingComposer.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTextLayout>

namespace {

using Label = TEllipsLabel;

QFont Gothic(int px = 16) { return MakePixelFont(QStringLiteral("ＭＳ ゴシック"), px); }

bool IsInk(QRgb c) { return qGray(c) < 128; }

// The box around the dark pixels.
QRect InkBox(const QImage &img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (IsInk(img.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage Render(QWidget &w)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// A fixed-size label in the 16-pixel gothic face (8 pixels a half-width character).
void Setup(Label &l, const QSize &size, bool wordWrap = false)
{
    l.setFont(Gothic());
    l.SetAutoSize(false);
    l.SetWordWrap(wordWrap);
    l.resize(size);
}

int Distance(const QColor &a, const QColor &b)
{
    return qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())));
}

QString Reading(int length, const ReadingOptions &o)
{
    const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@?!#&()<>[]_\\/");
    QString pw;
    for (int i = 0; i < length; ++i)
        pw += alphabet.at((i * 7 + length) % alphabet.size());
    return ComposeReading(pw, o);
}

} // namespace

class TestEllipsLabel : public QObject {
    Q_OBJECT

private slots:
    void defaults()
    {
        Label l;
        QCOMPARE(l.size(), QSize(65, 17));
        QVERIFY(l.AutoSize());
        QVERIFY(l.ShowAccelChar());
        QVERIFY(!l.WordWrap());
        QCOMPARE(l.Alignment(), Label::taLeftJustify);
        QCOMPARE(l.Layout(), Label::tlTop);
        QCOMPARE(l.EllipsType(), Label::etNone);
        QVERIFY(l.Transparent()); // visual styles are active with the default style
        l.setProperty("Version", QStringLiteral("2.0.0.0"));
        QCOMPARE(l.property("Version").toString(), QStringLiteral("1.0.0.0"));
    }

    // Under the classic unthemed style a new label paints its background; an explicit
    // value wins either way.
    void transparentFollowsVisualStyles()
    {
        const QString previous = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        Label classic;
        QApplication::setStyle(QStyleFactory::create(previous));
        QVERIFY(!classic.Transparent());
        classic.SetTransparent(true);
        QVERIFY(classic.Transparent());
        Label themed;
        QVERIFY(themed.Transparent());
        themed.SetTransparent(false);
        QVERIFY(!themed.Transparent());
    }

    // Horizontal alignment of each line; vertical placement only for single lines.
    void placement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("wordWrap");
        QTest::addColumn<QRect>("area"); // where the ink of "ab" (16 x 16) must lie
        const int left = Label::taLeftJustify, right = Label::taRightJustify, centre = Label::taCenter;
        const int top = Label::tlTop, middle = Label::tlCenter, bottom = Label::tlBottom;
        QTest::newRow("left top") << left << top << false << QRect(0, 0, 16, 16);
        QTest::newRow("right top") << right << top << false << QRect(84, 0, 16, 16);
        QTest::newRow("centre top") << centre << top << false << QRect(42, 0, 16, 16);
        QTest::newRow("left centre") << left << middle << false << QRect(0, 17, 16, 16);
        QTest::newRow("right bottom") << right << bottom << false << QRect(84, 34, 16, 16);
        QTest::newRow("centre bottom") << centre << bottom << false << QRect(42, 34, 16, 16);
        QTest::newRow("wrapped: bottom stays top") << left << bottom << true << QRect(0, 0, 16, 16);
        QTest::newRow("wrapped: centre stays top") << right << middle << true << QRect(84, 0, 16, 16);
    }
    void placement()
    {
        QFETCH(int, alignment);
        QFETCH(int, layout);
        QFETCH(bool, wordWrap);
        QFETCH(QRect, area);
        Label l;
        Setup(l, QSize(100, 50), wordWrap);
        l.SetAlignment(Label::TAlignment(alignment));
        l.SetLayout(Label::TTextLayout(layout));
        l.SetCaption(QStringLiteral("ab"));
        const QRect ink = InkBox(Render(l));
        QVERIFY2(!ink.isEmpty() && area.contains(ink),
                 qPrintable(QStringLiteral("ink %1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    }

    // A shortened label paints exactly what a plain label shows for the expected text.
    void ellipsis_data()
    {
        QTest::addColumn<bool>("wordWrap");
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("shownType"); // the type the comparison label is painted with
        QTest::addColumn<QString>("shown");
        const int none = Label::etNone, end = Label::etEndEllips, path = Label::etPathEllips;
        const QSize line(80, 16);
        QTest::newRow("none: cut at the edge") << false << none << line << QStringLiteral("abcdefghijklmnop") << none
                                               << QStringLiteral("abcdefghijk");
        QTest::newRow("end") << false << end << line << QStringLiteral("abcdefghijklmnop") << none
                             << QStringLiteral("abcdefg...");
        QTest::newRow("end: fits") << false << end << line << QStringLiteral("abcdefghij") << none
                                   << QStringLiteral("abcdefghij");
        QTest::newRow("path: backslash") << false << path << QSize(120, 16) << QStringLiteral("C:\\dir\\sub\\file.txt")
                                         << none << QStringLiteral("C:\\...\\file.txt");
        QTest::newRow("path: slash") << false << path << QSize(120, 16) << QStringLiteral("/usr/share/doc/a.txt")
                                     << none << QStringLiteral("/usr/s.../a.txt");
        QTest::newRow("path: long last part kept from its start")
            << false << path << line << QStringLiteral("a\\verylongfilename") << none
            << QStringLiteral("...\\verylongfilename");
        QTest::newRow("path: no separator keeps both ends") << false << path << line
                                                            << QStringLiteral("abcdefghijklmnop") << none
                                                            << QStringLiteral("abcd...nop");
        QTest::newRow("wrapped none: long word broken") << true << none << QSize(80, 32)
                                                        << QStringLiteral("abcdefghijklmnop") << none
                                                        << QStringLiteral("abcdefghij\nklmnop");
        // Inside the text a long word is cut at the edge; the text's last word gets "...".
        QTest::newRow("wrapped end") << true << end << QSize(80, 48)
                                     << QStringLiteral("ab cdefghijklmnop qrstuvwxyzabcdef") << end
                                     << QStringLiteral("ab\ncdefghijklmnop\nqrstuvw...");
        QTest::newRow("wrapped path") << true << path << QSize(80, 32) << QStringLiteral("x a\\bcdefgh\\ijk") << none
                                      << QStringLiteral("x\na\\b...\\ijk");
    }
    void ellipsis()
    {
        QFETCH(bool, wordWrap);
        QFETCH(int, type);
        QFETCH(QSize, size);
        QFETCH(QString, caption);
        QFETCH(int, shownType);
        QFETCH(QString, shown);
        Label l, expected;
        Setup(l, size, wordWrap);
        Setup(expected, size, wordWrap);
        l.SetEllipsType(Label::TEllipsType(type));
        expected.SetEllipsType(Label::TEllipsType(shownType));
        l.SetCaption(caption);
        expected.SetCaption(shown);
        QCOMPARE(Render(l), Render(expected));
        QCOMPARE(l.Caption(), caption);
    }

    // "&&" shows "&", a single "&" hides itself and underlines the next character, and
    // with the marks off every "&" is shown.
    void accelerators_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("underlined"); // index of the underlined character, or -1
        QTest::newRow("lone mark hidden") << QStringLiteral("&") << true << QString() << -1;
        QTest::newRow("lone mark shown") << QStringLiteral("&") << false << QStringLiteral("&") << -1;
        QTest::newRow("doubled") << QStringLiteral("&&") << true << QStringLiteral("&") << -1;
        QTest::newRow("doubled, marks off") << QStringLiteral("&&") << false << QStringLiteral("&&") << -1;
        QTest::newRow("underlines b") << QStringLiteral("a&b") << true << QStringLiteral("ab") << 1;
        QTest::newRow("a&b kept") << QStringLiteral("a&b") << false << QStringLiteral("a&b") << -1;
        QTest::newRow("after a doubled mark") << QStringLiteral("&&&xy") << true << QStringLiteral("&xy") << 1;
    }
    void accelerators()
    {
        QFETCH(QString, caption);
        QFETCH(bool, marks);
        QFETCH(QString, shown);
        QFETCH(int, underlined);
        Label l, plain;
        Setup(l, QSize(60, 20));
        Setup(plain, QSize(60, 20));
        l.SetShowAccelChar(marks);
        plain.SetShowAccelChar(false);
        l.SetCaption(caption);
        plain.SetCaption(shown);
        const QImage got = Render(l), want = Render(plain);
        if (underlined < 0) {
            QCOMPARE(got, want);
            return;
        }
        // Only the cell of the underlined character differs, and only below the baseline.
        const int baseline = QFontMetrics(Gothic()).ascent();
        bool differs = false;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                if (got.pixel(x, y) != want.pixel(x, y)) {
                    differs = true;
                    QVERIFY2(x >= 8 * underlined && x < 8 * (underlined + 1) && y >= baseline,
                             qPrintable(QStringLiteral("difference at %1,%2").arg(x).arg(y)));
                }
        QVERIFY(differs);
    }

    // Auto-size: lines measured with tab expansion, broken at line breaks and (wrapped)
    // at the current width; an empty text is one blank; the right edge stays for a
    // right-justified label, otherwise the left edge.
    void autoSize_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<bool>("wordWrap");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QRect>("from");
        QTest::addColumn<QRect>("to");
        const int left = Label::taLeftJustify, right = Label::taRightJustify, centre = Label::taCenter;
        const QRect start(380, 13, 65, 17);
        QTest::newRow("empty") << QString() << true << false << left << start << QRect(380, 13, 8, 16);
        QTest::newRow("lone mark") << QStringLiteral("&") << true << false << left << start << QRect(380, 13, 8, 16);
        QTest::newRow("copy status") << QStringLiteral("コピーOK") << false << false << left << start
                                     << QRect(380, 13, 64, 16);
        QTest::newRow("right keeps right edge") << QStringLiteral("コピーOK") << false << false << right << start
                                                << QRect(381, 13, 64, 16);
        QTest::newRow("right, empty") << QString() << true << false << right << start << QRect(437, 13, 8, 16);
        QTest::newRow("centre keeps left edge") << QStringLiteral("NG") << false << false << centre << start
                                                << QRect(380, 13, 16, 16);
        QTest::newRow("line break") << QStringLiteral("ab\r\ncdef") << false << false << left << start
                                    << QRect(380, 13, 32, 32);
        QTest::newRow("tab expanded") << QStringLiteral("a\tb") << false << false << left << start
                                      << QRect(380, 13, 72, 16);
        QTest::newRow("wrapped at current width") << QStringLiteral("ab cd ef") << false << true << left
                                                  << QRect(0, 0, 40, 17) << QRect(0, 0, 40, 32);
        QTest::newRow("wrapped: long word widens") << QStringLiteral("ab abcdefgh") << false << true << left
                                                   << QRect(0, 0, 40, 17) << QRect(0, 0, 64, 32);
    }
    void autoSize()
    {
        QFETCH(QString, caption);
        QFETCH(bool, marks);
        QFETCH(bool, wordWrap);
        QFETCH(int, alignment);
        QFETCH(QRect, from);
        QFETCH(QRect, to);
        QWidget parent;
        parent.setFont(Gothic());
        auto *l = new Label(&parent);
        l->SetAutoSize(false);
        l->SetCaption(QStringLiteral("x"));
        l->SetShowAccelChar(marks);
        l->SetWordWrap(wordWrap);
        l->SetAlignment(Label::TAlignment(alignment));
        l->setGeometry(from);
        l->SetAutoSize(true);
        l->setGeometry(from);
        l->SetCaption(caption);
        QCOMPARE(l->geometry(), to);
    }

    // Auto-size runs again when the font changes, and not while the layout is read.
    void autoSizeOnFontAndLoad()
    {
        Label l;
        l.BeginLoad();
        l.setFont(Gothic());
        l.SetCaption(QStringLiteral("ab"));
        QCOMPARE(l.size(), QSize(65, 17));
        l.Loaded();
        QCOMPARE(l.size(), QSize(16, 16));
        l.Font()->SetName(QStringLiteral("ＭＳ ゴシック"));
        l.Font()->SetHeight(-20);
        QCOMPARE(l.size(), QSize(20, 20));
    }

    // An opaque label fills all of its rectangle, edge pixels included; a transparent one
    // leaves what is under it.
    void background_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("ownColour");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("transparent") << true << true << QColor(Qt::white);
        QTest::newRow("opaque, own colour") << false << true << QColor(190, 222, 235);
        QTest::newRow("opaque, parent's colour") << false << false << QColor(134, 194, 217);
    }
    void background()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, ownColour);
        QFETCH(QColor, expected);
        QWidget parent;
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(134, 194, 217));
        parent.setPalette(pal);
        auto *l = new Label(&parent);
        Setup(*l, QSize(30, 12));
        l->SetTransparent(transparent);
        if (ownColour)
            l->SetColor(15457982);
        const QImage img = Render(*l);
        for (const QPoint &p : {QPoint(0, 0), QPoint(29, 0), QPoint(0, 11), QPoint(29, 11), QPoint(15, 6)})
            QVERIFY2(Distance(img.pixelColor(p), expected) <= 1, qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
    }

    // Disabled: the text in clBtnHighlight one pixel right and down, then in clBtnShadow
    // at its place; the font colour is not used.
    void disabledEmboss()
    {
        QWidget parent;
        auto *l = new Label(&parent);
        Setup(*l, QSize(24, 20));
        l->SetTransparent(false);
        l->SetColor(0x00808080); // grey, unlike both emboss colours
        l->SetCaption(QStringLiteral("■"));
        const QRect square = InkBox(Render(*l));
        QVERIFY(square.width() > 6);
        parent.setEnabled(false);
        const QImage img = Render(*l);
        const QColor shadow = ColorToQColor(clBtnShadow), highlight = ColorToQColor(clBtnHighlight);
        QVERIFY(Distance(img.pixelColor(square.center()), shadow) <= 2);
        QVERIFY(Distance(img.pixelColor(square.center().x(), square.bottom() + 1), highlight) <= 2);
        QVERIFY(Distance(img.pixelColor(square.topLeft()), shadow) <= 2);
        QVERIFY(Distance(img.pixelColor(square.topLeft() - QPoint(1, 1)), QColor(128, 128, 128)) <= 2);
    }

    // No wrapped line of the result label starts with a separator, a prolonged sound mark
    // or other closing punctuation, in any reading option.
    void kinsokuReadings()
    {
        const QFont font = Gothic(15);
        for (int opt = 0; opt < 32; ++opt) {
            ReadingOptions o;
            o.insertClass = opt & 1;
            o.classEachCharacter = opt & 2;
            o.blankSeparator = opt & 4;
            o.keepDigits = opt & 8;
            o.keepSymbols = opt & 16;
            const QString r = Reading(400, o);
            const QList<TLabelLine> lines = BreakLabelText(r, font, 599, true, false, 1000);
            QVERIFY(lines.size() > 3);
            for (const TLabelLine &l : lines.mid(1))
                QVERIFY2(!QStringLiteral("、。ー：」）").contains(r.at(l.start)),
                         qPrintable(QStringLiteral("option %1: %2").arg(opt).arg(r.mid(l.start - 4, 10))));
        }
    }

    // Where a run without a break opportunity must be broken, the break moves back before
    // the character in front of a closing mark.
    void kinsokuForced_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("secondLineStart");
        QTest::newRow("separator") << QStringLiteral("aaaaaaaaaa、b") << 9;
        QTest::newRow("prolonged sound mark") << QStringLiteral("aaaaaaaaaaーb") << 9;
        QTest::newRow("closing bracket and stop") << QStringLiteral("aaaaaaaaaa」。b") << 9;
        QTest::newRow("plain run") << QStringLiteral("aaaaaaaaaab") << 10;
    }
    void kinsokuForced()
    {
        QFETCH(QString, text);
        QFETCH(int, secondLineStart);
        const QList<TLabelLine> lines = BreakLabelText(text, Gothic(), 80, true, false, 10);
        QVERIFY(lines.size() >= 2);
        QCOMPARE(lines.at(1).start, secondLineStart);
        QCOMPARE(lines.at(0).end, secondLineStart);
    }

    // A reading of over a megabyte breaks its visible lines where a layout of the whole
    // text breaks them, and the label paints those lines.
    void hugeCaption_data()
    {
        QTest::addColumn<bool>("blanks");
        QTest::newRow("separator") << false;
        QTest::newRow("blank") << true;
    }
    void hugeCaption()
    {
        QFETCH(bool, blanks);
        ReadingOptions o;
        o.blankSeparator = blanks;
        const QString reading = Reading(150000, o);
        QVERIFY(reading.size() > 1000000);
        const QFont font = Gothic(15);
        constexpr int kLines = 9;

        QTextLayout full(reading, font);
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        full.setTextOption(opt);
        full.beginLayout();
        QList<int> fullStarts;
        for (int i = 0; i < kLines; ++i) {
            QTextLine line = full.createLine();
            line.setLineWidth(599);
            fullStarts.append(line.textStart());
        }
        full.endLayout();

        const QList<TLabelLine> lines = BreakLabelText(reading, font, 599, true, false, kLines);
        QList<int> starts;
        QStringList texts;
        for (const TLabelLine &l : lines) {
            starts.append(l.start);
            texts.append(reading.mid(l.start, l.end - l.start));
        }
        QCOMPARE(starts, fullStarts);

        Label huge, shown;
        for (Label *l : {&huge, &shown}) {
            l->setFont(font);
            l->SetAutoSize(false);
            l->SetWordWrap(true);
            l->SetShowAccelChar(false);
            l->resize(599, 121);
        }
        huge.SetCaption(reading);
        shown.SetCaption(texts.join(QLatin1Char('\n')));
        QCOMPARE(Render(huge), Render(shown));
    }

    // The laid-out lines are reused by later paints and rebuilt after each change.
    void layoutCache()
    {
        Label l;
        Setup(l, QSize(100, 40), true);
        l.SetCaption(QStringLiteral("ab cd"));
        Render(l);
        const int n = l.LayoutCount();
        Render(l);
        QCOMPARE(l.LayoutCount(), n);
        l.resize(50, 40);
        const QImage narrow = Render(l);
        QCOMPARE(l.LayoutCount(), n + 1);
        l.SetAlignment(Label::taRightJustify);
        Render(l);
        QCOMPARE(l.LayoutCount(), n + 2);
        l.setFont(Gothic(20));
        Render(l);
        QCOMPARE(l.LayoutCount(), n + 3);
        l.SetAlignment(Label::taLeftJustify);
        l.setFont(Gothic());
        QCOMPARE(Render(l), narrow);
    }
};

QTEST_MAIN(TestEllipsLabel)
#include "tst_ellipslabel.moc"
