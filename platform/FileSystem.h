#pragma once
// File services of the settings file: existence, whole-file read, atomic replace.
// Failures are reported as errno values (0 is success); SysErrorMessage() words them.
#include <QByteArray>
#include <QString>

namespace FileSystem {

// True when `path` names something that is not a directory (links followed).
bool FileExists(const QString &path);

// True when this process may write `path` (effective ids; a directory also needs search
// permission so a file can be made in it).
bool IsWritable(const QString &path);

// Reads the whole file into `data`. Returns 0 or the errno of the failure; more than
// 64 MiB (a device or pipe that never ends) fails with EFBIG.
int ReadWholeFile(const QString &path, QByteArray *data);

// Replaces the file's content as one step: the data goes to a temporary file in
// the same directory, is synced, and is renamed over the old file, which keeps its
// permission bits. When `path` is a symbolic link, the file it points to is replaced
// and the link stays. An existing file that is not writable is never replaced.
// When no temporary file can be created there (a folder the user may not write) but the
// existing file is writable, the file is rewritten in place instead; only then can a
// failure leave it incomplete.
// Returns 0 or the errno of the failure; after a failure of the normal path the old
// file is unchanged and no temporary file remains.
int WriteFileAtomically(const QString &path, const QByteArray &data);

// Injected failures, so tests can produce unreadable files and interrupted saves
// even as root. A fault stays active until cleared.
enum class Fault {
    None,
    OpenForRead,  // opening an existing file for reading fails with the error
    Read,         // reading fails with the error after the open succeeded
    Create,       // creating the temporary file fails with the error, and so does the
                  // in-place rewrite
    CreateTemporary, // only creating the temporary file fails: the in-place rewrite runs
    Write,        // half the data is written, then writing fails with the error
    ShortWrites,  // every write call takes at most one byte (no failure)
    Sync,         // syncing the temporary file fails with the error
    BeforeRename, // everything is written and synced, then the save stops with the error
};
struct InjectedFault {
    Fault fault = Fault::None;
    int errorCode = 0; // 0: EIO
};
// Sets the fault (Fault::None clears it); returns the one it replaces.
InjectedFault SetFaultForTesting(InjectedFault fault);

} // namespace FileSystem
