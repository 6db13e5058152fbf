#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageBoxHook g_hook;
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    g_hook = std::move(hook);
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
