// What one peer may take from others: connection slots, time, disk space.
#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"

#include <chrono>
#include <vector>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

TEST(ReceiverLimits, FortySlowPeersFromOneAddressDoNotShutOutARealSender)
{
    ReceivingCopy copy;
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 40; ++i) {
        slow.push_back(ConnectPeer(copy.Port(), "127.0.0.3"));
        slow.back()->write("lambat.txt | 0");
    }
    ASSERT_TRUE(copy.WaitFailed(40 - Receiver::kMaxConnectionsPerPeer));
    EXPECT_EQ(copy.receiver->OpenConnections(), Receiver::kMaxConnectionsPerPeer);

    SendRaw(copy.Port(), "nyata.txt | 0A1B", "127.0.0.2");
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(ReadFile(copy.PathOf("nyata.txt")), "0A1B");
    EXPECT_EQ(copy.receiver->OpenConnections(), Receiver::kMaxConnectionsPerPeer) << "the slow ones are still held";
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("lambat.txt")));
}

TEST(ReceiverLimits, TheLimitPerAddressTurnsPeersAwayAndANewcomerTakesTheSlowestSlot)
{
    ReceivingCopy copy;
    copy.receiver->SetConnectionLimits(3, 2);
    auto a1 = ConnectPeer(copy.Port(), "127.0.0.2");
    auto a2 = ConnectPeer(copy.Port(), "127.0.0.2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 2; }, kWaitMs));
    auto a3 = ConnectPeer(copy.Port(), "127.0.0.2");
    QSignalSpy a3Closed(a3.get(), &QTcpSocket::disconnected);
    EXPECT_TRUE(a3Closed.wait(kWaitMs)) << "third from one address";
    WriteAll(*a2, "a2.txt | 0A");
    auto b1 = ConnectPeer(copy.Port(), "127.0.0.4");
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 3; }, kWaitMs));
    WriteAll(*b1, "b1.txt | 0B");
    // Every slot taken: the newcomer replaces a1, the only one silent.
    QSignalSpy a1Closed(a1.get(), &QTcpSocket::disconnected);
    auto c1 = ConnectPeer(copy.Port(), "127.0.0.5");
    EXPECT_TRUE(a1Closed.wait(kWaitMs)) << "the slot that sent nothing";
    ASSERT_TRUE(copy.WaitFailed(2));
    EXPECT_TRUE(copy.failed->at(1).at(0).toString().contains("paling sedikit"))
        << copy.failed->at(1).at(0).toString().toStdString();
    EXPECT_EQ(copy.receiver->OpenConnections(), 3);

    WriteAll(*c1, "c1.txt | 0C");
    for (QTcpSocket* peer : {a2.get(), b1.get(), c1.get()})
        peer->disconnectFromHost();
    ASSERT_TRUE(copy.WaitStored(3));
    EXPECT_EQ(FilesIn(copy.folder), (QStringList{"a2.txt", "b1.txt", "c1.txt"}));
}

// A trickle that never stops is dropped all the same; a peer that keeps the
// pace is not, however long it takes.
TEST(ReceiverLimits, AWholeMessageMustKeepAMinimumPace)
{
    ReceivingCopy copy;
    copy.receiver->SetPace(300, 1000);
    auto steady = ConnectPeer(copy.Port(), "127.0.0.2");
    auto trickle = ConnectPeer(copy.Port(), "127.0.0.3");
    QSignalSpy trickleClosed(trickle.get(), &QTcpSocket::disconnected);
    WriteAll(*steady, "tetap.txt | ");
    WriteAll(*trickle, "tetes.txt | ");
    QByteArray expected;
    for (int i = 0; i < 30 && trickleClosed.isEmpty(); ++i) {
        const QByteArray piece(400, char('A' + i % 6)); // some 8000 bytes a second
        expected += piece;
        steady->write(piece);
        trickle->write("F"); // about 20 bytes a second
        QTest::qWait(50);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !trickleClosed.isEmpty(); }, kWaitMs)) << "the trickle was dropped";
    ASSERT_EQ(copy.failed->size(), 1);
    EXPECT_TRUE(copy.failed->at(0).at(0).toString().contains("lambat"));
    EXPECT_EQ(copy.receiver->OpenConnections(), 1);

    steady->disconnectFromHost();
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(ReadFile(copy.PathOf("tetap.txt")), expected);
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("tetes.txt")));
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"tetap.txt"});
}

