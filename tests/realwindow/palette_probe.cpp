// Prints the RGB that the program's system colours resolve to on this display, so the
// real-window probes expect what the program itself paints, whatever the platform theme.
// Output lines: "<name> r,g,b".
#include "Colors.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // As the program does, whatever the desktop's scheme.
    QApplication::setPalette(DesignPalette());
    const struct {
        const char *name;
        TColor value;
    } colours[] = {
        {"clBtnFace", clBtnFace},   {"clWindow", clWindow},         {"clBtnHighlight", clBtnHighlight},
        {"clBtnShadow", clBtnShadow}, {"clWindowText", clWindowText}, {"clHighlight", clHighlight},
    };
    for (const auto &c : colours) {
        const QColor q = ColorToQColor(c.value);
        std::printf("%s %d,%d,%d\n", c.name, q.red(), q.green(), q.blue());
    }
    return 0;
}
