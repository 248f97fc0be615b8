#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/Sender.h"

#include <QTcpServer>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

// Records every status text and the end of each attempt.
struct Watched {
    Sender sender{kDefaultPort};
    QStringList statuses;
    QSignalSpy finished{&sender, &Sender::SendFinished};
    QSignalSpy failed{&sender, &Sender::Failed};

    Watched()
    {
        QObject::connect(&sender, &Sender::StatusChanged, [this](const QString& text) { statuses << text; });
    }
    bool WaitConnected()
    {
        return QTest::qWaitFor([&] { return sender.State() == SocketState::Connected; }, kWaitMs);
    }
};

// Accepts connections and keeps what each one sends.
struct Capture {
    QTcpServer server;
    QList<QTcpSocket*> sockets;
    QList<QByteArray> received;

    Capture()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                const int index = int(received.size());
                sockets << s;
                received << QByteArray();
                QObject::connect(s, &QTcpSocket::readyRead, [this, s, index] { received[index] += s->readAll(); });
            }
        });
    }
    quint16 Port() const { return server.serverPort(); }
    bool WaitClosedByPeer(int index)
    {
        return QTest::qWaitFor([&] {
            return sockets.size() > index && sockets[index]->state() == QAbstractSocket::UnconnectedState;
        }, kWaitMs);
    }
};

quint16 PortWithNobodyListening()
{
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

TEST(Sender, ShowsProgressAndSendsTheMessageOnce)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    EXPECT_EQ(w.statuses, QStringList{"Sambungan ke 127.0.0.1"}) << "shown at once";
    EXPECT_EQ(w.sender.PeerAddress(), "127.0.0.1");
    EXPECT_EQ(w.sender.CurrentPort(), peer.Port());
    ASSERT_TRUE(w.WaitConnected());
    EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Tersambung ke 127.0.0.1"}));

    EXPECT_EQ(w.sender.SendData("C:\\x\\c.txt", "0A1B"), "");
    ASSERT_TRUE(w.finished.wait(kWaitMs));
    ASSERT_TRUE(peer.WaitClosedByPeer(0)) << "the sender closes after the write";
    EXPECT_EQ(peer.received, QList<QByteArray>{"C:\\x\\c.txt | 0A1B"});
    EXPECT_EQ(peer.received[0].size(), 17);
    EXPECT_TRUE(w.sender.IsClosed());
    EXPECT_EQ(w.statuses.last(), "Tersambung ke 127.0.0.1") << "closing keeps the panel";
    EXPECT_EQ(w.failed.size(), 0);
    EXPECT_EQ(w.sender.PeerAddress(), "127.0.0.1") << "kept after the close";
}

TEST(Sender, DataGivenWhileConnectingGoesOutOnceUp)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    ASSERT_EQ(w.sender.State(), SocketState::Connecting);
    EXPECT_EQ(w.sender.SendData("early.txt", "0A1B"), "");
    ASSERT_TRUE(w.finished.wait(kWaitMs));
    ASSERT_TRUE(peer.WaitClosedByPeer(0));
    EXPECT_EQ(peer.received, QList<QByteArray>{"early.txt | 0A1B"});
    EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Tersambung ke 127.0.0.1"}));
}

TEST(Sender, ARefusedConnectionEndsInError)
{
    Watched w;
    w.sender.CheckIP("127.0.0.1", PortWithNobodyListening());
    ASSERT_TRUE(w.failed.wait(kWaitMs));
    EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Sambungan Error"}));
    EXPECT_TRUE(w.sender.IsClosed());
    EXPECT_EQ(w.sender.SendData("a.txt", "0A"), "belum tersambung");
    EXPECT_EQ(w.statuses.size(), 2) << "a refused send shows nothing more";
}

TEST(Sender, AnAttemptWithoutAnswerTimesOut)
{
#ifdef Q_OS_UNIX
    // A listener whose queue is full leaves further attempts unanswered.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 4; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    QTest::qWait(200);

    Watched w;
    w.sender.SetConnectTimeout(500);
    w.sender.CheckIP("127.0.0.1", port);
    ASSERT_TRUE(w.failed.wait(kWaitMs));
    EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Sambungan Error"}));
    EXPECT_TRUE(w.failed.at(0).at(0).toString().contains("tidak ada jawaban"))
        << w.failed.at(0).at(0).toString().toStdString();
    EXPECT_TRUE(w.sender.IsClosed());
    fillers.clear();
    ::close(fd);
#else
    GTEST_SKIP() << "needs a listen queue of one";
#endif
}

TEST(Sender, PortsOutsideTheRangeEndInErrorWithoutAttempt)
{
    for (int port : {0, -1, 65536, 999999}) {
        Watched w;
        w.sender.CheckIP("127.0.0.1", port);
        EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Sambungan Error"})) << port;
        EXPECT_EQ(w.failed.size(), 1);
        EXPECT_TRUE(w.sender.IsClosed());
        EXPECT_EQ(w.sender.CurrentPort(), port);
    }
}

TEST(Sender, ClosingAClosedSocketReportsNothing)
{
    Watched w;
    w.sender.CloseSenderSock();
    w.sender.CloseSenderSock();
    EXPECT_TRUE(w.statuses.isEmpty());
    EXPECT_EQ(w.failed.size(), 0);
    EXPECT_TRUE(w.sender.IsClosed());
}

TEST(Sender, TextTheCodePageCannotCarryIsNotSent)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    ASSERT_TRUE(w.WaitConnected());
    const QString reason = w.sender.SendData("a.txt", QStringLiteral("0A\u4E2D"));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(w.failed.size(), 1);
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
    EXPECT_TRUE(w.sender.IsClosed());
    ASSERT_TRUE(peer.WaitClosedByPeer(0));
    EXPECT_EQ(peer.received, QList<QByteArray>{QByteArray()});
}

TEST(Sender, CodePageCharactersGoOutAsSingleBytes)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    EXPECT_EQ(w.sender.SendData(QStringLiteral("caf\u00E9.txt"), QStringLiteral("\u20AC\u00B7")), "");
    ASSERT_TRUE(w.finished.wait(kWaitMs));
    ASSERT_TRUE(peer.WaitClosedByPeer(0));
    EXPECT_EQ(peer.received, QList<QByteArray>{"caf\xE9.txt | \x80\xB7"});
}

TEST(Sender, APeerClosingAnIdleConnectionChangesNoText)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    ASSERT_TRUE(w.WaitConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.sockets.size() == 1; }, kWaitMs));
    peer.sockets[0]->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.sender.IsClosed(); }, kWaitMs));
    EXPECT_EQ(w.statuses.last(), "Tersambung ke 127.0.0.1") << "an idle close changes nothing";
    EXPECT_EQ(w.failed.size(), 0);
}

TEST(Sender, ASecondConnectReplacesTheFirst)
{
    Capture first;
    Capture second;
    Watched w;
    w.sender.CheckIP("127.0.0.1", first.Port());
    ASSERT_TRUE(w.WaitConnected());
    w.sender.CheckIP("127.0.0.1", second.Port());
    ASSERT_TRUE(first.WaitClosedByPeer(0));
    EXPECT_EQ(w.sender.CurrentPort(), second.Port());
    EXPECT_EQ(w.sender.SendData("b.txt", "0B"), "");
    ASSERT_TRUE(w.finished.wait(kWaitMs));
    ASSERT_TRUE(second.WaitClosedByPeer(0));
    EXPECT_EQ(second.received, QList<QByteArray>{"b.txt | 0B"});
    EXPECT_EQ(first.received, QList<QByteArray>{QByteArray()});
}

} // namespace
