// The receiver's only word back: an orderly close once a message is on the
// disk, a reset when it is refused; and a sender that believes nothing else.
#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/Sender.h"

#include <QElapsedTimer>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

TEST(ReceiverAnswer, AStoredMessageIsAnsweredInOrderARefusedOneWithAReset)
{
    ReceivingCopy copy;
    EXPECT_EQ(SendAndAwaitAnswer(copy.Port(), "a.txt | 0A1B"), Answer::Orderly);
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "0A1B") << "on the disk by the time of the answer";

    // Refused when the peer has finished: the disk fills between the
    // arrival of the bytes and the close (the floor is checked at both).
    int checks = 0;
    copy.receiver->SetFreeSpaceSource([&checks](const QString&) { return ++checks >= 2 ? 0 : qint64(1) << 40; });
    EXPECT_EQ(SendAndAwaitAnswer(copy.Port(), "b.txt | 0B"), Answer::Reset);
    EXPECT_EQ(checks, 2);
    copy.receiver->SetFreeSpaceSource([](const QString&) { return qint64(1) << 40; });

    // Refused while it comes in (a reset then already before this change).
    copy.receiver->SetMessageLimit(100);
    EXPECT_EQ(SendAndAwaitAnswer(copy.Port(), ComposeMessage("c.txt", QByteArray(200, 'C'))), Answer::Reset);

    // The hourly share of one address, checked at the end.
    copy.receiver->SetHourlyLimit(10);
    EXPECT_EQ(SendAndAwaitAnswer(copy.Port(), "d.txt | 0D0D0D0D"), Answer::Reset);

    // Nothing sent, nothing refused.
    EXPECT_EQ(SendAndAwaitAnswer(copy.Port(), QByteArray()), Answer::Orderly);

    EXPECT_EQ(copy.stored->size(), 1);
    EXPECT_EQ(copy.failed->size(), 3);
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"a.txt"});
}

// A receiver that stops with a whole message not yet stored tells its
// sender so, even when the sender has already finished.
TEST(ReceiverAnswer, StoppingWithAMessageNotYetStoredIsAReset)
{
    ReceivingCopy copy;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(copy.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 1; }, kWaitMs));
    // The receiver reads the whole message; its end arrives, but the
    // receiver stops before its event loop takes it.
    ASSERT_EQ(::send(fd, "henti.txt | 0A", 14, MSG_NOSIGNAL), 14);
    QTest::qWait(100);
    ASSERT_EQ(::shutdown(fd, SHUT_WR), 0);
    QTest::qSleep(50);
    copy.receiver->StopListening();
    timeval limit{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, 0);
    const int error = errno;
    ::close(fd);
    EXPECT_EQ(got, -1) << "an orderly close would say it was stored";
    EXPECT_EQ(error, ECONNRESET);
    EXPECT_TRUE(FilesIn(copy.folder).isEmpty());
}

TEST(ReceiverAnswer, ASenderCountsARefusedMessageAsAFailureAndSaysWhy)
{
    ReceivingCopy copy;
    copy.receiver->SetFreeSpaceSource([](const QString&) { return qint64(0); });
    Sender sender(kDefaultPort);
    QStringList statuses;
    QObject::connect(&sender, &Sender::StatusChanged, [&statuses](const QString& text) { statuses << text; });
    QSignalSpy finished(&sender, &Sender::SendFinished);
    QSignalSpy failed(&sender, &Sender::Failed);
    sender.CheckIP("127.0.0.1", copy.Port());
    ASSERT_EQ(sender.SendData("penuh.txt", "0A1B"), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failed.isEmpty() || !finished.isEmpty(); }, kWaitMs));
    ASSERT_TRUE(copy.WaitFailed(1));
    QTest::qWait(50);
    EXPECT_EQ(finished.size(), 0) << "a message that was not stored is not sent";
    ASSERT_EQ(failed.size(), 1);
    const QString reason = failed.at(0).at(0).toString();
    EXPECT_TRUE(reason.contains("menolak pesan")) << reason.toStdString();
    EXPECT_EQ(sender.FailureReason(), reason) << "for the status panel's tooltip";
    EXPECT_EQ(statuses.last(), "Sambungan Error");
    EXPECT_TRUE(sender.IsClosed());
    EXPECT_TRUE(FilesIn(copy.folder).isEmpty());

    // The next success clears the reason.
    copy.receiver->SetFreeSpaceSource([](const QString&) { return qint64(1) << 40; });
    sender.CheckIP("127.0.0.1", copy.Port());
    EXPECT_EQ(sender.FailureReason(), "");
    ASSERT_EQ(sender.SendData("lega.txt", "0A1B"), "");
    ASSERT_TRUE(finished.wait(kWaitMs) || finished.size() == 1);
    EXPECT_EQ(ReadFile(copy.PathOf("lega.txt")), "0A1B");
    EXPECT_EQ(failed.size(), 1);
}

// While this copy's own socket is still connecting elsewhere, a request from
// this machine is answered when it comes, and counts among the slots.
TEST(ReceiverAnswer, ALocalRequestIsAnsweredAtOnceWhileOurSocketStillConnects)
{
    ReceivingCopy copy;
    Sender own(kDefaultPort);
    copy.receiver->SetOwnSender(&own);
    copy.receiver->SetConnectionLimits(2, 4);
    UnansweredPort nowhere;
    own.CheckIP("127.0.0.1", nowhere.port);
    ASSERT_EQ(own.State(), SocketState::Connecting);

    QElapsedTimer clock;
    clock.start();
    auto first = ConnectPeer(copy.Port(), "127.0.0.2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 1; }, 2000))
        << "answered without waiting for our own socket";
    auto second = ConnectPeer(copy.Port(), "127.0.0.2");
    auto third = ConnectPeer(copy.Port(), "127.0.0.3");
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.failed->size() == 1; }, 2000));
    EXPECT_EQ(copy.receiver->OpenConnections(), 2) << "every request counts against the slots";
    EXPECT_LT(clock.elapsed(), Sender::kConnectTimeoutMs);
    EXPECT_EQ(own.State(), SocketState::Connecting) << "a request from another socket leaves ours alone";

    WriteAll(*third, "ketiga.txt | 0C");
    third->disconnectFromHost();
    ASSERT_TRUE(copy.WaitStored(1));
}

} // namespace
