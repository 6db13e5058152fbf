// Kanavox as main.cpp starts it (the same TStartup), with the benchmark modes on top.
#include "Allocator.h"
#include "Application.h"
#include "BenchMode.h"
#include "Main.h"
#include "Startup.h"

int main(int argc, char **argv)
{
    RetainFreedMemory();
    TStartup startup;
    TKanavoxApplication app(argc, argv);
    TfmKanavox *form = startup.ShowMainWindow(app);
    Bench::Target target;
    target.window = form;
    target.input = form->edtPass;
    target.result = form->lblEGkekka;
    return Bench::RunMode(argc, argv, target);
}
