#include "Accelerator.h"

TAcceleratorText ParseAccelerators(const QString &caption)
{
    TAcceleratorText shown;
    if (!caption.contains(QLatin1Char('&'))) {
        shown.text = caption;
        return shown;
    }
    const int n = int(caption.size());
    shown.text.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QChar c = caption.at(i);
        if (c != QLatin1Char('&')) {
            shown.text += c;
        } else if (i + 1 < n && caption.at(i + 1) == QLatin1Char('&')) {
            shown.text += c;
            ++i;
        } else if (i + 1 < n) {
            shown.underlined.push_back(int(shown.text.size()));
        }
    }
    return shown;
}

QChar AcceleratorKey(const QString &caption, bool printableOnly)
{
    const TAcceleratorText shown = ParseAccelerators(caption);
    for (const int at : shown.underlined) {
        const QChar c = shown.text.at(at);
        if (!printableOnly || c.isPrint())
            return c.toUpper();
    }
    return QChar();
}
