#pragma once
// Loopback helpers shared by the network tests.

#include "net/MessageFormat.h"
#include "net/ReceivedFileLedger.h"
#include "net/Receiver.h"
#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <ostream>
#include <vector>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace karsidan::net::test {

inline constexpr int kWaitMs = 5000;

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Everything in the folder but the list of received files, temporary
// files included.
inline QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    names.removeAll(QString::fromLatin1(ReceivedFileLedger::kFileName));
    return names;
}

// A peer that writes raw bytes, as a hostile or foreign program would.
// from: its own address; all of 127/8 is this machine, so each test peer
// can come from an address of its own.
inline std::unique_ptr<QTcpSocket> ConnectPeer(quint16 port, const char* from = "127.0.0.1")
{
    auto socket = std::make_unique<QTcpSocket>();
    EXPECT_TRUE(socket->bind(QHostAddress(QString::fromLatin1(from)), 0)) << from;
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket->waitForConnected(kWaitMs)) << socket->errorString().toStdString();
    return socket;
}

// Ends the connection with a reset instead of an orderly close.
inline void ResetPeer(QTcpSocket& socket)
{
    const linger reset{1, 0};
    ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    socket.abort();
}

// Runs the event loop meanwhile, so a receiver in this thread reads along.
inline void WriteAll(QTcpSocket& socket, const QByteArray& data)
{
    socket.write(data);
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket.bytesToWrite() == 0; }, kWaitMs));
}

inline void SendRaw(quint16 port, const QByteArray& data, const char* from = "127.0.0.1")
{
    auto socket = ConnectPeer(port, from);
    WriteAll(*socket, data);
    socket->disconnectFromHost();
}

// How a receiver ended a connection after the peer had sent its message.
enum class Answer { Orderly, Reset, None };

inline std::ostream& operator<<(std::ostream& out, Answer answer)
{
    return out << (answer == Answer::Orderly ? "orderly close" : answer == Answer::Reset ? "reset" : "no answer");
}

// A peer on a plain socket: sends data, closes its sending side and waits
// for the receiver's answer, running the event loop meanwhile.
inline Answer SendAndAwaitAnswer(quint16 port, const QByteArray& data, int waitMs = kWaitMs)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    qsizetype sent = 0;
    bool finished = false;
    Answer answer = Answer::None;
    (void)QTest::qWaitFor(
        [&] {
            while (sent < data.size()) {
                const ssize_t n = ::send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
                if (n > 0) {
                    sent += n;
                    continue;
                }
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return false;
                answer = Answer::Reset;
                return true;
            }
            if (!finished)
                finished = ::shutdown(fd, SHUT_WR) == 0;
            char byte;
            const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            if (got == 0)
                answer = Answer::Orderly;
            else if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                answer = Answer::Reset;
            return answer != Answer::None;
        },
        waitMs);
    ::close(fd);
    return answer;
}

// A plain listening socket on a free loopback port (flags: SOCK_NONBLOCK,
// SOCK_CLOEXEC), for peers that behave as no copy of the program would.
inline int ListenOnLoopback(int flags, int backlog, quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | flags, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, backlog), 0);
    EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    *port = ntohs(address.sin_port);
    return fd;
}

// A port whose listener answers no further attempt: its queue is full, so
// a connect to it stays unanswered (SYN_SENT).
struct UnansweredPort {
    int fd = -1;
    quint16 port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> fillers;

    UnansweredPort()
    {
        fd = ListenOnLoopback(SOCK_CLOEXEC, 0, &port);
        for (int i = 0; i < 4; ++i) {
            fillers.push_back(std::make_unique<QTcpSocket>());
            fillers.back()->connectToHost(QHostAddress::LocalHost, port);
        }
        QTest::qWait(200);
    }
    ~UnansweredPort()
    {
        fillers.clear();
        ::close(fd);
    }
};

// A receiving copy in its own temporary folder, on a free loopback port.
struct ReceivingCopy {
    QTemporaryDir root;
    QString folder;
    QString savedFileName;
    std::unique_ptr<Receiver> receiver;
    std::unique_ptr<QSignalSpy> stored;
    std::unique_ptr<QSignalSpy> failed;

    ReceivingCopy()
    {
        EXPECT_TRUE(root.isValid());
        // One level down, so a file escaping the folder would show in root.
        QDir(root.path()).mkdir(QStringLiteral("app"));
        folder = root.filePath(QStringLiteral("app"));
        receiver = std::make_unique<Receiver>(folder);
        receiver->SetSavedFileNameSource([this] { return savedFileName; });
        QObject::connect(receiver.get(), &Receiver::FileStored,
                         [this](const QString& name, const QString&) { savedFileName = name; });
        stored = std::make_unique<QSignalSpy>(receiver.get(), &Receiver::FileStored);
        failed = std::make_unique<QSignalSpy>(receiver.get(), &Receiver::ReceiveFailed);
        EXPECT_EQ(receiver->StartListening(0, QHostAddress::LocalHost), QString());
    }

    quint16 Port() const { return receiver->LocalPort(); }
    QString PathOf(const QString& name) const { return QDir(folder).filePath(name); }
    bool WaitStored(int count)
    {
        return QTest::qWaitFor([&] { return stored->size() >= count; }, kWaitMs);
    }
    bool WaitFailed(int count)
    {
        return QTest::qWaitFor([&] { return failed->size() >= count; }, kWaitMs);
    }
};

// A file of the user's, written as Simpan writes: a new file renamed into
// place.
inline void WriteUserFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_EQ(karsidan::storage::WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                     std::string_view(bytes.constData(), bytes.size())),
              "");
}

// Sends one message and returns the name it was stored under.
inline QString Deliver(ReceivingCopy& copy, const QByteArray& name, const QByteArray& body)
{
    const int before = int(copy.stored->size());
    SendRaw(copy.Port(), ComposeMessage(name, body));
    if (!copy.WaitStored(before + 1))
        return QStringLiteral("<not stored>");
    const QString stored = copy.stored->last().at(0).toString();
    EXPECT_EQ(ReadFile(copy.PathOf(stored)), body) << name.constData();
    return stored;
}

} // namespace karsidan::net::test
