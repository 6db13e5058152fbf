#pragma once
// The process-wide seams tests set: the settings directory, the error box, the clipboard's
// open failure and the file-system faults. Tests set them only through these guards,
// which put back what they found when they go out of scope, so a test that stops
// half-way (a failed QCOMPARE returns at once) cannot leave its fault to the next one.
// Header-only: a test that uses none of them needs none of their libraries.
#include "Clipboard.h"
#include "FileSystem.h"
#include "MessageBox.h"
#include "Settings.h"

#include <optional>
#include <utility>

namespace TestSeams {

// `Set` stores a value and returns the one it replaced.
template <class Value, Value (*Set)(Value)> class TSeam {
public:
    explicit TSeam(Value value) : m_previous(Set(std::move(value))) {}
    ~TSeam() { Set(std::move(m_previous)); }
    TSeam(const TSeam &) = delete;
    TSeam &operator=(const TSeam &) = delete;

private:
    Value m_previous;
};

// The settings file in this directory instead of beside the test executable.
using SettingsDirectory = TSeam<QString, &SetSettingsDirectoryOverride>;
// Error boxes go to the hook instead of the screen.
using MessageBoxes = TSeam<MessageBoxHook, &SetMessageBoxHook>;
// Opening the clipboard fails with this description; std::nullopt: it opens.
using ClipboardOpenFailure = TSeam<std::optional<QString>, &TClipboard::SetOpenFailureForTesting>;

// File access fails at `fault` with `errorCode` (0: EIO); Fault::None: it does not.
class FileSystemFault : public TSeam<FileSystem::InjectedFault, &FileSystem::SetFaultForTesting> {
public:
    explicit FileSystemFault(FileSystem::Fault fault, int errorCode = 0) : TSeam({fault, errorCode}) {}
};

} // namespace TestSeams
