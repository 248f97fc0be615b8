#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"

#include <QRandomGenerator>
#include <QTcpServer>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

TEST(Receiver, StoresANamedMessageAndReportsTheName)
{
    ReceivingCopy copy;
    SendRaw(copy.Port(), "a.txt | 0A1B");
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(copy.stored->at(0).at(0).toString(), "a.txt");
    EXPECT_EQ(copy.stored->at(0).at(1).toString(), copy.PathOf("a.txt"));
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "0A1B");
    EXPECT_EQ(copy.savedFileName, "a.txt");

    SendRaw(copy.Port(), "a.txt | FFFF0000");
    ASSERT_TRUE(copy.WaitStored(2));
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "FFFF0000") << "same name replaces the file";
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"a.txt"});
}

TEST(Receiver, JoinsPiecesUntilThePeerCloses)
{
    ReceivingCopy copy;
    auto peer = ConnectPeer(copy.Port());
    for (const QByteArray& piece : {QByteArray("pie"), QByteArray("ce.txt |"), QByteArray(" 0A"), QByteArray("1B")}) {
        WriteAll(*peer, piece);
        QTest::qWait(30);
    }
    EXPECT_EQ(copy.stored->size(), 0) << "nothing is stored before the peer closes";
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("piece.txt")));
    peer->disconnectFromHost();
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(ReadFile(copy.PathOf("piece.txt")), "0A1B");
}

TEST(Receiver, KeepsTwoPeersApart)
{
    ReceivingCopy copy;
    auto first = ConnectPeer(copy.Port());
    auto second = ConnectPeer(copy.Port());
    WriteAll(*first, "one.txt | 11");
    WriteAll(*second, "two.txt | 22");
    QTest::qWait(30);
    WriteAll(*first, "11");
    WriteAll(*second, "22");
    QTest::qWait(30);
    second->disconnectFromHost();
    first->disconnectFromHost();
    ASSERT_TRUE(copy.WaitStored(2));
    EXPECT_EQ(ReadFile(copy.PathOf("one.txt")), "1111");
    EXPECT_EQ(ReadFile(copy.PathOf("two.txt")), "2222");
}

TEST(Receiver, HostileNamesStayInsideTheFolder)
{
    ReceivingCopy copy;
    const struct {
        QByteArray name;
        const char* stored;
    } cases[] = {
        {"..\\..\\x", "x"}, {"/etc/x", "x"},     {"../escape.txt", "escape.txt"}, {"C:\\x\\c.txt", "c.txt"},
        {"", "pesan.txt"},  {"..", "pesan.txt"}, {"a\x01.txt", "pesan.txt"},      {"CON", "pesan.txt"},
    };
    int count = 0;
    for (const auto& c : cases) {
        SendRaw(copy.Port(), ComposeMessage(c.name, "BODY" + QByteArray::number(count)));
        ASSERT_TRUE(copy.WaitStored(++count)) << c.name.constData();
        EXPECT_EQ(copy.stored->last().at(0).toString(), c.stored) << c.name.constData();
        EXPECT_EQ(copy.savedFileName, c.stored);
        EXPECT_EQ(ReadFile(copy.PathOf(c.stored)), "BODY" + QByteArray::number(count - 1));
    }
    EXPECT_EQ(FilesIn(copy.root.path()), QStringList{"app"}) << "nothing written beside the folder";
    EXPECT_EQ(FilesIn(copy.folder), (QStringList{"c.txt", "escape.txt", "pesan.txt", "x"}));
}

TEST(Receiver, AMessageWithoutNameGoesToTheCurrentFileName)
{
    ReceivingCopy copy;
    SendRaw(copy.Port(), "0A1B");
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(ReadFile(copy.PathOf("pesan.txt")), "0A1B") << "no name known yet";

    copy.savedFileName = "C:\\docs\\prev.txt"; // a local save holds a full path
    SendRaw(copy.Port(), "x | y | z");
    ASSERT_TRUE(copy.WaitStored(2));
    EXPECT_EQ(copy.stored->last().at(0).toString(), "prev.txt");
    EXPECT_EQ(ReadFile(copy.PathOf("prev.txt")), "x | y | z");
}

