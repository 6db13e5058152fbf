// The label: accelerator marks, auto-size, and the disabled emboss.
#include "EllipsLabel.h"
#include "Fonts.h"

#include <QTest>

namespace {
int Ink(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0 && qGray(img.pixel(x, y)) < 128)
                ++n;
    return n;
}
} // namespace

class TestEllipsLabel : public QObject {
    Q_OBJECT

    static QImage Render(TEllipsLabel &l)
    {
        QImage img(l.size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        l.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return img;
    }

private slots:
    void defaults()
    {
        TEllipsLabel l;
        QCOMPARE(l.size(), QSize(65, 17));
        QVERIFY(l.AutoSize());
        QVERIFY(l.ShowAccelChar());
        QVERIFY(l.Transparent());
        l.setProperty("Version", QStringLiteral("2.0.0.0"));
        QCOMPARE(l.property("Version").toString(), QStringLiteral("1.0.0.0"));
    }

    // "&" alone is hidden as an accelerator mark, and shown when marks are off.
    void ampersand()
    {
        TEllipsLabel l;
        l.setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        l.SetAutoSize(false);
        l.resize(40, 16);
        l.SetCaption(QStringLiteral("&"));
        const int hidden = Ink(Render(l));
        l.SetShowAccelChar(false);
        const int shown = Ink(Render(l));
        QCOMPARE(hidden, 0);
        QVERIFY(shown > 5);
        l.SetShowAccelChar(true);
        l.SetCaption(QStringLiteral("&&"));
        QVERIFY(Ink(Render(l)) > 5);
        QCOMPARE(l.Caption(), QStringLiteral("&&"));
    }

    // Auto-size: an empty label is one blank wide and one line high; the left edge stays.
    void autoSize()
    {
        QWidget parent;
        parent.setFont(MakePixelFont(QStringLiteral("ＭＳ ゴシック"), 16));
        auto *l = new TEllipsLabel(&parent);
        l->move(380, 13);
        l->SetCaption(QStringLiteral("x"));
        l->SetCaption(QString());
        QCOMPARE(l->size(), QSize(8, 16));
        l->SetCaption(QStringLiteral("コピーOK"));
        QCOMPARE(l->pos(), QPoint(380, 13));
        QCOMPARE(l->size(), QSize(3 * 16 + 2 * 8, 16)); // three full-width, two half-width
    }
};

QTEST_MAIN(TestEllipsLabel)
#include "tst_ellipslabel.moc"
