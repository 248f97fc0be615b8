// The file operations as POSIX system calls: the one place in storage/ that
// makes them.

#include "storage/NativeFileOps.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace karsidan::storage {

namespace {

int Result(int returned) { return returned == 0 ? 0 : (errno ? errno : EIO); }

void Describe(const struct stat& status, FileInfo* info)
{
    if (S_ISREG(status.st_mode))
        info->kind = FileKind::Regular;
    else if (S_ISDIR(status.st_mode))
        info->kind = FileKind::Folder;
    else if (S_ISLNK(status.st_mode))
        info->kind = FileKind::Link;
    else if (S_ISCHR(status.st_mode))
        info->kind = FileKind::CharacterDevice;
    else if (S_ISFIFO(status.st_mode))
        info->kind = FileKind::Fifo;
    else
        info->kind = FileKind::Other;
    info->mode = status.st_mode & 07777;
    info->owner = status.st_uid;
    info->group = status.st_gid;
}

int Opened(int fd, int* out)
{
    if (fd < 0)
        return errno;
    *out = fd;
    return 0;
}

} // namespace

int NativeFileOps::Inspect(const std::string& path, FileInfo* info)
{
    struct stat status { };
    if (::lstat(path.c_str(), &status) != 0) {
        *info = {};
        return errno == ENOENT ? 0 : errno;
    }
    Describe(status, info);
    return 0;
}

int NativeFileOps::InspectOpen(int fd, FileInfo* info)
{
    struct stat status { };
    if (::fstat(fd, &status) != 0)
        return errno;
    Describe(status, info);
    return 0;
}

int NativeFileOps::ReadLink(const std::string& path, std::string* target)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0)
        return errno;
    if (std::size_t(n) == sizeof buffer)
        return ENAMETOOLONG;
    target->assign(buffer, std::size_t(n));
    return 0;
}

int NativeFileOps::RealFolder(const std::string& folder, std::string* real)
{
    char* resolved = ::realpath(folder.c_str(), nullptr);
    if (!resolved)
        return errno;
    *real = resolved;
    std::free(resolved);
    return 0;
}

int NativeFileOps::CreateNew(const std::string& path, unsigned mode, int* fd)
{
    return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_t(mode)), fd);
}

int NativeFileOps::OpenExisting(const std::string& path, bool waitForReader, int* fd)
{
    const int flags = O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC;
    if (waitForReader)
        return Opened(::open(path.c_str(), flags), fd);
    // Non-blocking only to open; the writes that follow wait as usual.
    if (const int code = Opened(::open(path.c_str(), flags | O_NONBLOCK), fd); code != 0)
        return code;
    const int status = ::fcntl(*fd, F_GETFL);
    if (status < 0 || ::fcntl(*fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        const int code = errno;
        ::close(*fd);
        return code;
    }
    return 0;
}

int NativeFileOps::Duplicate(int fd, int* copy) { return Opened(::fcntl(fd, F_DUPFD_CLOEXEC, 0), copy); }

int NativeFileOps::Write(int fd, const char* bytes, std::size_t size, std::size_t* written)
{
    for (;;) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n >= 0) {
            *written = std::size_t(n);
            return 0;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        // A descriptor shared non-blocking (/dev/stdout from some callers):
        // wait for room, as a blocking one would.
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, -1) < 0 && errno != EINTR)
            return errno;
    }
}

int NativeFileOps::Sync(int fd) { return Result(::fsync(fd)); }

int NativeFileOps::Close(int fd) { return Result(::close(fd)); }

int NativeFileOps::ChangeOwner(int fd, unsigned owner, unsigned group)
{
    return Result(::fchown(fd, uid_t(owner), gid_t(group)));
}

int NativeFileOps::ChangeGroup(int fd, unsigned group) { return Result(::fchown(fd, uid_t(-1), gid_t(group))); }

int NativeFileOps::ChangeMode(int fd, unsigned mode) { return Result(::fchmod(fd, mode_t(mode))); }

unsigned NativeFileOps::EffectiveOwner() { return ::geteuid(); }

std::string NativeFileOps::OwnDescriptorFolder() { return "/proc/" + std::to_string(::getpid()) + "/fd"; }

int NativeFileOps::Rename(const std::string& from, const std::string& to)
{
    return Result(::rename(from.c_str(), to.c_str()));
}

// renameat2 where the file system supports it, otherwise a hard link (which
// fails on an existing name) and an unlink.
int NativeFileOps::RenameNoReplace(const std::string& from, const std::string& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

int NativeFileOps::Remove(const std::string& path) { return Result(::unlink(path.c_str())); }

int NativeFileOps::SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int code = Result(::fsync(fd));
    ::close(fd);
    return code;
}

FileOps& SystemFileOps()
{
    static NativeFileOps ops;
    return ops;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace karsidan::storage
