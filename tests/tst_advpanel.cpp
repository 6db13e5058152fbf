// The styled panel's frame, pixel for pixel, as the window's bottom bar uses it.
#include "AdvPanel.h"
#include "PaintCount.h"

#include <QEvent>
#include <QPainter>
#include <QTest>

namespace {
// "Caption.Font.Color" on the panel: the property of the owned part at the end of the path.
QVariant PropertyAt(QObject *o, const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('.'));
    for (int i = 0; i + 1 < parts.size() && o; ++i)
        o = o->property(parts[i].toLatin1()).value<QObject *>();
    return o ? o->property(parts.last().toLatin1()) : QVariant();
}

QRgb Hi() { return ColorToQColor(clBtnHighlight).rgb(); }
QRgb Sh() { return ColorToQColor(clBtnShadow).rgb(); }
const QRgb kFill = qRgb(134, 194, 217);
} // namespace

class TestAdvPanel : public QObject {
    Q_OBJECT

    static QImage Paint(TAdvPanel &p) { return p.grab().toImage(); }

private slots:
    void defaults()
    {
        TAdvPanel p;
        QCOMPARE(p.size(), QSize(300, 200));
        QCOMPARE(p.BevelOuter(), TCustomAdvPanel::bvRaised);
        QCOMPARE(p.BevelInner(), TCustomAdvPanel::bvNone);
        QCOMPARE(p.BevelWidth(), 1);
        QCOMPARE(p.BorderWidth(), 0);
        QCOMPARE(p.BorderColor(), clBlack);
        QVERIFY(p.Buffered());
        QVERIFY(!p.Caption()->property("Visible").toBool());
        QVERIFY(!p.StatusBar()->property("Visible").toBool());
        p.setProperty("Version", QStringLiteral("0.0.0.1"));
        QCOMPARE(p.property("Version").toString(), QStringLiteral("2.5.9.0"));
    }

