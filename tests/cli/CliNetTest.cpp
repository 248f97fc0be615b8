#include "net/MessageFormat.h"
#include "net/Receiver.h"
#include "net/Sender.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <cerrno>
#include <ostream>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using karsidan::test::ReadFile;

constexpr int kWaitMs = 10000;

// `karsidan-cli receive` on a free port in a folder of its own.
struct ReceiveProcess {
    QTemporaryDir folder;
    QProcess process;
    quint16 port = 0;
    QByteArray out;

    // childSetup runs in the child just before the program starts.
    explicit ReceiveProcess(std::function<void()> childSetup = {})
    {
        karsidan::test::StartProcess(
            process,
            {.program = QStringLiteral(KARSIDAN_CLI),
             .args = {"receive", "--port", "0", "--address", "127.0.0.1", "--folder", folder.path()},
             .childSetup = childSetup,
             .timeoutMs = kWaitMs});
        // The first line on standard error names the port it got.
        const QRegularExpression portLine("port (\\d+)");
        QByteArray err;
        (void)QTest::qWaitFor(
            [&] {
                err += process.readAllStandardError();
                port = quint16(portLine.match(QString::fromUtf8(err)).captured(1).toUInt());
                return port != 0 || process.state() == QProcess::NotRunning;
            },
            kWaitMs);
        EXPECT_NE(port, 0) << err.constData();
    }
    ~ReceiveProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(kWaitMs);
        }
    }
    // The lines printed so far, one per stored file.
    QStringList WaitLines(int count)
    {
        QStringList lines;
        (void)QTest::qWaitFor(
            [&] {
                out += process.readAllStandardOutput();
                lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
                return lines.size() >= count;
            },
            kWaitMs);
        return lines;
    }
    QString PathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }
};

karsidan::test::ProcessResult RunCli(const QStringList& args, const QByteArray& input = {})
{
    // Keep the event loop turning: the peer may live in this process.
    auto result = karsidan::test::RunProcess({.program = QStringLiteral(KARSIDAN_CLI),
                                              .args = args,
                                              .input = input,
                                              .timeoutMs = kWaitMs,
                                              .turnEventLoop = true});
    EXPECT_EQ(result.status, QProcess::NormalExit);
    return result;
}

TEST(CliSendReceive, ReceiveStoresWhatSendSendsAndStopsCleanly)
{
    ReceiveProcess receive;
    QTemporaryDir source;
    const QString file = QDir(source.path()).filePath("sandi.txt");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("0123456789ABCDEF");
    out.close();

    const auto byFile = RunCli({"send", "--to", "127.0.0.1", "--port", QString::number(receive.port), file});
    EXPECT_EQ(byFile.exitCode, 0) << byFile.err.constData();
    ASSERT_EQ(receive.WaitLines(1).size(), 1);
    EXPECT_EQ(receive.WaitLines(1)[0], QDir::toNativeSeparators(receive.PathOf("sandi.txt")));
    EXPECT_EQ(ReadFile(receive.PathOf("sandi.txt")), "0123456789ABCDEF");

    // Two separators: the whole message goes under the last name received.
    const QByteArray raw("\x00\xFF raw | bytes", 14);
    const auto byStdin = RunCli(
        {"send", "--to", "127.0.0.1", "--port", QString::number(receive.port), "--name", "..\\..\\dari-stdin.txt"},
        raw);
    EXPECT_EQ(byStdin.exitCode, 0) << byStdin.err.constData();
    const QStringList lines = receive.WaitLines(2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], QDir::toNativeSeparators(receive.PathOf("sandi.txt")));
    EXPECT_EQ(ReadFile(receive.PathOf("sandi.txt")), "dari-stdin.txt | " + raw) << "the folders never went out";

    const auto hostile = RunCli(
        {"send", "--to", "127.0.0.1", "--port", QString::number(receive.port), "--name", "../../keluar.txt"}, "0A1B");
    EXPECT_EQ(hostile.exitCode, 0);
    ASSERT_EQ(receive.WaitLines(3).size(), 3);
    EXPECT_EQ(ReadFile(receive.PathOf("keluar.txt")), "0A1B");
    EXPECT_FALSE(QFileInfo::exists(QDir(receive.folder.path()).filePath("../../keluar.txt")));

    receive.process.terminate(); // SIGTERM
    ASSERT_TRUE(receive.process.waitForFinished(kWaitMs));
    EXPECT_EQ(receive.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(receive.process.exitCode(), 0);
}

// With standard output closed the stored file is the only file the command
// writes: the line for it must not land there, and the failed line ends
// the command with 1.
TEST(CliSendReceive, ReceiveWithStandardOutputClosedStoresCleanlyAndFails)
{
    ReceiveProcess receive([] { ::close(STDOUT_FILENO); });
    ASSERT_NE(receive.port, 0);
    const auto sent = RunCli(
        {"send", "--to", "127.0.0.1", "--port", QString::number(receive.port), "--name", "tertutup.txt"},
        "0123456789ABCDEF");
    EXPECT_EQ(sent.exitCode, 0) << sent.err.constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return receive.process.state() == QProcess::NotRunning; }, kWaitMs))
        << "stops once its line cannot be written";
    EXPECT_EQ(receive.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(receive.process.exitCode(), 1);
    const QByteArray err = receive.process.readAllStandardError();
    EXPECT_TRUE(err.contains("keluaran standar tertutup")) << err.constData();
    EXPECT_EQ(ReadFile(receive.PathOf("tertutup.txt")), "0123456789ABCDEF");
}

TEST(CliSendReceive, SendReportsAConnectionFailure)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    const auto result = RunCli({"send", "--to", "127.0.0.1", "--port", port, "--name", "a.txt"}, "0A");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.startsWith("Sambungan Error")) << result.err.constData();
}

