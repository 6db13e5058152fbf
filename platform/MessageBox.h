#pragma once
// Error message boxes. Tests install a hook that records them instead of blocking.
#include <QString>
#include <functional>

using MessageBoxHook = std::function<void(const QString &caption, const QString &text)>;

// A modal error box with the error icon; returns when the user closes it.
void ShowErrorBox(const QString &caption, const QString &text);
// Replaces the box by the hook while set (an empty function restores it); returns the
// hook it replaces.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
