// The memory a first paint writes into, mapped ahead in one step: a buffer's pages, and
// on X11 the whole backing store of a window just shown.
#include "Allocator.h"
#include "BackingStore.h"

#include <QBackingStore>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

const long kPage = sysconf(_SC_PAGESIZE);

// The indexes of the pages of [base, base + pages) that are mapped.
QList<int> MappedPages(void *base, int pages)
{
    QList<unsigned char> in(pages);
    if (mincore(base, size_t(pages) * size_t(kPage), in.data()) != 0)
        return {-1};
    QList<int> mapped;
    for (int i = 0; i < pages; ++i)
        if (in[i] & 1)
            mapped << i;
    return mapped;
}

class TPaintCount : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

class TestFirstPaint : public QObject {
    Q_OBJECT
private slots:
    void populate_data();
    void populate();
    void backingStore();
};

void TestFirstPaint::populate_data()
{
    QTest::addColumn<int>("offset"); // from the start of eight fresh pages
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("mapped");
    QTest::newRow("whole pages") << 0 << int(2 * kPage) << QList<int>{0, 1};
    QTest::newRow("both ends inside pages") << 100 << int(2 * kPage) << QList<int>{0, 1, 2};
    QTest::newRow("one byte") << int(kPage + 5) << 1 << QList<int>{1};
    QTest::newRow("up to the last byte") << int(7 * kPage - 1) << int(kPage + 1) << QList<int>{6, 7};
    QTest::newRow("nothing") << 0 << 0 << QList<int>{};
    QTest::newRow("negative size") << int(kPage) << -1 << QList<int>{};
}

void TestFirstPaint::populate()
{
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(QList<int>, mapped);
    const int pages = 8;
    const auto fresh = [&] {
        return static_cast<char *>(mmap(nullptr, size_t(pages * kPage), PROT_READ | PROT_WRITE,
                                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    };
    char *base = fresh();
    QVERIFY(base != MAP_FAILED);
    const bool supported = madvise(base, size_t(kPage), MADV_POPULATE_WRITE) == 0;
    munmap(base, size_t(pages * kPage));
    if (!supported)
        QSKIP("this kernel cannot map pages ahead (Linux 5.14 and later can)");
    base = fresh();
    QVERIFY(base != MAP_FAILED);
    const auto unmap = qScopeGuard([&] { munmap(base, size_t(pages * kPage)); });
    // The last page is already written to; what it holds stays.
    base[7 * kPage + 10] = 42;
    PopulateForWriting(base + offset, size);
    if (!mapped.contains(7))
        mapped << 7;
    QCOMPARE(MappedPages(base, pages), mapped);
    QCOMPARE(base[7 * kPage + 10], char(42));
    for (int page : mapped)
        for (long i = 0; i < kPage; ++i)
            if (base[page * kPage + i] != 0 && page * kPage + i != 7 * kPage + 10)
                QFAIL(qPrintable(QStringLiteral("byte %1 of page %2 changed").arg(i).arg(page)));
}

void TestFirstPaint::backingStore()
{
    TPaintCount w;
    w.resize(300, 200);
    w.show();
    PrepareBackingStore(&w);
    QBackingStore *store = w.backingStore();
    QVERIFY(store);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        // Elsewhere Qt sizes the store itself, at the first paint.
        QCOMPARE(store->size(), QSize());
        QSKIP("the backing store is prepared on X11 only");
    }
    QCOMPARE(store->size(), w.size());
    QPaintDevice *device = store->paintDevice();
    QVERIFY(device && device->devType() == QInternal::Image);
    const QImage *image = static_cast<const QImage *>(device);
    QCOMPARE(image->size(), w.size() * w.devicePixelRatioF());
    const uchar *bits = image->constBits();
    char *first = const_cast<char *>(reinterpret_cast<const char *>(quintptr(bits) & ~quintptr(kPage - 1)));
    const int pages = int((bits + image->sizeInBytes() - reinterpret_cast<const uchar *>(first) + kPage - 1) / kPage);
    QCOMPARE(MappedPages(first, pages).size(), pages);
    // The first paint goes into this very buffer: Qt keeps a store of the right size.
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(w.paints > 0);
    QCOMPARE(static_cast<const QImage *>(store->paintDevice())->constBits(), bits);
}

QTEST_MAIN(TestFirstPaint)
#include "tst_firstpaint.moc"
