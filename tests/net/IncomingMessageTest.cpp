#include "net/IncomingMessage.h"
#include "net/MessageFormat.h"
#include "net/ReceivedFileLedger.h"
#include "net/ReceivedFileName.h"
#include "net/WireText.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

using namespace karsidan::net;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Feeding a message in pieces must store what ParseMessage gives for the
// whole data, wherever the pieces are cut (also inside a separator).
TEST(IncomingMessage, AgreesWithParseMessageForAnyCutting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const char alphabet[] = {' ', '|', ' ', '|', 'a', 'B', '\xB7'};
    QRandomGenerator random(7);
    int named = 0;
    int twice = 0;
    for (int round = 0; round < 200; ++round) {
        QByteArray data;
        const int length = 1 + random.bounded(40);
        for (int i = 0; i < length; ++i)
            data.append(alphabet[random.bounded(int(sizeof alphabet))]);
        ReceivedFileLedger ledger(dir.path());
        IncomingMessage message(dir.path(), ledger);
        for (qsizetype at = 0; at < data.size();) {
            const qsizetype piece = std::min<qsizetype>(1 + random.bounded(4), data.size() - at);
            ASSERT_EQ(message.Append(QByteArrayView(data).sliced(at, piece)), "");
            at += piece;
        }
        ASSERT_EQ(message.Size(), data.size());
        const auto stored = message.Store([] { return QStringLiteral("sebelum.txt"); });
        ASSERT_EQ(stored.error, "") << data.constData();

        const ParsedMessage expected = ParseMessage(data);
        const QString name = expected.hasName ? StoredFileName(FromWireBytes(expected.name))
                                              : QStringLiteral("sebelum.txt");
        ASSERT_EQ(stored.name, name) << data.constData();
        ASSERT_EQ(ReadFile(QDir(dir.path()).filePath(name)), expected.content) << data.constData();
        named += expected.hasName;
        twice += !expected.hasName && data.contains(" | ");
    }
    EXPECT_GT(named, 25);
    EXPECT_GT(twice, 10);
    // Only stored files remain: no temporary file is left behind.
    for (const QString& entry : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(entry.endsWith(".part")) << entry.toStdString();
}

TEST(IncomingMessage, KeepsOnlyTheNameInMemory)
{
    QTemporaryDir dir;
    ReceivedFileLedger ledger(dir.path());
    IncomingMessage message(dir.path(), ledger);
    ASSERT_EQ(message.Append("besar.txt | "), "");
    const QByteArray block(1 << 20, 'F');
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(message.Append(block), "");
    EXPECT_EQ(message.HeldInMemory(), 12);
    const auto stored = message.Store({});
    ASSERT_EQ(stored.error, "");
    EXPECT_EQ(QFileInfo(QDir(dir.path()).filePath("besar.txt")).size(), 8 << 20);
}

// The same across the memory limit: names that outgrow it, folder parts
// before the last part, a last part around the longest file name, the
// separator and a second one anywhere.
TEST(IncomingMessage, AgreesWithParseMessageAcrossTheMemoryLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qsizetype kHeld = IncomingMessage::kMaxHeldBytes;
    const qsizetype lengths[] = {0, 1, 255, 256, 300, kHeld - 3, kHeld - 1, kHeld, kHeld + 1, kHeld + 2, 3 * kHeld + 7};
    QRandomGenerator random(2026);
    int longNames = 0;
    for (int round = 0; round < 60; ++round) {
        const qsizetype length = lengths[random.bounded(int(std::size(lengths)))];
        QByteArray data(length, 'n');
        // A folder part so far from the end that the last part is about a
        // file name's length, or none.
        if (length > 0 && random.bounded(3) > 0) {
            const qsizetype lastPart = std::min<qsizetype>(length - 1, 250 + random.bounded(10));
            data[length - 1 - lastPart] = random.bounded(2) ? '/' : '\\';
        }
        const int separators = random.bounded(3);
        for (int i = 0; i < separators; ++i)
            data += " | " + QByteArray(random.bounded(2) ? 5 : int(kHeld), 'F');
        ReceivedFileLedger ledger(dir.path());
        IncomingMessage message(dir.path(), ledger);
        for (qsizetype at = 0; at < data.size();) {
            const qsizetype piece = std::min<qsizetype>(1 + random.bounded(random.bounded(2) ? 4 : 40'000),
                                                        data.size() - at);
            ASSERT_EQ(message.Append(QByteArrayView(data).sliced(at, piece)), "");
            ASSERT_LE(message.HeldInMemory(), kHeld);
            at += piece;
        }
        const auto stored = message.Store([] { return QStringLiteral("sebelum.txt"); });
        ASSERT_EQ(stored.error, "") << round;

        const ParsedMessage expected = ParseMessage(data);
        const QString name = expected.hasName ? StoredFileName(FromWireBytes(expected.name))
                                              : QStringLiteral("sebelum.txt");
        ASSERT_EQ(stored.name, name) << round << " length " << length;
        ASSERT_TRUE(ReadFile(QDir(dir.path()).filePath(name)) == expected.content) << round;
        ASSERT_TRUE(QFile::remove(QDir(dir.path()).filePath(name)));
        longNames += expected.hasName && expected.name.size() > kHeld;
    }
    EXPECT_GT(longNames, 3);
    for (const QString& entry : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(entry.endsWith(".part")) << entry.toStdString();
}

// A peer's 64 MiB name with the separator only at its end.
TEST(IncomingMessage, ANameOfManyMegabytesIsNotHeldInMemory)
{
    QTemporaryDir dir;
    ReceivedFileLedger ledger(dir.path());
    IncomingMessage message(dir.path(), ledger);
    const QByteArray block(1 << 20, 'n');
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(message.Append(block), "");
        ASSERT_LE(message.HeldInMemory(), IncomingMessage::kMaxHeldBytes) << i;
    }
    ASSERT_EQ(message.Append("/akhir.txt | 0A1B"), "");
    EXPECT_LE(message.HeldInMemory(), IncomingMessage::kMaxHeldBytes);
    const auto stored = message.Store({});
    ASSERT_EQ(stored.error, "");
    EXPECT_EQ(stored.name, "akhir.txt");
    EXPECT_EQ(ReadFile(QDir(dir.path()).filePath("akhir.txt")), "0A1B");
}

TEST(IncomingMessage, AFolderThatIsGoneIsAnErrorNotACrash)
{
    QTemporaryDir dir;
    const QString gone = QDir(dir.path()).filePath("hilang");
    ReceivedFileLedger ledger(gone);
    IncomingMessage withName(gone, ledger);
    EXPECT_NE(withName.Append("a.txt | 0A"), "");
    IncomingMessage withoutName(gone, ledger);
    EXPECT_EQ(withoutName.Append("0A"), "") << "held in memory until the end";
    const auto stored = withoutName.Store({});
    EXPECT_NE(stored.error, "");
    EXPECT_EQ(stored.name, "");
}

} // namespace
