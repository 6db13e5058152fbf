// Kanavox as main.cpp builds it, with the benchmark modes on top.
#include "Allocator.h"
#include "Application.h"
#include "BenchMode.h"
#include "FontWarmup.h"
#include "Fonts.h"
#include "Icon.h"
#include "Main.h"

int main(int argc, char **argv)
{
    RetainFreedMemory();
    TFontWarmup fonts;
    TKanavoxApplication app(argc, argv);
    app.SetTitle(QStringLiteral("Kanavox"));
    app.setWindowIcon(KanavoxIcon());
    SetFontConfigurationPending([&fonts] { fonts.Wait(); });
    auto *form = new TfmKanavox;
    SetFontConfigurationPending({});
    fonts.Wait();
    form->show();
    Bench::Target target;
    target.window = form;
    target.input = form->edtPass;
    target.result = form->lblEGkekka;
    return Bench::RunMode(argc, argv, target);
}
