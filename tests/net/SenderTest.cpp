#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/OutgoingFileName.h"
#include "net/Sender.h"

#include <QElapsedTimer>
#include <QTcpServer>

#ifdef Q_OS_UNIX
#include <cerrno>

#include <fcntl.h>
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
        return QTest::qWaitFor(
            [&] { return sockets.size() > index && sockets[index]->state() == QAbstractSocket::UnconnectedState; },
            kWaitMs);
    }
};

#ifdef Q_OS_UNIX
// A peer on a plain socket that reads only when told, so the sender's
// bytes pile up, and that can end the connection with a reset.
struct SlowPeer {
    int listening = -1;
    int connection = -1;
    quint16 port = 0;

    SlowPeer() { listening = ListenOnLoopback(SOCK_NONBLOCK, 1, &port); }
    ~SlowPeer()
    {
        for (int fd : {connection, listening})
            if (fd >= 0)
                ::close(fd);
    }
    bool Accept()
    {
        return QTest::qWaitFor(
            [&] {
                connection = ::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK);
                return connection >= 0;
            },
            kWaitMs);
    }
    // Everything until the sender closes.
    QByteArray ReadToEnd()
    {
        QByteArray data;
        char buffer[1 << 16];
        bool ended = false;
        (void)QTest::qWaitFor(
            [&] {
                for (;;) {
                    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
                    if (got > 0) {
                        data.append(buffer, got);
                        continue;
                    }
                    ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                    return ended;
                }
            },
            4 * kWaitMs);
        EXPECT_TRUE(ended);
        return data;
    }
    // An orderly close, as a receiver answers a message it stored.
    void Close()
    {
        ::close(connection);
        connection = -1;
    }
    // Unread data plus a zero linger: the close sends a reset.
    void Reset()
    {
        const linger now{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        ::close(connection);
        connection = -1;
    }
};

// More than loopback buffers hold, so part of it waits in the sender.
const QString& LargeText()
{
    static const QString text(32 << 20, QLatin1Char('A'));
    return text;
}
#endif

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
    EXPECT_EQ(peer.received, QList<QByteArray>{"c.txt | 0A1B"}) << "no folders leave this machine";
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
    EXPECT_EQ(w.statuses.size(), 3) << "a send without connection is a failure too";
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
    EXPECT_EQ(w.failed.size(), 2);
    EXPECT_EQ(w.finished.size(), 0);
}

TEST(Sender, AnAttemptWithoutAnswerTimesOut)
{
    UnansweredPort unanswered;
    Watched w;
    w.sender.SetConnectTimeout(500);
    w.sender.CheckIP("127.0.0.1", unanswered.port);
    ASSERT_TRUE(w.failed.wait(kWaitMs));
    EXPECT_EQ(w.statuses, (QStringList{"Sambungan ke 127.0.0.1", "Sambungan Error"}));
    EXPECT_TRUE(w.failed.at(0).at(0).toString().contains("tidak ada jawaban"))
        << w.failed.at(0).at(0).toString().toStdString();
    EXPECT_TRUE(w.sender.IsClosed());
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

namespace {

TEST(OutgoingFileName, OnlyTheLastPartGoesOutInTheCodePage)
{
    const struct {
        QString saved;
        QByteArray sent;
    } cases[] = {
        {"/home/ana/rahasia/laporan.txt", "laporan.txt"},
        {"C:\\Dokumen\\Ana\\c.txt", "c.txt"},
        {"D:\\campur/aduk\\akhir.txt", "akhir.txt"},
        {"laporan.txt", "laporan.txt"},
        {QStringLiteral("/tmp/\u4E2D\u6587/caf\u00E9 \u20AC.txt"), "caf\xE9 \x80.txt"},
        {QStringLiteral("/tmp/\u4E2D\u6587.txt"), "__.txt"},
        // One character beyond the basic plane, one "_".
        {QStringLiteral("/tmp/\U0001F600.txt"), "_.txt"},
        // A bar could form the separator and cut the message wrongly.
        {"/tmp/a | b.txt", "a _ b.txt"},
        {"/tmp/x |", "x _"},
        {"/tmp/folder/", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutgoingFileName(c.saved), c.sent) << c.saved.toStdString();
}

TEST(Sender, APathWithForeignCharactersSendsItsBaseNameWithUnderscores)
{
    Capture peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.Port());
    ASSERT_TRUE(w.WaitConnected());
    EXPECT_EQ(w.sender.SendData(QStringLiteral("/home/ana/\u79D8\u5BC6/laporan\u4E2D.txt"), "0A1B"), "");
    ASSERT_TRUE(w.finished.wait(kWaitMs));
    ASSERT_TRUE(peer.WaitClosedByPeer(0));
    EXPECT_EQ(peer.received, QList<QByteArray>{"laporan_.txt | 0A1B"});
    EXPECT_EQ(w.failed.size(), 0);
    EXPECT_EQ(w.statuses.last(), "Tersambung ke 127.0.0.1");
}

#ifdef Q_OS_UNIX
TEST(Sender, AResetBeforeTheMessageIsHandedOverIsAFailure)
{
    SlowPeer peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_TRUE(w.WaitConnected());
    ASSERT_EQ(w.sender.SendData("besar.txt", LargeText()), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.sender.Socket().BytesToWrite() > 0; }, kWaitMs));
    QTest::qWait(50);
    ASSERT_GT(w.sender.Socket().BytesToWrite(), 0) << "part of the message still waits";
    peer.Reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.failed.isEmpty(); }, kWaitMs));
    EXPECT_EQ(w.finished.size(), 0) << "never reported as sent";
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
    EXPECT_TRUE(w.sender.IsClosed());
}

