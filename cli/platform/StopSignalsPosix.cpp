#include "cli/platform/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

int g_pipe[2] = {-1, -1};
StopHandler g_handler = nullptr;
void* g_context = nullptr;
std::thread g_watch;

// Only async-signal-safe work here: hand the number to the watch.
extern "C" void OnStopSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void Watch()
{
    for (;;) {
        unsigned char byte = 0;
        const ssize_t n = ::read(g_pipe[0], &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        // 0: the end of the watch.
        if (n != 1 || byte == 0)
            return;
        g_handler(byte, g_context);
    }
}

void ClosePipe()
{
    for (int& fd : g_pipe) {
        if (fd != -1)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

bool WatchStopSignals(StopHandler handler, void* context)
{
    if (::pipe(g_pipe) != 0)
        return false;
    ::fcntl(g_pipe[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(g_pipe[1], F_SETFD, FD_CLOEXEC);
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    g_handler = handler;
    g_context = context;
    try {
        g_watch = std::thread(Watch);
    } catch (const std::system_error&) {
        ClosePipe();
        return false;
    }
    struct sigaction action { };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    return true;
}

void StopWatchingStopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (g_watch.joinable()) {
        const unsigned char end = 0;
        // The pipe is nearly empty: signals come one at a time.
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &end, 1);
        g_watch.join();
    }
    ClosePipe();
}

} // namespace platform
