// Peak memory of a receiver while peers send it, all at once, messages whose
// name takes nearly the whole size allowed, with the separator only at its
// end: the worst a message can ask of memory. The peers are child processes
// that stream from a small buffer, so the peak is the receiver's alone.
// Run: karsidan_receiver_memory [peers] [MiB per message]
#include "net/Receiver.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// One peer: name bytes, " | ", a short body, then an orderly close.
[[noreturn]] void Peer(quint16 port, std::size_t nameBytes)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
        ::_exit(2);
    static char block[1 << 16];
    for (char& c : block)
        c = 'n';
    for (std::size_t left = nameBytes; left > 0;) {
        const std::size_t n = std::min(left, sizeof block);
        if (!WriteAll(fd, block, n))
            ::_exit(3);
        left -= n;
    }
    static const char kEnd[] = " | 0A1B2C3D";
    if (!WriteAll(fd, kEnd, sizeof kEnd - 1))
        ::_exit(3);
    ::shutdown(fd, SHUT_WR);
    char sink[64];
    while (::read(fd, sink, sizeof sink) > 0) { }
    ::_exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    const int peers = argc > 1 ? std::atoi(argv[1]) : 4;
    const std::size_t mib = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 64;
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    karsidan::net::Receiver receiver(folder.path());
    receiver.SetHourlyLimit(std::numeric_limits<qint64>::max() / 2);
    receiver.SetConnectionLimits(64, peers);
    const QString reason = receiver.StartListening(0, QHostAddress::LocalHost);
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "cannot listen: %s\n", qPrintable(reason));
        return 1;
    }
    // The whole message within the size a receiver accepts.
    const std::size_t nameBytes = (mib << 20) - 16;
    const double base = PeakMiB();
    std::vector<pid_t> children;
    for (int i = 0; i < peers; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0)
            Peer(receiver.LocalPort(), nameBytes);
        children.push_back(pid);
    }
    int stored = 0;
    int failed = 0;
    QObject::connect(&receiver, &karsidan::net::Receiver::FileStored, [&] {
        if (++stored + failed == peers)
            app.quit();
    });
    QObject::connect(&receiver, &karsidan::net::Receiver::ReceiveFailed, [&](const QString& why) {
        std::fprintf(stderr, "refused: %s\n", qPrintable(why));
        if (stored + ++failed == peers)
            app.quit();
    });
    QTimer::singleShot(120'000, &app, &QCoreApplication::quit);
    app.exec();
    for (const pid_t pid : children)
        ::waitpid(pid, nullptr, 0);
    std::printf("%d peer(s), %zu MiB each: %d stored, %d refused; peak RSS %.0f MiB (%.0f MiB before the peers)\n",
                peers, mib, stored, failed, PeakMiB(), base);
    return stored == peers ? 0 : 1;
}
