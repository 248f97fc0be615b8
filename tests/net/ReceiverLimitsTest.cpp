// What one peer may take from others: connection slots, time, disk space.
#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/Sender.h"

#include <QElapsedTimer>

#include <chrono>
#include <iostream>
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

// Sixteen addresses, four connections each, hold every slot: half of them
// silent, half trickling. A real sender from an address of its own still
// gets a slot, in place of a silent one, and its message is stored.
TEST(ReceiverLimits, SixteenAddressesHoldingEverySlotDoNotShutOutARealSender)
{
    ReceivingCopy copy;
    struct Hostile {
        std::unique_ptr<QTcpSocket> socket;
        bool trickles;
    };
    std::vector<Hostile> hostile;
    for (int address = 1; address <= 16; ++address) {
        const QByteArray from = "127.0.1." + QByteArray::number(address);
        for (int i = 0; i < 4; ++i) {
            hostile.push_back({ConnectPeer(copy.Port(), from.constData()), i >= 2});
            // Taken one by one, so the listen queue never overflows.
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == int(hostile.size()); }, kWaitMs));
        }
    }
    ASSERT_EQ(copy.receiver->OpenConnections(), Receiver::kMaxConnections);
    for (int round = 0; round < 5; ++round) {
        for (Hostile& h : hostile)
            if (h.trickles)
                h.socket->write("F");
        QTest::qWait(100);
    }
    ASSERT_EQ(copy.failed->size(), 0);

    QElapsedTimer clock;
    clock.start();
    Sender real(kDefaultPort);
    QSignalSpy sent(&real, &Sender::SendFinished);
    QSignalSpy refused(&real, &Sender::Failed);
    real.CheckIP("127.0.0.1", copy.Port());
    ASSERT_EQ(real.SendData("nyata.txt", "0A1B"), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sent.isEmpty() || !refused.isEmpty(); }, 10'000));
    const qint64 took = clock.elapsed();
    std::cout << "[ figure   ] a real sender among 64 hostile connections stored in " << took << " ms\n";
    EXPECT_EQ(refused.size(), 0) << (refused.isEmpty() ? "" : refused.at(0).at(0).toString().toStdString());
    ASSERT_EQ(sent.size(), 1);
    EXPECT_LT(took, 10'000);
    EXPECT_EQ(ReadFile(copy.PathOf("nyata.txt")), "0A1B");

    int silentGone = 0;
    int tricklingGone = 0;
    for (const Hostile& h : hostile)
        if (h.socket->state() != QAbstractSocket::ConnectedState)
            ++(h.trickles ? tricklingGone : silentGone);
    EXPECT_EQ(silentGone, 1) << "one silent connection made room";
    EXPECT_EQ(tricklingGone, 0);
    EXPECT_EQ(copy.receiver->OpenConnections(), Receiver::kMaxConnections - 1);
}

// The pace is the average since the connection came: a peer silent through
// the grace cannot catch up with a short burst.
TEST(ReceiverLimits, ThePaceIsAveragedFromTheConnectionsStart)
{
    ReceivingCopy copy;
    copy.receiver->SetPace(600, 2000);
    auto late = ConnectPeer(copy.Port(), "127.0.0.2");
    QSignalSpy lateClosed(late.get(), &QTcpSocket::disconnected);
    QTest::qWait(550);
    WriteAll(*late, "telat.txt | ");
    // Some 6000 bytes a second from now on, well above the pace, but the
    // average since the start stays below it for half a second more.
    for (int i = 0; i < 40 && lateClosed.isEmpty(); ++i) {
        late->write(QByteArray(150, 'A'));
        QTest::qWait(25);
    }
    // Dropped while it was still sending, not for stopping afterwards.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lateClosed.isEmpty(); }, 100)) << "the late one was dropped";
    ASSERT_EQ(copy.failed->size(), 1);
    EXPECT_TRUE(copy.failed->at(0).at(0).toString().contains("lambat"));
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("telat.txt")));
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
