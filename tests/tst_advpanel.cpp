// The styled panel's frame, pixel for pixel, as the window's bottom bar uses it.
#include "AdvPanel.h"

#include <QTest>

namespace {
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
