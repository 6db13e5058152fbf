#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace {
MessageBoxHook g_hook;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(g_hook, std::move(hook));
}

void ShowErrorBox(const QString &caption, const QString &text)
{
    if (g_hook) {
        g_hook(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
