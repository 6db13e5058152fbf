// Kanavox as main.cpp builds it, with the benchmark modes on top.
#include "Allocator.h"
#include "Application.h"
#include "BackingStore.h"
#include "BenchMode.h"
#include "FontWarmup.h"
#include "Fonts.h"
#include "Icon.h"
#include "Main.h"

#include <QAccessible>

#include <future>

int main(int argc, char **argv)
{
    RetainFreedMemory();
    std::packaged_task<QList<QImage>()> decodeIcon(KanavoxIconImages);
    std::future<QList<QImage>> iconImages = decodeIcon.get_future();
    TFontWarmup fonts([&decodeIcon] { decodeIcon(); });
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    app.setWindowIcon(KanavoxIcon(iconImages.get()));
    // The accessibility bridge comes up with the first accessibility query; asked here,
    // while the process is still small. Where no session bus runs, the bridge forks to
    // launch one, and the fork and the copy-on-write faults after it cost in proportion
    // to the memory then in use.
    QAccessible::isActive();
    SetFontConfigurationPending([&fonts] { fonts.Wait(); });
    auto *form = new TfmKanavox;
    SetFontConfigurationPending({});
    fonts.Wait();
    form->show();
    PrepareBackingStore(form);
    Bench::Target target;
    target.window = form;
    target.input = form->edtPass;
    target.result = form->lblEGkekka;
    return Bench::RunMode(argc, argv, target);
}
