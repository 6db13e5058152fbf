#include "FileSystem.h"

#include "Allocator.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {
namespace {

InjectedFault g_fault;

// Linux gives up on link chains after 40 links; so do we.
constexpr int kMaxLinkDepth = 40;
constexpr int kTempNameAttempts = 100;
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

// Follows symbolic links from `path` to the file they end at, which need not exist
// (a dangling link gets its target created). Returns 0 or an errno.
int ResolveLinks(const QByteArray &path, QByteArray *resolved)
{
    QByteArray current = path;
    for (int depth = 0;; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0) {
            if (errno == ENOENT) {
                *resolved = current;
                return 0;
            }
            return errno;
        }
        if (!S_ISLNK(st.st_mode)) {
            *resolved = current;
            return 0;
        }
        if (depth >= kMaxLinkDepth)
            return ELOOP;
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

// Rewrites an existing file through its own inode. The data is written over the old
// bytes before the file is cut to length, so a save no longer than the old file needs
// no new disk space. Returns 0 or an errno.
int RewriteInPlace(const QByteArray &target, const QByteArray &data)
{
    if (Injected(Fault::Create))
        return errno;
    const int fd = OpenRetrying(target.constData(), O_WRONLY);
    if (fd < 0)
        return errno;
    int error = WriteAll(fd, data);
    if (error == 0 && ::ftruncate(fd, off_t(data.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
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

int ReadWholeFile(const QString &path, QByteArray *data)
{
    data->clear();
    if (Injected(Fault::OpenForRead))
        return errno;
    // Non-blocking so that a FIFO without a writer reads as empty instead of hanging.
    const int fd = OpenRetrying(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return errno;
    int error = 0;
    struct stat st;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (S_ISREG(st.st_mode) && st.st_size > kMaxReadSize)
        error = EFBIG;
    QByteArray buffer;
    if (error == 0 && S_ISREG(st.st_mode)) {
        buffer.reserve(qsizetype(st.st_size) + 1);
        // A large file's buffer is fresh memory: its pages are mapped in one step rather
        // than faulted in one by one as the reads fill them.
        PopulateForWriting(buffer.data(), buffer.capacity());
    }
    while (error == 0) {
        if (buffer.size() > kMaxReadSize) {
            error = EFBIG;
            break;
        }
        if (Injected(Fault::Read)) {
            error = errno;
            break;
        }
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
            error = errno;
            break;
        }
        buffer.resize(used + n);
        if (n == 0)
            break;
    }
    ::close(fd);
    if (error == 0)
        *data = buffer;
    return error;
}

int WriteFileAtomically(const QString &path, const QByteArray &data)
{
    if (path.isEmpty())
        return ENOENT;
    QByteArray target;
    if (int error = ResolveLinks(QFile::encodeName(path), &target))
        return error;

    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists) {
        if (int error = CheckReplaceable(target, old))
            return error;
    }

    QByteArray tempPath;
    const int fd = CreateTemporary(target, &tempPath);
    if (fd < 0) {
        const int error = errno;
        return exists ? RewriteInPlace(target, data) : error;
    }

    int error = 0;
    if (exists) {
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            error = errno;
        // Keeps a file that root saves for its owner in the owner's hands; only root
        // may give a file away, and nobody else needs to.
        if (error == 0 && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Best effort: the file then belongs to whoever saved it.
            }
    }
    if (error == 0)
        error = WriteAll(fd, data);
    if (error == 0) {
        if (Injected(Fault::Sync) || ::fsync(fd) != 0)
            error = errno;
    }
    // close() can report a deferred write error (NFS, quotas).
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && Injected(Fault::BeforeRename))
        error = errno;
    if (error == 0 && ::rename(tempPath.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempPath.constData());
        return error;
    }

    // Makes the rename itself durable; the data is already safe, so a failure here
    // does not undo the save.
    const int dirFd = OpenRetrying(DirectoryOf(target).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

} // namespace FileSystem
