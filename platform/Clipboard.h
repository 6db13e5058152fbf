#pragma once
// The system clipboard as the program uses it: Unicode text in and out, and an open
// step that can fail. Qt's clipboard never reports a failure to open, so the failure
// exists here only when a test injects it.
#include <QString>
#include <optional>

class QMimeData;

class TClipboard {
public:
    // Text on the clipboard; empty when it holds no text. Throws EClipboardException.
    static QString AsText();
    enum TSensitivity { Ordinary, Secret };
    // Replaces the whole clipboard content with `text`. A secret is also marked with the
    // hint clipboard managers honour by keeping it out of their history.
    // Throws EClipboardException, also when the clipboard does not hold the text afterwards.
    static void SetAsText(const QString &text, TSensitivity sensitivity = Ordinary);
    static constexpr const char *kPasswordHintFormat = "x-kde-passwordManagerHint";
    // The data every copy of text puts on the clipboard (caller owns it): the text, and for
    // a secret the hint. One place builds it, so no way of copying a password forgets it.
    static QMimeData *TextMimeData(const QString &text, TSensitivity sensitivity);
    // Replaces the whole clipboard content with prepared data (takes ownership).
    static void SetMimeData(QMimeData *data);

    // While set, opening fails with this platform error description; returns the setting
    // it replaces.
    static std::optional<QString> SetOpenFailureForTesting(std::optional<QString> errorDescription);

private:
    static void Open();
};
