#include "FileSystem.h"

#include "Allocator.h"

#include <QFile>
#include <QRandomGenerator>

#include <QThread>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <utility>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(Q_OS_LINUX)
#include <sys/xattr.h>
#endif

namespace FileSystem {
namespace {

InjectedFault g_fault;
TestHook g_hook;

void RunHook(Stage stage)
{
    if (g_hook)
        g_hook(stage);
}

// Linux gives up on link chains after 40 links; so do we.
constexpr int kMaxLinkDepth = 40;
constexpr int kTempNameAttempts = 100;
// A file replaced while we waited for its lock is opened again; a path that keeps
// changing under us is given up on.
constexpr int kOpenAttempts = 20;
// Another save holds the lock for milliseconds; one that holds it this long is stuck.
constexpr int kLockWaitMs = 10000;
constexpr int kLockPollMs = 5;
constexpr size_t kReadChunk = 64 * 1024;
// Far beyond any settings file; stops a device or a pipe that never ends from
// filling memory.
constexpr qsizetype kMaxReadSize = 64 * 1024 * 1024;

bool Injected(Fault point)
{
    if (g_fault.fault != point)
        return false;
    // A fault must fail: without a code of its own it reports an I/O error.
    errno = g_fault.errorCode != 0 ? g_fault.errorCode : EIO;
    return true;
}

int OpenRetrying(const char *path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

QByteArray DirectoryOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray BaseNameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

bool Sticky(const struct stat &dir)
{
    return (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
}

// Follows symbolic links from `path` to the file they end at, as the kernel's
// fs.protected_symlinks lets a process follow them whatever the machine's setting: a
// link in a sticky world-writable folder (/tmp) only when it belongs to us or to the
// folder's owner. The end need not exist, but a link is then not followed into a folder
// of someone else, where the file would be created. Returns 0 or an errno (EACCES for a
// refused link).
int ResolveLinks(const QByteArray &path, QByteArray *resolved)
{
    QByteArray current = path;
    bool viaLink = false;
    for (int depth = 0;; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            if (viaLink) {
                struct stat dir;
                if (::stat(DirectoryOf(current).constData(), &dir) != 0)
                    return errno;
                if (dir.st_uid != ::geteuid())
                    return EACCES;
            }
            *resolved = current;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            *resolved = current;
            return 0;
        }
        if (depth >= kMaxLinkDepth)
            return ELOOP;
        struct stat dir;
        if (::stat(DirectoryOf(current).constData(), &dir) != 0)
            return errno;
        if (Sticky(dir) && st.st_uid != ::geteuid() && st.st_uid != dir.st_uid)
            return EACCES;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.constData(), target.data(), target.size());
        if (n < 0)
            return errno;
        if (n >= target.size())
            return ENAMETOOLONG;
        target.truncate(n);
        if (!target.startsWith('/'))
            target = DirectoryOf(current) + '/' + target;
        current = target;
        viaLink = true;
    }
}

// Root passes every permission check, so a file whose mode has no write bit at all
// would be replaced anyway; such a file counts as read-only for everyone.
int CheckReplaceable(const QByteArray &target, const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return errno;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    return 0;
}

int CreateTemporary(const QByteArray &target, QByteArray *tempPath)
{
    const QByteArray prefix = DirectoryOf(target) + "/." + BaseNameOf(target) + ".tmp";
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        if (Injected(Fault::Create) || Injected(Fault::CreateTemporary))
            return -1;
        const QByteArray candidate =
            prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // 0666 lets the umask decide for a new file, as for any file the user creates.
        const int fd = OpenRetrying(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            *tempPath = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

// Writes all of `data`, going on after short writes. Returns 0 or an errno.
int WriteLoop(int fd, const char *p, size_t left, size_t maxChunk)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left < maxChunk ? left : maxChunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A write that takes nothing would loop forever; the disk is as good as full.
        if (n == 0)
            return ENOSPC;
        p += n;
        left -= size_t(n);
    }
    return 0;
}

int WriteAll(int fd, const QByteArray &data)
{
    const size_t size = size_t(data.size());
    if (g_fault.fault == Fault::Write) {
        if (int error = WriteLoop(fd, data.constData(), size / 2, size))
            return error;
        Injected(Fault::Write);
        return errno;
    }
    return WriteLoop(fd, data.constData(), size, g_fault.fault == Fault::ShortWrites ? 1 : size);
}

// Reads all of an open file from its start. Returns 0 or an errno.
int ReadAll(int fd, const struct stat &st, QByteArray *data)
{
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (S_ISREG(st.st_mode) && st.st_size > kMaxReadSize)
        return EFBIG;
    if (S_ISREG(st.st_mode) && ::lseek(fd, 0, SEEK_SET) < 0)
        return errno;
    QByteArray buffer;
    if (S_ISREG(st.st_mode)) {
        buffer.reserve(qsizetype(st.st_size) + 1);
        // A large file's buffer is fresh memory: its pages are mapped in one step rather
        // than faulted in one by one as the reads fill them.
        PopulateForWriting(buffer.data(), buffer.capacity());
    }
    for (;;) {
        if (buffer.size() > kMaxReadSize)
            return EFBIG;
        if (Injected(Fault::Read))
            return errno;
        const qsizetype used = buffer.size();
        buffer.resize(used + qsizetype(kReadChunk));
        const ssize_t n = ::read(fd, buffer.data() + used, kReadChunk);
        if (n < 0) {
            buffer.resize(used);
            if (errno == EINTR)
                continue;
            // EAGAIN from an empty FIFO: nothing to read.
            if (errno == EAGAIN)
                break;
            return errno;
        }
        buffer.resize(used + n);
        if (n == 0)
            break;
    }
    *data = buffer;
    return 0;
}

// Waits for an exclusive advisory lock. A file system without locks (ENOLCK, EINVAL)
// leaves the save unserialised, as it was before there were locks.
int Lock(int fd)
{
    for (int waited = 0;; waited += kLockPollMs) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return 0;
        if (waited >= kLockWaitMs)
            return EWOULDBLOCK;
        QThread::msleep(kLockPollMs);
    }
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Seeks to `offset` and writes all of `data` there.
int WriteAt(int fd, qint64 offset, const char *data, size_t size, bool faults)
{
    if (::lseek(fd, off_t(offset), SEEK_SET) < 0)
        return errno;
    if (faults)
        return WriteAll(fd, QByteArray::fromRawData(data, qsizetype(size)));
    return WriteLoop(fd, data, size, size);
}

// Makes room for the file to grow from oldSize to newSize without touching a byte of
// what it holds; afterwards overwriting it needs no new disk space. Returns 0 or an errno,
// after which the file is as it was.
int Reserve(int fd, qint64 oldSize, const QByteArray &data)
{
    const qint64 newSize = data.size();
    if (newSize <= oldSize)
        return 0;
    int error = 0;
#if defined(Q_OS_LINUX)
    if (::fallocate(fd, 0, 0, off_t(newSize)) == 0)
        return 0;
    error = errno;
#else
    error = ::posix_fallocate(fd, 0, off_t(newSize));
    if (error == 0)
        return 0;
#endif
    // Without fallocate (some file systems): the new tail is written first, after the
    // old end, where it overwrites nothing.
    if (error == EOPNOTSUPP || error == ENOSYS || error == EINVAL)
        error = WriteAt(fd, oldSize, data.constData() + oldSize, size_t(newSize - oldSize), false);
    if (error != 0) {
        // A failed reservation can leave blocks or a larger size behind; the content
        // up to the old end is untouched.
        if (::ftruncate(fd, off_t(oldSize)) != 0) {
            // Nothing more to do: the old bytes are still there.
        }
    }
    return error;
}

#if defined(Q_OS_LINUX)
// The names of the file's extended attributes, each ended by a NUL. Returns 0 or an errno;
// a file system without them gives none.
int AttributeNames(int fd, QByteArray *list)
{
    for (;;) {
        const ssize_t n = ::flistxattr(fd, nullptr, 0);
        if (n < 0)
            return errno == ENOTSUP ? 0 : errno;
        list->resize(n);
        const ssize_t m = ::flistxattr(fd, list->data(), size_t(n));
        if (m >= 0) {
            list->resize(m);
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
}

// One extended attribute's value; false when it cannot be read.
bool AttributeValue(int fd, const QByteArray &name, QByteArray *value)
{
    for (;;) {
        ssize_t n = ::fgetxattr(fd, name.constData(), nullptr, 0);
        if (n < 0)
            return false;
        value->resize(n);
        n = ::fgetxattr(fd, name.constData(), value->data(), size_t(n));
        if (n >= 0) {
            value->resize(n);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Gives `to` the extended attributes of `from`, and no others. Returns 0 or -1.
int CopyAttributes(int from, int to)
{
    QByteArray oldNames, newNames;
    if (AttributeNames(from, &oldNames) != 0)
        return -1;
    if (AttributeNames(to, &newNames) != 0)
        return -1;
    const QList<QByteArray> kept = oldNames.split('\0');
    // What the new file got from its folder (a default ACL) and the old one lacks goes.
    for (const QByteArray &name : newNames.split('\0')) {
        if (!name.isEmpty() && !kept.contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return -1;
    }
    for (const QByteArray &name : kept) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        if (!AttributeValue(from, name, &value)
            || ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return -1;
    }
    return 0;
}
#endif

// Gives the new file what the old one has besides its content: owner and group, extended
// attributes (the ACL among them, as system.posix_acl_access) and mode. Returns 0, an
// errno, or -1 when something cannot be given, so that only an in-place rewrite keeps it.
int CopyMetadata(int from, int to, const struct stat &old)
{
    // A change of owner clears set-id bits, so the mode comes last.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        if (::fchown(to, old.st_uid, old.st_gid) != 0)
            return -1;
    }
#if defined(Q_OS_LINUX)
    if (CopyAttributes(from, to) != 0)
        return -1;
#endif
    if (::fchmod(to, old.st_mode & 07777) != 0)
        return errno;
    return 0;
}

// Writes the temporary file's content and makes it durable. Returns 0 or an errno.
int FinishTemporary(int fd, const QByteArray &data)
{
    int error = WriteAll(fd, data);
    if (error == 0) {
        if (Injected(Fault::Sync) || ::fsync(fd) != 0)
            error = errno;
    }
    // close() can report a deferred write error (NFS, quotas).
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
}

void SyncDirectory(const QByteArray &target)
{
    // Makes a rename durable; the data is already safe, so a failure here does not undo
    // the save.
    const int dirFd = OpenRetrying(DirectoryOf(target).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace

InjectedFault SetFaultForTesting(InjectedFault fault)
{
    return std::exchange(g_fault, fault);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsWritable(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return false;
    const int mode = S_ISDIR(st.st_mode) ? W_OK | X_OK : W_OK;
    return ::faccessat(AT_FDCWD, native.constData(), mode, AT_EACCESS) == 0;
}

TestHook SetHookForTesting(TestHook hook)
{
    return std::exchange(g_hook, std::move(hook));
}

int ReadWholeFile(const QString &path, QByteArray *data)
{
    data->clear();
    if (Injected(Fault::OpenForRead))
        return errno;
    QByteArray target;
    if (int error = ResolveLinks(QFile::encodeName(path), &target))
        return error;
    // Non-blocking so that a FIFO without a writer reads as empty instead of hanging;
    // O_NOFOLLOW, since the links have been followed already: one put in since fails.
    const int fd = OpenRetrying(target.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    struct stat st;
    int error = ::fstat(fd, &st) != 0 ? errno : ReadAll(fd, st, data);
    ::close(fd);
    if (error != 0)
        data->clear();
    return error;
}

TFileUpdate::~TFileUpdate()
{
    Close();
}

void TFileUpdate::Close()
{
    // Closing lets go of the lock.
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_dirLockFd >= 0)
        ::close(m_dirLockFd);
    m_fd = m_dirLockFd = -1;
    m_exists = m_isDirectory = m_writable = m_haveOld = false;
    m_openError = 0;
    m_old.clear();
}

int TFileUpdate::Open(const QString &path)
{
    Close();
    if (path.isEmpty())
        return ENOENT;
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (int error = ResolveLinks(native, &m_target))
            return error;
        std::optional<int> result;
        const int fd = OpenTarget();
        if (fd >= 0) {
            result = TakeOpened(fd);
        } else if (errno == ELOOP) {
            continue; // a link put in its place since: followed (or refused) anew
        } else if (errno != ENOENT) {
            // There, but not for us to open: the read reports it.
            m_exists = true;
            m_openError = errno;
            return 0;
        } else {
            // No file yet: the folder is locked, so that two first saves take turns.
            result = LockFolderForNewFile();
        }
        if (result)
            return *result;
    }
    return EBUSY;
}

int TFileUpdate::OpenTarget()
{
    m_writable = true;
    int fd = OpenRetrying(m_target.constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY || errno == EISDIR)) {
        m_writable = false;
        fd = OpenRetrying(m_target.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    }
    return fd;
}

std::optional<int> TFileUpdate::TakeOpened(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        m_isDirectory = true;
        return 0;
    }
    if (S_ISREG(st.st_mode)) {
        if (int error = Lock(fd)) {
            ::close(fd);
            return error;
        }
        // A save that held the lock before us may have put a new file in its place.
        struct stat now;
        if (::lstat(m_target.constData(), &now) != 0 || !SameFile(now, st)) {
            ::close(fd);
            return std::nullopt;
        }
    }
    m_fd = fd;
    m_exists = true;
    m_identity = {quint64(st.st_dev), quint64(st.st_ino)};
    return 0;
}

std::optional<int> TFileUpdate::LockFolderForNewFile()
{
    const int dirFd = OpenRetrying(DirectoryOf(m_target).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        if (int error = Lock(dirFd)) {
            ::close(dirFd);
            return error;
        }
    }
    struct stat st;
    if (::lstat(m_target.constData(), &st) == 0) {
        // Made by a save that held the folder while we waited: open that.
        if (dirFd >= 0)
            ::close(dirFd);
        return std::nullopt;
    }
    m_dirLockFd = dirFd;
    return 0;
}

int TFileUpdate::ReadOld()
{
    if (m_haveOld)
        return 0;
    if (m_openError != 0)
        return m_openError;
    if (m_fd < 0) {
        m_haveOld = true;
        return 0;
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return errno;
    if (int error = ReadAll(m_fd, st, &m_old))
        return error;
    m_haveOld = true;
    return 0;
}

int TFileUpdate::Read(QByteArray *data)
{
    data->clear();
    if (m_exists && Injected(Fault::OpenForRead))
        return errno;
    if (int error = ReadOld())
        return error;
    *data = m_old;
    return 0;
}

// The file through its own inode: the new size reserved first, then the data written over
// the old, then the file cut to length. A failure after the reservation puts the old
// bytes back. Returns 0 or an errno.
int TFileUpdate::RewriteInPlace(const QByteArray &data)
{
    if (Injected(Fault::Create))
        return errno;
    if (!m_writable)
        return EACCES;
    if (int error = ReadOld())
        return error;
    const qint64 oldSize = m_old.size();
    if (int error = Reserve(m_fd, oldSize, data))
        return error;
    int error = WriteAt(m_fd, 0, data.constData(), size_t(data.size()), true);
    if (error == 0 && data.size() < oldSize && ::ftruncate(m_fd, off_t(data.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(m_fd) != 0)
        error = errno;
    if (error != 0) {
        // The old bytes go back where they were: overwriting them needs no new space.
        if (WriteAt(m_fd, 0, m_old.constData(), size_t(oldSize), false) == 0
            && ::ftruncate(m_fd, off_t(oldSize)) == 0) {
            ::fsync(m_fd);
        }
    }
    return error;
}

int TFileUpdate::ReplaceByRename(const QByteArray &data, int fd, const QByteArray &tempPath)
{
    int error = FinishTemporary(fd, data);
    if (error == 0 && Injected(Fault::BeforeRename))
        error = errno;
    if (error == 0)
        RunHook(Stage::Renaming);
    if (error == 0)
        error = CheckPathUnchanged();
    bool tempIsOurs = true;
    if (error == 0)
        error = MoveIntoPlace(tempPath, &tempIsOurs);
    if (tempIsOurs)
        ::unlink(tempPath.constData()); // our temporary, or after an exchange the old file
    if (error != 0)
        return error;
    SyncDirectory(m_target);
    // The file opened is gone from the path; a further save opens the new one.
    Close();
    return 0;
}

bool TFileUpdate::NamesFileOpened(const QByteArray &path) const
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && quint64(st.st_dev) == m_identity.device
           && quint64(st.st_ino) == m_identity.inode;
}

int TFileUpdate::CheckPathUnchanged() const
{
    // The path must still name the file we read; whatever stands there now is not ours
    // to replace, and neither file is touched.
    if (m_exists)
        return NamesFileOpened(m_target) ? 0 : EBUSY;
    struct stat now;
    if (::lstat(m_target.constData(), &now) == 0 || errno != ENOENT)
        return EBUSY;
    return 0;
}

int TFileUpdate::MoveIntoPlace(const QByteArray &tempPath, bool *tempIsOurs)
{
#if defined(Q_OS_LINUX) && defined(RENAME_EXCHANGE)
    // Closes the moment between CheckPathUnchanged() and the rename: the files trade
    // places, and the one that left the path is checked again; a stranger is put back.
    RunHook(Stage::Exchanging);
    if (m_exists
        && ::renameat2(AT_FDCWD, tempPath.constData(), AT_FDCWD, m_target.constData(), RENAME_EXCHANGE) == 0) {
        if (NamesFileOpened(tempPath))
            return 0;
        // Where the stranger cannot be put back it stays under the temporary's name:
        // that file is not ours to remove.
        if (Injected(Fault::PutBack)
            || ::renameat2(AT_FDCWD, tempPath.constData(), AT_FDCWD, m_target.constData(), RENAME_EXCHANGE) != 0)
            *tempIsOurs = false;
        return EBUSY;
    }
    if (!m_exists
        && ::renameat2(AT_FDCWD, tempPath.constData(), AT_FDCWD, m_target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno == EEXIST)
        return EBUSY;
#endif
    if (::rename(tempPath.constData(), m_target.constData()) != 0)
        return errno;
    return 0;
}

int TFileUpdate::Replace(const QByteArray &data)
{
    RunHook(Stage::Replacing);
    if (m_isDirectory)
        return EISDIR;
    if (m_target.isEmpty())
        return ENOENT;
    struct stat old {};
    if (m_exists) {
        if (m_openError != 0)
            return m_openError;
        if (::fstat(m_fd, &old) != 0)
            return errno;
        if (int error = CheckReplaceable(m_target, old))
            return error;
        if (!m_writable)
            return EACCES;
    }
    // A second name of the file would keep the old content after a rename.
    bool inPlace = m_exists && old.st_nlink > 1;
    int tempError = 0;
    if (!inPlace) {
        QByteArray tempPath;
        const int fd = CreateTemporary(m_target, &tempPath);
        if (fd < 0) {
            tempError = errno;
            inPlace = true;
        } else {
            const int copied = m_exists ? CopyMetadata(m_fd, fd, old) : 0;
            if (copied == 0)
                return ReplaceByRename(data, fd, tempPath);
            ::close(fd);
            ::unlink(tempPath.constData());
            if (copied > 0)
                return copied;
            inPlace = true; // the new file could not be given all of the old one's
        }
    }
    if (!m_exists)
        return tempError;
    return RewriteInPlace(data);
}

int WriteFileAtomically(const QString &path, const QByteArray &data)
{
    TFileUpdate update;
    if (int error = update.Open(path))
        return error;
    return update.Replace(data);
}

} // namespace FileSystem
