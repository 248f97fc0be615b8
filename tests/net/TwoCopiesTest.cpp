#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/Sender.h"

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

// One running copy: its listener and its outgoing socket, wired as the
// window wires them.
struct Copy : ReceivingCopy {
    Sender sender{kDefaultPort};
    QSignalSpy sent{&sender, &Sender::SendFinished};

    Copy() { receiver->SetOwnSender(&sender); }

    void SendTo(const Copy& other, const QString& text)
    {
        sender.CheckIP("127.0.0.1", other.Port());
        ASSERT_EQ(sender.SendData(savedFileName, text), "");
        ASSERT_TRUE(sent.wait(kWaitMs) || !sent.isEmpty());
    }
};

TEST(TwoCopies, HandAMessageThereAndBack)
{
    Copy a;
    Copy b;
    a.savedFileName = "/home/user/rahasia.txt";
    a.SendTo(b, "0123456789ABCDEF");
    ASSERT_TRUE(b.WaitStored(1));
    EXPECT_EQ(b.savedFileName, "rahasia.txt");
    EXPECT_EQ(ReadFile(b.PathOf("rahasia.txt")), "0123456789ABCDEF");

    // B answers under the name it received.
    b.SendTo(a, "FEDCBA9876543210");
    ASSERT_TRUE(a.WaitStored(1));
    EXPECT_EQ(a.savedFileName, "rahasia.txt");
    EXPECT_EQ(ReadFile(a.PathOf("rahasia.txt")), "FEDCBA9876543210");
}

TEST(TwoCopies, ACopyRefusesOnlyItsOwnConnection)
{
    Copy a;
    Copy b;
    a.savedFileName = "self.txt";
    a.sender.CheckIP("127.0.0.1", a.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.sender.IsClosed(); }, kWaitMs))
        << "the request from its own socket closes that socket";
    QTest::qWait(50);
    EXPECT_EQ(a.receiver->OpenConnections(), 0);
    EXPECT_NE(a.sender.StatusText(), "Sambungan Error") << "the refusal is no connection error";
    EXPECT_TRUE(a.sender.StatusText().endsWith("127.0.0.1"));

    // Meanwhile another copy on the same machine is served.
    b.sender.CheckIP("127.0.0.1", a.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.sender.State() == SocketState::Connected; }, kWaitMs));
    a.sender.CheckIP("127.0.0.1", b.Port()); // A's own socket now points elsewhere
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.receiver->OpenConnections() == 1; }, kWaitMs));
    EXPECT_EQ(b.sender.SendData("dari-b.txt", "0B"), "");
    ASSERT_TRUE(a.WaitStored(1));
    EXPECT_EQ(ReadFile(a.PathOf("dari-b.txt")), "0B");
    EXPECT_EQ(a.stored->size(), 1);
    EXPECT_TRUE(a.failed->isEmpty());
}

// A message the receiver drops while the sender is still sending is a
// failure there, never a success.
TEST(TwoCopies, ADroppedMessageIsNoSuccessForItsSender)
{
    Copy a;
    Copy b;
    b.receiver->SetFreeSpaceSource([](const QString&) { return qint64(0); });
    QSignalSpy failed(&a.sender, &Sender::Failed);
    a.sender.CheckIP("127.0.0.1", b.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.sender.State() == SocketState::Connected; }, kWaitMs));
    // More than the system's buffers on both ends hold.
    ASSERT_EQ(a.sender.SendData("besar.txt", QString(48 << 20, QLatin1Char('F'))), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failed.isEmpty() || !a.sent.isEmpty(); }, 4 * kWaitMs));
    EXPECT_EQ(failed.size(), 1);
    EXPECT_TRUE(a.sent.isEmpty());
    EXPECT_EQ(a.sender.StatusText(), Sender::ErrorText());
    ASSERT_TRUE(b.WaitFailed(1));
    EXPECT_TRUE(FilesIn(b.folder).isEmpty());
}

} // namespace
