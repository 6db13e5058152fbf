#include "BackingStore.h"

#include "Allocator.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>

void PrepareBackingStore(QWidget *window)
{
    // Wayland hands out a new buffer at each paint; other platforms are not measured.
    if (!window || !window->isWindow() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QBackingStore *store = window->backingStore();
    if (!store)
        return;
    // The same size Qt gives it at the first paint, so Qt keeps this buffer.
    if (store->size() != window->size())
        store->resize(window->size());
    QPaintDevice *device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    // constBits(): bits() could detach the store's image from the shared memory.
    const QImage *image = static_cast<const QImage *>(device);
    PopulateForWriting(const_cast<uchar *>(image->constBits()), image->sizeInBytes());
}