TEST(Receiver, APeerThatSendsNothingDeletesNothing)
{
    ReceivingCopy copy;
    SendRaw(copy.Port(), "a.txt | 0A1B");
    ASSERT_TRUE(copy.WaitStored(1));

    auto silent = ConnectPeer(copy.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 1; }, kWaitMs));
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "0A1B") << "an open connection deletes nothing";
    silent->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 0; }, kWaitMs));
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "0A1B");
    EXPECT_EQ(copy.stored->size(), 1);
    EXPECT_EQ(copy.failed->size(), 0);
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"a.txt"});
}

TEST(Receiver, RefusesAnOversizeMessageAndWritesNothing)
{
    ReceivingCopy copy;
    copy.receiver->SetMessageLimit(1000);
    const QByteArray atLimit = ComposeMessage("fits.txt", QByteArray(1000 - 11, 'A'));
    ASSERT_EQ(atLimit.size(), 1000);
    SendRaw(copy.Port(), atLimit);
    ASSERT_TRUE(copy.WaitStored(1));

    auto peer = ConnectPeer(copy.Port());
    QSignalSpy dropped(peer.get(), &QTcpSocket::disconnected);
    WriteAll(*peer, ComposeMessage("big.txt", QByteArray(1000 - 9, 'B')));
    ASSERT_TRUE(copy.WaitFailed(1));
    EXPECT_TRUE(dropped.wait(kWaitMs) || dropped.size() == 1) << "the connection is dropped";
    EXPECT_FALSE(QFileInfo::exists(copy.PathOf("big.txt")));
    EXPECT_EQ(FilesIn(copy.folder), QStringList{"fits.txt"});
}

TEST(Receiver, StoresRandomBytesExactlyAndOnlyInsideTheFolder)
{
    ReceivingCopy copy;
    QRandomGenerator random(45660);
    for (int round = 0; round < 8; ++round) {
        QByteArray data(1 + random.bounded(20000), Qt::Uninitialized);
        for (char& c : data)
            c = char(random.bounded(256));
        if (round % 2)
            data.insert(random.bounded(int(data.size())), " | "); // sometimes a name
        SendRaw(copy.Port(), data);
        ASSERT_TRUE(copy.WaitStored(round + 1));
        const QString path = copy.stored->last().at(1).toString();
        EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(copy.folder).absoluteFilePath());
        EXPECT_EQ(ReadFile(path), ParseMessage(data).content);
    }
    EXPECT_EQ(FilesIn(copy.root.path()), QStringList{"app"});
}

TEST(Receiver, AMessageThatCannotBeStoredIsReportedAndListeningGoesOn)
{
    ReceivingCopy copy;
    copy.receiver->SetFreeSpaceSource([](const QString&) { return qint64(0); });
    SendRaw(copy.Port(), "penuh.txt | 0A1B");
    ASSERT_TRUE(copy.WaitFailed(1));
    EXPECT_TRUE(copy.failed->at(0).at(0).toString().contains("ruang disk"));
    EXPECT_TRUE(FilesIn(copy.folder).isEmpty());

    copy.receiver->SetFreeSpaceSource([](const QString&) { return qint64(1) << 40; });
    SendRaw(copy.Port(), "ok.txt | 0A1B");
    ASSERT_TRUE(copy.WaitStored(1));
    EXPECT_EQ(ReadFile(copy.PathOf("ok.txt")), "0A1B");
}

TEST(Receiver, APortInUseIsReportedNotFatal)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    Receiver receiver(dir.path());
    const QString reason = receiver.StartListening(holder.serverPort(), QHostAddress::LocalHost);
    EXPECT_TRUE(reason.contains("sudah dipakai")) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QString::number(holder.serverPort())));
    EXPECT_FALSE(receiver.IsListening());
    EXPECT_TRUE(Receiver::ListeningOffText(reason).startsWith("Penerimaan pesan mati: "));

    EXPECT_EQ(receiver.StartListening(0, QHostAddress::LocalHost), QString());
    EXPECT_TRUE(receiver.IsListening());
    receiver.StopListening();
    EXPECT_FALSE(receiver.IsListening());
}

} // namespace
