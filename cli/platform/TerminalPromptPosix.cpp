#include "cli/TerminalPrompt.h"

#include "cli/CryptIo.h"
#include "storage/AtomicFile.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxLine = 1024;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the handler needs to give the echo back; set only while asking.
volatile sig_atomic_t g_terminal = -1;
termios g_saved{};

extern "C" void RestoreAndDie(int number)
{
    if (g_terminal >= 0) {
        ::tcsetattr(g_terminal, TCSAFLUSH, &g_saved);
        [[maybe_unused]] const ssize_t n = ::write(g_terminal, "\n", 1);
    }
    std::signal(number, SIG_DFL);
    std::raise(number);
}

void WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw CryptIoError("Gagal menulis ke terminal: " + karsidan::storage::ReasonFor(n < 0 ? errno : EIO));
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

class QuietTerminal {
public:
    explicit QuietTerminal(int fd) : fd_(fd)
    {
        termios quiet = g_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ICANON;
        struct sigaction action { };
        action.sa_handler = RestoreAndDie;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &action, &old_[i]);
        g_terminal = fd;
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    ~QuietTerminal()
    {
        ::tcsetattr(fd_, TCSAFLUSH, &g_saved);
        g_terminal = -1;
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &old_[i], nullptr);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

private:
    int fd_;
    struct sigaction old_[std::size(kSignals)]{};
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::optional<std::string> PromptSecret(const std::string& prompt)
{
    const Descriptor terminal(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (terminal.get() < 0 || ::tcgetattr(terminal.get(), &g_saved) != 0)
        return std::nullopt;
    std::string line;
    {
        // Echo off before the question, so that no early answer shows.
        const QuietTerminal quiet(terminal.get());
        WriteAll(terminal.get(), prompt);
        char c = 0;
        for (;;) {
            const ssize_t n = ::read(terminal.get(), &c, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw CryptIoError("Gagal membaca dari terminal: " + karsidan::storage::ReasonFor(errno));
            if (n == 0 || c == '\n')
                break;
            if (line.size() < kMaxLine)
                line += c;
        }
    }
    // The Enter the user typed was not echoed either.
    WriteAll(terminal.get(), "\n");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
