#include "Clipboard.h"

#include "Exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <utility>

namespace {
std::optional<QString> g_openFailure;
}

std::optional<QString> TClipboard::SetOpenFailureForTesting(std::optional<QString> errorDescription)
{
    return std::exchange(g_openFailure, std::move(errorDescription));
}

void TClipboard::Open()
{
    if (g_openFailure)
        throw EClipboardException(QStringLiteral("クリップボード %1 を開けません").arg(*g_openFailure));
}

QString TClipboard::AsText()
{
    Open();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return QString();
    return data->text();
}

QMimeData *TClipboard::TextMimeData(const QString &text, TSensitivity sensitivity)
{
    auto *data = new QMimeData;
    data->setText(text);
    if (sensitivity == Secret)
        data->setData(QString::fromLatin1(kPasswordHintFormat), QByteArrayLiteral("secret"));
    return data;
}

void TClipboard::SetAsText(const QString &text, TSensitivity sensitivity)
{
    Open();
    QMimeData *data = TextMimeData(text, sensitivity);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data, QClipboard::Clipboard);
    // Setting reports nothing: under X11 another client holding the selection with a
    // later time stamp simply keeps it. Reading back asks the current owner, so the copy
    // counts only when the clipboard now holds our text.
    const QMimeData *now = clipboard->mimeData(QClipboard::Clipboard);
    if (!now || !now->hasText() || now->text() != text)
        throw EClipboardException(QStringLiteral("クリップボードにコピーできません"));
}

void TClipboard::SetMimeData(QMimeData *data)
{
    try {
        Open();
    } catch (...) {
        delete data;
        throw;
    }
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}
