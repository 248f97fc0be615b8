#include "cli/StandardDescriptors.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

const char kNullDevice[] = "/dev/null";

bool GuardStandardDescriptors()
{
    std::signal(SIGPIPE, SIG_IGN);
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Standard error may go nowhere; the exit code still tells.
        const int flags = fd == STDOUT_FILENO ? O_RDONLY : O_WRONLY;
        const int opened = ::open("/dev/null", flags);
        if (opened < 0)
            return false;
        // The lower numbers are open by now, so this is fd itself.
        if (opened != fd) {
            const bool moved = ::dup2(opened, fd) == fd;
            ::close(opened);
            if (!moved)
                return false;
        }
    }
    return true;
}
