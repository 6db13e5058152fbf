#pragma once
// File services of the settings file: existence, whole-file read, and the locked update
// that reads a file and replaces it.
// Failures are reported as errno values (0 is success); SysErrorMessage() words them.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace FileSystem {

// True when `path` names something that is not a directory (links followed).
bool FileExists(const QString &path);

// True when this process may write `path` (effective ids; a directory also needs search
// permission so a file can be made in it).
bool IsWritable(const QString &path);

// Reads the whole file into `data`, following links as TFileUpdate::Open() does. Returns
// 0 or the errno of the failure; more than 64 MiB (a device or pipe that never ends)
// fails with EFBIG.
int ReadWholeFile(const QString &path, QByteArray *data);

// One read-merge-write of a file, serialised with every other one on the same file.
//
// Open() follows symbolic links only as the kernel does where fs.protected_symlinks is on:
// a link in a sticky world-writable folder is followed only when it belongs to us or to the
// folder's owner, and a link whose target does not exist is not followed into a folder
// that is not ours. It then opens the file it ends at once and holds an advisory lock
// (flock) on it, or on its folder while there is no file yet, until the object goes.
// Read() and Replace() work on that same file.
class TFileUpdate {
public:
    TFileUpdate() = default;
    ~TFileUpdate();
    TFileUpdate(const TFileUpdate &) = delete;
    TFileUpdate &operator=(const TFileUpdate &) = delete;

    // Returns 0 or the errno of a refused link or of a path that leads nowhere; a file
    // that exists but cannot be opened counts as opened and fails in Read().
    int Open(const QString &path);
    // True when the path names a file (not a directory).
    bool Exists() const { return m_exists; }
    // The file's content (empty when there is none). Returns 0 or an errno.
    int Read(QByteArray *data);
    // Replaces the content with `data`. Where it can, as one step: a temporary file in the
    // target's folder gets the old file's owner, group, mode, ACL and extended attributes,
    // and is renamed over the file only if the path still names the file opened, which
    // otherwise stays as it is (EBUSY). Where that rename would lose something (a file of
    // several hard links, an owner, group or attribute we cannot give the new file, a
    // folder that takes no new file), the file is rewritten in place: its new size is
    // reserved first, and a failure after that puts the old bytes back.
    // An existing file that is not writable is never replaced.
    // Returns 0 or an errno; after a failure the file holds what it held before.
    // One Replace() per Open(): after a rename the path names a file this one did not read.
    int Replace(const QByteArray &data);

private:
    void Close();
    // One try at Open(), in steps. OpenTarget gives a descriptor, read-write where we may,
    // else read-only (m_writable says which), or -1 with errno set. TakeOpened makes an
    // opened file (or folder) the one this update is about, locked; LockFolderForNewFile
    // holds a missing file's folder until the first save. Both give 0 or an errno, or
    // nothing when the path changed under us and is opened anew.
    int OpenTarget();
    std::optional<int> TakeOpened(int fd);
    std::optional<int> LockFolderForNewFile();
    int ReadOld();
    int RewriteInPlace(const QByteArray &data);
    int ReplaceByRename(const QByteArray &data, int tempFd, const QByteArray &tempPath);
    // True when `path` names the file opened (itself, not a link to it).
    bool NamesFileOpened(const QByteArray &path) const;
    // 0, or EBUSY when the path no longer names what Open() found there.
    int CheckPathUnchanged() const;
    // Renames the temporary over the path. Returns 0 or an errno.
    int MoveIntoPlace(const QByteArray &tempPath, bool *tempIsOurs);

    QByteArray m_target; // the path the links lead to
    int m_fd = -1;       // the file, while it exists
    int m_dirLockFd = -1; // its folder, locked while there is no file yet
    bool m_exists = false;
    bool m_isDirectory = false;
    bool m_writable = false;
    int m_openError = 0;
    struct Identity {
        quint64 device = 0, inode = 0;
    } m_identity;
    QByteArray m_old;
    bool m_haveOld = false;
};

// Replaces the file's content (see TFileUpdate::Replace); for a file that was not read.
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
    PutBack,      // putting back a file found in our place after the exchange fails
};
struct InjectedFault {
    Fault fault = Fault::None;
    int errorCode = 0; // 0: EIO
};
// Sets the fault (Fault::None clears it); returns the one it replaces.
InjectedFault SetFaultForTesting(InjectedFault fault);

// Called at the points a test needs to act in the middle of an update: when Replace()
// starts (the file has been read and is locked), and right before the temporary file
// replaces the old one. Returns the hook it replaces.
enum class Stage { Replacing, Renaming, Exchanging };
using TestHook = std::function<void(Stage)>;
TestHook SetHookForTesting(TestHook hook);

} // namespace FileSystem
