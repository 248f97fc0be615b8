#include "cli/platform/Descriptors.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

int OpenForReading(const std::string& path, int* fd)
{
    *fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return *fd < 0 ? errno : 0;
}

int Close(int fd) { return ::close(fd) == 0 || errno == EINTR ? 0 : errno; }

int ReadSome(int fd, std::span<char> into, std::size_t* got)
{
    for (;;) {
        const ssize_t n = ::read(fd, into.data(), into.size());
        if (n >= 0) {
            *got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int ReadAt(int fd, std::span<char> into, unsigned long long offset, std::size_t* got)
{
    for (;;) {
        const ssize_t n = ::pread(fd, into.data(), into.size(), static_cast<off_t>(offset));
        if (n >= 0) {
            *got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int WriteSome(int fd, std::string_view bytes, std::size_t* written)
{
    for (;;) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0 || (n == 0 && bytes.empty())) {
            *written = static_cast<std::size_t>(n);
            return 0;
        }
        if (n == 0)
            return EIO;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A non-blocking descriptor inherited from the caller: wait.
            pollfd ready{fd, POLLOUT, 0};
            (void)::poll(&ready, 1, -1);
        } else if (errno != EINTR) {
            return errno;
        }
    }
}

int Inspect(int fd, DescriptorInfo* info)
{
    struct stat status { };
    if (::fstat(fd, &status) != 0)
        return errno;
    info->folder = S_ISDIR(status.st_mode);
    info->regular = S_ISREG(status.st_mode);
    info->size = info->regular ? static_cast<long long>(status.st_size) : 0;
    return 0;
}

int Position(int fd, long long* at)
{
    const off_t position = ::lseek(fd, 0, SEEK_CUR);
    if (position < 0)
        return errno;
    *at = static_cast<long long>(position);
    return 0;
}

int Seek(int fd, long long at) { return ::lseek(fd, static_cast<off_t>(at), SEEK_SET) < 0 ? errno : 0; }

} // namespace platform
