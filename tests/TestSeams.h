#pragma once
// The process-wide seams tests set: the settings directory, the error box, the clipboard's
// open failure, the file-system faults and hooks, and the file size limit. Tests set them only through these guards,
// which put back what they found when they go out of scope, so a test that stops
// half-way (a failed QCOMPARE returns at once) cannot leave its fault to the next one.
// Header-only: a test that uses none of them needs none of their libraries.
#include "Clipboard.h"
#include "FileSystem.h"
#include "MessageBox.h"
#include "Settings.h"

#include <csignal>
#include <optional>
#include <utility>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

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

// Runs the hook at the stages of a file update (see FileSystem::SetHookForTesting).
using FileSystemHook = TSeam<FileSystem::TestHook, &FileSystem::SetHookForTesting>;

#if defined(Q_OS_UNIX)
// Files grow to `bytes` at most, as under a shell's "ulimit -f" (which binds root too); the
// signal such a write raises is ignored, as that shell's children inherit it, so the write
// fails with EFBIG instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        if (::getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        struct rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    // The limit in force now, or -1 when it cannot be read.
    static rlim_t Current()
    {
        struct rlimit now;
        return ::getrlimit(RLIMIT_FSIZE, &now) == 0 ? now.rlim_cur : rlim_t(-1);
    }
    bool Set() const { return m_set; }

private:
    struct rlimit m_saved {};
    bool m_set = false;
    void (*m_oldHandler)(int);
};
#endif

} // namespace TestSeams