TEST(Sender, ASecondMessageWhileTheFirstIsOnItsWayIsRefusedAndTheFirstArrivesWhole)
{
    SlowPeer peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_TRUE(w.WaitConnected());
    ASSERT_EQ(w.sender.SendData("satu.txt", LargeText()), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.sender.Socket().BytesToWrite() > 0; }, kWaitMs));
    const QString reason = w.sender.SendData("dua.txt", "0B");
    EXPECT_FALSE(reason.isEmpty());
    ASSERT_EQ(w.failed.size(), 1);
    EXPECT_EQ(w.failed.at(0).at(0).toString(), reason);
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");

    const QByteArray received = peer.ReadToEnd();
    EXPECT_EQ(received.size(), 11 + LargeText().size());
    EXPECT_TRUE(received.startsWith("satu.txt | AAAA"));
    EXPECT_FALSE(received.contains("dua.txt"));
    EXPECT_TRUE(w.finished.isEmpty()) << "not before the receiver's answer";
    peer.Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.finished.isEmpty(); }, kWaitMs));
    EXPECT_EQ(w.failed.size(), 1);
}

// A receiver of the original kind: it reads until the sender closes and
// then closes too, without any word of its own.
TEST(Sender, AReceiverThatOnlyClosesWhenItsPeerClosesStillGetsTheMessage)
{
    SlowPeer peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_EQ(w.sender.SendData("biasa.txt", "0A1B"), "");
    EXPECT_EQ(peer.ReadToEnd(), "biasa.txt | 0A1B") << "the sender closes its side after the last byte";
    QTest::qWait(50);
    EXPECT_TRUE(w.finished.isEmpty()) << "sent only once the receiver has answered";
    EXPECT_FALSE(w.sender.IsClosed());
    peer.Close();
    ASSERT_TRUE(w.finished.wait(kWaitMs) || w.finished.size() == 1);
    EXPECT_EQ(w.failed.size(), 0);
    EXPECT_TRUE(w.sender.IsClosed());
    EXPECT_EQ(w.statuses.last(), "Tersambung ke 127.0.0.1");
}

TEST(Sender, AReceiverThatNeverAnswersIsATimeOutNotASuccess)
{
    SlowPeer peer;
    Watched w;
    w.sender.SetAnswerTimeout(300, 1 << 30);
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_EQ(w.sender.SendData("diam.txt", "0A1B"), "");
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(peer.ReadToEnd(), "diam.txt | 0A1B");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.failed.isEmpty() || !w.finished.isEmpty(); }, kWaitMs));
    EXPECT_EQ(w.finished.size(), 0);
    ASSERT_EQ(w.failed.size(), 1);
    EXPECT_TRUE(w.failed.at(0).at(0).toString().contains("tidak memastikan"))
        << w.failed.at(0).at(0).toString().toStdString();
    EXPECT_GE(waited.elapsed(), 250);
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
    EXPECT_TRUE(w.sender.IsClosed());
}

TEST(Sender, AResetAfterTheLastByteIsARefusal)
{
    SlowPeer peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_EQ(w.sender.SendData("tolak.txt", "0A1B"), "");
    EXPECT_EQ(peer.ReadToEnd(), "tolak.txt | 0A1B");
    peer.Reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.failed.isEmpty() || !w.finished.isEmpty(); }, kWaitMs));
    EXPECT_EQ(w.finished.size(), 0);
    ASSERT_EQ(w.failed.size(), 1);
    EXPECT_TRUE(w.failed.at(0).at(0).toString().contains("menolak pesan"));
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
}

TEST(Sender, AResetOfAnIdleConnectionIsAnError)
{
    SlowPeer peer;
    Watched w;
    w.sender.CheckIP("127.0.0.1", peer.port);
    ASSERT_TRUE(peer.Accept());
    ASSERT_TRUE(w.WaitConnected());
    peer.Reset();
    ASSERT_TRUE(w.failed.wait(kWaitMs) || w.failed.size() == 1);
    EXPECT_TRUE(w.failed.at(0).at(0).toString().contains("memutus"));
    EXPECT_EQ(w.statuses.last(), "Sambungan Error");
    EXPECT_TRUE(w.sender.IsClosed());
}
#endif

} // namespace
