// What a peer may do to the receiving folder: store only after an orderly
// close, never replace a file that the program did not itself receive,
// never lose a message for its name.
#include "tests/net/NetTestSupport.h"

#include "net/MessageFormat.h"
#include "net/WireText.h"

#include <QFile>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

TEST(ReceiverSafety, AResetPartwayStoresNothingAndKeepsTheOldFile)
{
    ReceivingCopy copy;
    ASSERT_EQ(Deliver(copy, "besar.txt", "LAMA"), "besar.txt");

    // Small enough to arrive whole before the reset, and large.
    for (const int size : {4, 4 << 20}) {
        const int failed = int(copy.failed->size());
        auto peer = ConnectPeer(copy.Port());
        WriteAll(*peer, ComposeMessage("besar.txt", QByteArray(size, 'F')));
        QTest::qWait(50);
        ResetPeer(*peer);
        ASSERT_TRUE(copy.WaitFailed(failed + 1)) << size;
        EXPECT_TRUE(copy.failed->last().at(0).toString().contains("putus")) << size;
        ASSERT_TRUE(QTest::qWaitFor([&] { return copy.receiver->OpenConnections() == 0; }, kWaitMs));
        EXPECT_EQ(ReadFile(copy.PathOf("besar.txt")), "LAMA") << size;
        EXPECT_EQ(FilesIn(copy.folder), QStringList{"besar.txt"}) << "no temporary file left";
    }
    EXPECT_EQ(copy.stored->size(), 1);

    // An orderly close of the same message is stored.
    ASSERT_EQ(Deliver(copy, "besar.txt", QByteArray(4 << 20, 'F')), "besar.txt");
}

TEST(ReceiverSafety, HostileNamesLeaveTheUsersFilesByteForByte)
{
    ReceivingCopy copy;
    const QByteArray program = QByteArray("\x7F") + "ELF the program itself";
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf("karsidan"), program));
    ASSERT_TRUE(QFile::setPermissions(copy.PathOf("karsidan"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf("laporan.txt"), "disimpan dengan Simpan"));
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf(".bashrc"), "export PATH"));
    {
        QFile before(copy.PathOf("lama.txt")); // there before the program ran
        ASSERT_TRUE(before.open(QIODevice::WriteOnly) && before.write("sudah ada") == 9);
    }
    ASSERT_TRUE(QDir(copy.folder).mkdir("arsip"));
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.root.filePath("luar.txt"), "di luar folder"));
    ASSERT_TRUE(QFile::link(copy.root.filePath("luar.txt"), copy.PathOf("tautan.txt")));
    const QString nearLimit = QString(251, QLatin1Char('n')) + ".txt"; // a variant would be too long
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf(nearLimit), "nama panjang"));

    const struct {
        QByteArray name;
        QString stored;
    } cases[] = {
        {"karsidan", "karsidan (2)"},
        {"/home/ana/laporan.txt", "laporan (2).txt"},
        {"lama.txt", "lama (2).txt"},
        {".bashrc", "pesan.txt"},
        {"arsip", "pesan.txt"}, // replaces the received pesan.txt above
        {"tautan.txt", "tautan (2).txt"},
        {ToWireBytes(QString(130, QChar(0xE9))), "pesan.txt"}, // 260 bytes in UTF-8
        {nearLimit.toLatin1(), "pesan.txt"},
        {"laporan.txt", "laporan (2).txt"}, // its own earlier file
    };
    int round = 0;
    for (const auto& c : cases)
        EXPECT_EQ(Deliver(copy, c.name, "ISI" + QByteArray::number(round++)), c.stored) << c.name.constData();

    EXPECT_EQ(ReadFile(copy.PathOf("karsidan")), program);
    EXPECT_TRUE(QFileInfo(copy.PathOf("karsidan")).isExecutable());
    EXPECT_EQ(ReadFile(copy.PathOf("laporan.txt")), "disimpan dengan Simpan");
    EXPECT_EQ(ReadFile(copy.PathOf(".bashrc")), "export PATH");
    EXPECT_EQ(ReadFile(copy.PathOf("lama.txt")), "sudah ada");
    EXPECT_TRUE(QFileInfo(copy.PathOf("arsip")).isDir());
    EXPECT_TRUE(QDir(copy.PathOf("arsip")).isEmpty());
    EXPECT_EQ(ReadFile(copy.root.filePath("luar.txt")), "di luar folder");
    EXPECT_TRUE(QFileInfo(copy.PathOf("tautan.txt")).isSymLink());
    EXPECT_EQ(ReadFile(copy.PathOf(nearLimit)), "nama panjang");
    EXPECT_EQ(FilesIn(copy.folder).size(), 12) << FilesIn(copy.folder).join(", ").toStdString();
    EXPECT_EQ(FilesIn(copy.root.path()), (QStringList{"app", "luar.txt"}));
}

TEST(ReceiverSafety, AReceivedFileTheUserChangedIsTheUsersAgain)
{
    ReceivingCopy copy;
    ASSERT_EQ(Deliver(copy, "a.txt", "0A"), "a.txt");
    ASSERT_EQ(Deliver(copy, "a.txt", "0B"), "a.txt") << "a received file may be replaced";
    ASSERT_EQ(Deliver(copy, "b.txt", "0C"), "b.txt");

    // Saved over with Simpan (a new file), and changed in place.
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf("a.txt"), "milik pengguna"));
    {
        QFile edited(copy.PathOf("b.txt"));
        ASSERT_TRUE(edited.open(QIODevice::Append) && edited.write("!") == 1);
    }
    EXPECT_EQ(Deliver(copy, "a.txt", "0D"), "a (2).txt");
    EXPECT_EQ(Deliver(copy, "b.txt", "0E"), "b (2).txt");
    EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "milik pengguna");
    EXPECT_EQ(ReadFile(copy.PathOf("b.txt")), "0C!");
}

TEST(ReceiverSafety, WhatWasReceivedIsStillKnownAfterARestart)
{
    ReceivingCopy copy;
    ASSERT_EQ(Deliver(copy, "pesan-lama.txt", "0A"), "pesan-lama.txt");
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf("milik.txt"), "pengguna"));

    copy.receiver = std::make_unique<Receiver>(copy.folder);
    copy.stored = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::FileStored);
    copy.failed = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::ReceiveFailed);
    ASSERT_EQ(copy.receiver->StartListening(0, QHostAddress::LocalHost), QString());
    EXPECT_EQ(Deliver(copy, "pesan-lama.txt", "0B"), "pesan-lama.txt");
    EXPECT_EQ(Deliver(copy, "milik.txt", "0C"), "milik (2).txt");
    EXPECT_EQ(ReadFile(copy.PathOf("milik.txt")), "pengguna");

    // A damaged list protects files; it never exposes them.
    QFile ledger(copy.PathOf(ReceivedFileLedger::kFileName));
    ASSERT_TRUE(ledger.open(QIODevice::WriteOnly) && ledger.write("rusak\n12 x milik.txt\n") > 0);
    ledger.close();
    EXPECT_EQ(Deliver(copy, "pesan-lama.txt", "0D"), "pesan-lama (2).txt");
    EXPECT_EQ(ReadFile(copy.PathOf("pesan-lama.txt")), "0B");
}

} // namespace