TEST(ReceiverLimits, AMessageThatWouldCrossTheFreeSpaceFloorIsDropped)
{
    ReceivingCopy copy;
    qint64 free = Receiver::kMinFreeBytes + 1000;
    copy.receiver->SetFreeSpaceSource([&free](const QString& folder) {
        EXPECT_TRUE(QFileInfo(folder).isDir());
        return free;
    });
    SendRaw(copy.Port(), ComposeMessage("kecil.txt", QByteArray(900, 'A')));
    ASSERT_TRUE(copy.WaitStored(1));

    auto peer = ConnectPeer(copy.Port());
    QSignalSpy dropped(peer.get(), &QTcpSocket::disconnected);
    WriteAll(*peer, ComposeMessage("besar.txt", QByteArray(1200, 'B')));
    ASSERT_TRUE(copy.WaitFailed(1));
    const QString reason = copy.failed->at(0).at(0).toString();
    EXPECT_TRUE(reason.contains("ruang disk")) << reason.toStdString();
    EXPECT_TRUE(dropped.wait(kWaitMs) || !dropped.isEmpty()) << "the sender sees its message refused";

    // The disk fills while a message comes in.
    peer = ConnectPeer(copy.Port());
    WriteAll(*peer, ComposeMessage("tengah.txt", QByteArray(500, 'C')));
    free = Receiver::kMinFreeBytes + 100;
    WriteAll(*peer, QByteArray(200, 'C'));
    ASSERT_TRUE(copy.WaitFailed(2));

    // Data without a separator waits in memory; the floor counts it too.
    free = Receiver::kMinFreeBytes + 1000;
    peer = ConnectPeer(copy.Port());
    WriteAll(*peer, QByteArray(800, 'D'));
    free = Receiver::kMinFreeBytes + 500;
    peer->disconnectFromHost();
    ASSERT_TRUE(copy.WaitFailed(3));

    EXPECT_EQ(copy.stored->size(), 1);
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"kecil.txt"});
}

TEST(ReceiverLimits, OnePeerMayStoreOnlySoMuchPerHour)
{
    ReceivingCopy copy;
    auto now = std::chrono::steady_clock::now();
    copy.receiver->SetClock([&now] { return now; });
    copy.receiver->SetHourlyLimit(10'000);

    SendRaw(copy.Port(), ComposeMessage("satu.txt", QByteArray(6000, 'A')), "127.0.0.2");
    ASSERT_TRUE(copy.WaitStored(1));
    now += std::chrono::minutes(30);
    SendRaw(copy.Port(), ComposeMessage("dua.txt", QByteArray(6000, 'B')), "127.0.0.2");
    ASSERT_TRUE(copy.WaitFailed(1));
    EXPECT_TRUE(copy.failed->at(0).at(0).toString().contains("satu jam"));
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("dua.txt")));

    SendRaw(copy.Port(), ComposeMessage("lain.txt", QByteArray(6000, 'C')), "127.0.0.3");
    ASSERT_TRUE(copy.WaitStored(2)) << "another address has its own share";

    now += std::chrono::minutes(31);
    SendRaw(copy.Port(), ComposeMessage("dua.txt", QByteArray(6000, 'B')), "127.0.0.2");
    ASSERT_TRUE(copy.WaitStored(3)) << "an hour after the first message";
    EXPECT_EQ(copy.failed->size(), 1);
}

} // namespace