// The receiver's orderly close is its word that the message is on the disk:
// the moment it arrives, the file must be there whole. The receiver runs
// in a process of its own, so nothing here waits for it otherwise.
TEST(CliSendReceive, TheReceiversCloseComesOnlyOnceTheFileIsStored)
{
    ReceiveProcess receive;
    const QByteArray body(32 << 20, 'E');
    const QByteArray message = "utuh.txt | " + body;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(receive.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = ::send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        ASSERT_GT(n, 0) << errno;
        sent += n;
    }
    ASSERT_EQ(::shutdown(fd, SHUT_WR), 0);
    pollfd answer{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&answer, 1, kWaitMs), 1);
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, 0);
    // At once, before anything else can happen.
    const qint64 size = QFileInfo(receive.PathOf("utuh.txt")).size();
    ::close(fd);
    EXPECT_EQ(got, 0) << "an orderly close";
    EXPECT_EQ(size, body.size()) << "the file is whole when the sender hears of it";
}

// A message the receiver refuses is no success: exit 1 with the reason.
TEST(CliSendReceive, SendFailsWhenTheReceiverRefusesTheMessage)
{
    QTemporaryDir folder;
    karsidan::net::Receiver receiver(folder.path());
    receiver.SetFreeSpaceSource([](const QString&) { return qint64(0); });
    QSignalSpy refused(&receiver, &karsidan::net::Receiver::ReceiveFailed);
    ASSERT_EQ(receiver.StartListening(0, QHostAddress::LocalHost), "");
    const auto sent = RunCli(
        {"send", "--to", "127.0.0.1", "--port", QString::number(receiver.LocalPort()), "--name", "penuh.txt"}, "0A1B");
    EXPECT_EQ(sent.exitCode, 1) << sent.err.constData();
    EXPECT_TRUE(sent.err.startsWith("Sambungan Error: penerima menolak pesan")) << sent.err.constData();
    EXPECT_EQ(refused.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(QDir(folder.path()).filePath("penuh.txt")));
}

// Only the name's last part goes out; what the code page cannot hold, and a
// bar, become "_" instead of failing the send.
TEST(CliSendReceive, SendsTheBaseNameOfAnyName)
{
    QTcpServer peer;
    ASSERT_TRUE(peer.listen(QHostAddress::LocalHost, 0));
    QByteArray received;
    bool closed = false;
    QObject::connect(&peer, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = peer.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, [&received, s] { received += s->readAll(); });
        QObject::connect(s, &QTcpSocket::disconnected, [&closed] { closed = true; });
    });
    const auto sent = RunCli({"send", "--to", "127.0.0.1", "--port", QString::number(peer.serverPort()), "--name",
                              QStringLiteral("/home/ana/\u79D8\u5BC6/lap|oran\u4E2D.txt")},
                             "0A1B");
    EXPECT_EQ(sent.exitCode, 0) << sent.err.constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, kWaitMs));
    EXPECT_EQ(received, "lap_oran_.txt | 0A1B");
}

TEST(CliSendReceive, RefusesBadArguments)
{
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"send", "--to", "127.0.0.1"}, "--name"},
        {{"send", "--port", "45660", "--name", "a"}, "--to"},
        {{"send", "--to", "127.0.0.1", "--port", "70000", "--name", "a"}, "--port"},
        {{"send", "--to", "127.0.0.1", "--port", "x", "--name", "a"}, "--port"},
        {{"receive", "--address", "localhost"}, "--address"},
        {{"receive", "--port", "65536"}, "--port"},
    };
    for (const auto& c : cases) {
        const auto result = RunCli(c.args, "0A");
        EXPECT_EQ(result.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.constData();
    }
    const auto missing = RunCli({"send", "--to", "127.0.0.1", "/nonexistent/file.txt"});
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(CliSendReceive, ReceiveOnATakenPortSaysWhyAndFails)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir folder;
    const auto result = RunCli({"receive", "--port", QString::number(holder.serverPort()), "--address", "127.0.0.1",
                                "--folder", folder.path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Penerimaan pesan mati")) << result.err.constData();
}

// The window's side is the library: the CLI must talk to it both ways.
TEST(CliSendReceive, TalksToTheLibraryBothWays)
{
    QTemporaryDir folder;
    karsidan::net::Receiver receiver(folder.path());
    QSignalSpy stored(&receiver, &karsidan::net::Receiver::FileStored);
    ASSERT_EQ(receiver.StartListening(0, QHostAddress::LocalHost), "");
    const auto sent = RunCli({"send", "--to", "127.0.0.1", "--port", QString::number(receiver.LocalPort()), "--name",
                              "C:\\Dokumen\\cli.txt"},
                             "ABCDEF0123456789");
    EXPECT_EQ(sent.exitCode, 0) << sent.err.constData();
    ASSERT_TRUE(stored.size() == 1 || stored.wait(kWaitMs));
    EXPECT_EQ(stored.at(0).at(0).toString(), "cli.txt");
    EXPECT_EQ(ReadFile(QDir(folder.path()).filePath("cli.txt")), "ABCDEF0123456789");

    ReceiveProcess receive;
    karsidan::net::Sender sender(karsidan::net::kDefaultPort);
    QSignalSpy finished(&sender, &karsidan::net::Sender::SendFinished);
    sender.CheckIP("127.0.0.1", receive.port);
    ASSERT_EQ(sender.SendData("D:\\kirim\\jendela.txt", "FEDCBA9876543210"), "");
    ASSERT_TRUE(finished.wait(kWaitMs) || finished.size() == 1);
    ASSERT_EQ(receive.WaitLines(1).size(), 1);
    EXPECT_EQ(ReadFile(receive.PathOf("jendela.txt")), "FEDCBA9876543210");
}

} // namespace