    // The bar's exact frame at its own width and at another.
    void raisedBar_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("664") << 664;
        QTest::newRow("200") << 200;
    }
    void raisedBar()
    {
        QFETCH(int, width);
        TAdvPanel p;
        p.resize(width, 41);
        p.SetColor(14271110);
        const QImage img = Paint(p);
        const int r = width - 1;
        for (int x = 0; x <= r - 1; ++x)
            QCOMPARE(img.pixel(x, 0), x <= r - 1 ? Hi() : Sh());
        QCOMPARE(img.pixel(r, 0), Sh()); // top-right corner
        for (int y = 0; y <= 39; ++y)
            QCOMPARE(img.pixel(0, y), Hi());
        QCOMPARE(img.pixel(0, 40), Sh()); // bottom-left corner
        for (int y = 0; y <= 40; ++y)
            QCOMPARE(img.pixel(r, y), Sh());
        for (int x = 0; x <= r; ++x)
            QCOMPARE(img.pixel(x, 40), Sh());
        QCOMPARE(img.pixel(1, 1), kFill);
        QCOMPARE(img.pixel(r - 1, 39), kFill);
        QCOMPARE(img.pixel(width / 2, 20), kFill);
    }

    void bevelVariants()
    {
        TAdvPanel p;
        p.resize(50, 20);
        p.SetColor(14271110);
        p.SetBevelOuter(TCustomAdvPanel::bvLowered);
        QImage img = Paint(p);
        QCOMPARE(img.pixel(0, 5), Sh());
        QCOMPARE(img.pixel(49, 5), Hi());
        p.SetBevelOuter(TCustomAdvPanel::bvNone);
        img = Paint(p);
        QCOMPARE(img.pixel(0, 0), kFill);
        QCOMPARE(img.pixel(49, 19), kFill);
        p.SetBevelOuter(TCustomAdvPanel::bvRaised);
        p.SetBevelWidth(2);
        img = Paint(p);
        QCOMPARE(img.pixel(1, 5), Hi());
        QCOMPARE(img.pixel(48, 5), Sh());
        QCOMPARE(img.pixel(2, 5), kFill);
        // clNone border: a frame in the panel's own colour inside the bevel.
        p.SetBevelWidth(1);
        p.SetBorderColor(clNone);
        img = Paint(p);
        QCOMPARE(img.pixel(1, 5), kFill);
        QCOMPARE(img.pixel(0, 5), Hi());
    }

    // What a new panel holds, as the layout loader reaches it: a missing property or a
    // wrong default would load the window's bar differently.
    void newPanelValues_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVariant>("value");
        auto row = [](const char *path, const QVariant &v) { QTest::newRow(path) << QString::fromLatin1(path) << v; };
        row("Color", QVariant::fromValue<TColor>(clBtnFace));
        row("ColorTo", QVariant::fromValue<TColor>(clNone));
        row("ColorMirror", QVariant::fromValue<TColor>(clNone));
        row("GradientDirection", QVariant::fromValue(TCustomAdvPanel::gdVertical));
        row("BorderShadow", false);
        row("BorderStyle", QVariant::fromValue(TCustomAdvPanel::bsNone));
        row("TextVAlign", QVariant::fromValue(TCustomAdvPanel::tvaTop));
        row("URLColor", QVariant::fromValue<TColor>(clBlue));
        row("ShadowColor", QVariant::fromValue<TColor>(clGray));
        row("ShadowOffset", 2);
        row("CollapsColor", QVariant::fromValue<TColor>(clGray));
        row("CollapsDelay", 20);
        row("CollapsSteps", 0);
        row("AutoHideChildren", true);
        row("DoubleBuffered", true);
        row("Caption.Visible", false);
        row("Caption.Height", 20);
        row("Caption.Color", QVariant::fromValue<TColor>(clHighlight));
        row("Caption.Position", QVariant::fromValue(TPanelCaption::cpTop));
        row("Caption.Font.Color", QVariant::fromValue<TColor>(clHighlightText));
        row("StatusBar.Visible", false);
        row("StatusBar.Height", 18);
        row("StatusBar.Color", QVariant::fromValue<TColor>(clBtnFace));
        row("StatusBar.ColorTo", QVariant::fromValue<TColor>(clNone));
        row("StatusBar.Font.Name", QStringLiteral("Tahoma"));
        row("Position.Save", false);
    }
    void newPanelValues()
    {
        QFETCH(QString, path);
        QFETCH(QVariant, value);
        TAdvPanel p;
        const QVariant got = PropertyAt(&p, path);
        QVERIFY2(got.isValid(), "no such property");
        QCOMPARE(got, value);
    }

    // A change of what the panel draws repaints it once, the same value again nothing; a
    // setting it keeps but never draws (hidden bars, gradients, body text) repaints nothing.
    void changesRepaint_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("caption colour") << "Caption.Color" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("caption font") << "Caption.Font.Height" << QVariant(-20) << false;
        QTest::newRow("status bar height") << "StatusBar.Height" << QVariant(30) << false;
        QTest::newRow("status bar font") << "StatusBar.Font.Name" << QVariant(QStringLiteral("Arial")) << false;
        QTest::newRow("a gradient setting") << "ColorMirror" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("gradient end") << "ColorTo" << QVariant::fromValue<TColor>(clRed) << false;
        QTest::newRow("body text") << "Text" << QVariant(QStringLiteral("x")) << false;
        QTest::newRow("buffered") << "Buffered" << QVariant(false) << false;
        QTest::newRow("the colour") << "Color" << QVariant::fromValue<TColor>(clRed) << true;
        QTest::newRow("outer bevel") << "BevelOuter" << QVariant::fromValue(TCustomAdvPanel::bvLowered) << true;
        QTest::newRow("inner bevel") << "BevelInner" << QVariant::fromValue(TCustomAdvPanel::bvRaised) << true;
        QTest::newRow("bevel width") << "BevelWidth" << QVariant(2) << true;
        QTest::newRow("border width") << "BorderWidth" << QVariant(1) << true;
        QTest::newRow("border colour") << "BorderColor" << QVariant::fromValue<TColor>(clNone) << true;
    }
    void changesRepaint()
    {
        QFETCH(QString, path);
        QFETCH(QVariant, value);
        QFETCH(bool, drawn);
        TAdvPanel p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        PaintCount paints(&p);
        const int dot = int(path.lastIndexOf(QLatin1Char('.')));
        QObject *target = &p;
        if (dot > 0)
            target = PropertyAt(&p, path.left(dot)).value<QObject *>();
        QVERIFY(target);
        const QByteArray name = path.mid(dot + 1).toLatin1();
        QVERIFY(target->setProperty(name, value));
        QCOMPARE(target->property(name), value);
        const int expected = drawn ? 1 : 0;
        if (drawn)
            QTRY_COMPARE(paints.count, expected);
        QVERIFY(target->setProperty(name, value));
        QTest::qWait(50);
        QCOMPARE(paints.count, expected);
    }

    // The background image is kept, and reported to whoever listens, but not drawn.
    void backgroundKeptWithoutRepaint()
    {
        TAdvPanel p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        PaintCount paints(&p);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        int reports = 0;
        connect(p.Background(), &TPanelBackground::Changed, &p, [&] { ++reports; });
        p.Background()->SetImage(image);
        QCOMPARE(reports, 1);
        QVERIFY(!p.Background()->Empty());
        QTest::qWait(50);
        QCOMPARE(paints.count, 0);
    }

    // Nested BeginUpdate/EndUpdate hold the repaint until the outer end.
    void updatesHeldBack()
    {
        TAdvPanel p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        PaintCount paints(&p);
        p.BeginUpdate();
        p.BeginUpdate();
        p.SetColor(clRed);
        p.EndUpdate();
        QTest::qWait(50);
        QCOMPARE(paints.count, 0);
        p.EndUpdate();
        QTRY_COMPARE(paints.count, 1);
        p.EndUpdate(); // one too many does not break the next pair
        p.BeginUpdate();
        p.SetColor(clBlue);
        QTest::qWait(50);
        QCOMPARE(paints.count, 1);
        p.EndUpdate();
        QTRY_COMPARE(paints.count, 2);
    }

    // The full height follows the height, or the width with the caption at a side edge.
    void fullHeightFollowsTheSize()
    {
        TAdvPanel p;
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        p.SetFullHeight(0);
        p.resize(120, 41);
        QCOMPARE(p.FullHeight(), 41);
        p.Caption()->setProperty("Position", QVariant::fromValue(TPanelCaption::cpLeft));
        p.resize(130, 41);
        QCOMPARE(p.FullHeight(), 130);
    }

    // OnPaint comes after the panel has drawn, buffered or not, and what the handler
    // draws reaches the screen.
    void onPaintDrawsOnTop_data()
    {
        QTest::addColumn<bool>("buffered");
        QTest::newRow("buffered") << true;
        QTest::newRow("direct") << false;
    }
    void onPaintDrawsOnTop()
    {
        QFETCH(bool, buffered);
        TAdvPanel p;
        p.resize(40, 20);
        p.SetColor(14271110);
        p.SetBuffered(buffered);
        int calls = 0;
        QRect given;
        connect(&p, &TCustomAdvPanel::OnPaint, &p, [&](QObject *sender, QPainter *canvas, const QRect &r) {
            ++calls;
            given = r;
            QCOMPARE(sender, &p);
            canvas->fillRect(QRect(10, 10, 1, 1), Qt::red);
        });
        const QImage img = Paint(p);
        QCOMPARE(calls, 1);
        QCOMPARE(given, QRect(0, 0, 40, 20));
        QCOMPARE(img.pixel(10, 10), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(20, 10), kFill);
        QCOMPARE(img.pixel(0, 5), Hi()); // the bevel was drawn first and stays
    }

    // Docked to the bottom edge of its parent over the full width, also after a resize.
    void docksToTheBottom()
    {
        QWidget parent;
        parent.resize(664, 443);
        auto *p = new TAdvPanel(&parent);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        p->resize(100, 41);
        p->SetAlign(TCustomAdvPanel::alBottom);
        QCOMPARE(p->geometry(), QRect(0, 402, 664, 41));
        parent.resize(700, 500);
        QCOMPARE(p->geometry(), QRect(0, 459, 700, 41));
    }
};

QTEST_MAIN(TestAdvPanel)
#include "tst_advpanel.moc"
