#include "net/MessageFormat.h"

#include <QList>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using karsidan::net::ComposeMessage;
using karsidan::net::ParseMessage;

namespace {

TEST(ParseMessage, SplitsAtTheOneSeparator)
{
    const auto m = ParseMessage("cipher.txt | 0A1B");
    EXPECT_TRUE(m.hasName);
    EXPECT_EQ(m.name, "cipher.txt");
    EXPECT_EQ(m.content, "0A1B");
}

TEST(ParseMessage, EmptyNameOrEmptyContentStillCarryAName)
{
    const auto noName = ParseMessage(" | 0A1B");
    EXPECT_TRUE(noName.hasName);
    EXPECT_EQ(noName.name, "");
    EXPECT_EQ(noName.content, "0A1B");

    const auto noContent = ParseMessage("cipher.txt | ");
    EXPECT_TRUE(noContent.hasName);
    EXPECT_EQ(noContent.name, "cipher.txt");
    EXPECT_EQ(noContent.content, "");

    const auto bare = ParseMessage(" | ");
    EXPECT_TRUE(bare.hasName);
    EXPECT_EQ(bare.name, "");
    EXPECT_EQ(bare.content, "");
}

TEST(ParseMessage, NoSeparatorGivesTheWholeDataWithoutName)
{
    for (const QByteArray& data : {QByteArray("0A1B"), QByteArray("a|b"), QByteArray("a |b"), QByteArray("a| b"),
                                   QByteArray(""), QByteArray(" |"), QByteArray("a\t|\tb")}) {
        const auto m = ParseMessage(data);
        EXPECT_FALSE(m.hasName) << data.constData();
        EXPECT_TRUE(m.name.isEmpty());
        EXPECT_EQ(m.content, data);
    }
}

TEST(ParseMessage, TwoOrMoreSeparatorsGiveTheWholeDataUnchanged)
{
    for (const QByteArray& data :
         {QByteArray("a | b | c"), QByteArray(" |  | "), QByteArray("x | y | z | w"), QByteArray("a |  | b")}) {
        const auto m = ParseMessage(data);
        EXPECT_FALSE(m.hasName) << data.constData();
        EXPECT_EQ(m.content, data);
    }
}

TEST(ParseMessage, OverlappingSeparatorsCountOnceFromTheLeft)
{
    // " | | " holds " | " twice only if the middle space is shared.
    const auto m = ParseMessage("a | | b");
    EXPECT_TRUE(m.hasName);
    EXPECT_EQ(m.name, "a");
    EXPECT_EQ(m.content, "| b");
}

TEST(ParseMessage, KeepsEveryByteOfNameAndContent)
{
    QByteArray name("C:\\x\\\xB7\x00.txt", 11);
    QByteArray body("\r\n\x00\xFF 0A", 7);
    const auto m = ParseMessage(ComposeMessage(name, body));
    EXPECT_TRUE(m.hasName);
    EXPECT_EQ(m.name, name);
    EXPECT_EQ(m.content, body);
}

TEST(ComposeMessage, JoinsNameSeparatorAndBody)
{
    EXPECT_EQ(ComposeMessage("x.txt", "0A1B"), QByteArray("x.txt | 0A1B"));
    EXPECT_EQ(ComposeMessage("x.txt", "0A1B").size(), 12);
    EXPECT_EQ(ComposeMessage("C:\\x\\c.txt", "0A1B"), QByteArray("C:\\x\\c.txt | 0A1B"));
    EXPECT_EQ(ComposeMessage("", ""), QByteArray(" | "));
    EXPECT_EQ(ComposeMessage(" a ", " b "), QByteArray(" a  |  b "));
}

// Splitting the way a plain left-to-right split does, piece by piece.
QList<QByteArray> ReferenceSplit(const QByteArray& data)
{
    QList<QByteArray> pieces;
    QByteArray piece;
    for (qsizetype i = 0; i < data.size();) {
        if (data.mid(i, 3) == " | ") {
            pieces.append(piece);
            piece.clear();
            i += 3;
        } else {
            piece.append(data.at(i++));
        }
    }
    pieces.append(piece);
    return pieces;
}

TEST(ParseMessage, AgreesWithAPlainSplitOnRandomData)
{
    // A small alphabet makes separators, near misses and overlaps common.
    const char alphabet[] = {' ', '|', 'A', '\\', '\xB7', '\0'};
    QRandomGenerator random(20261207);
    int named = 0;
    for (int round = 0; round < 5000; ++round) {
        QByteArray data;
        const int length = random.bounded(16);
        for (int i = 0; i < length; ++i)
            data.append(alphabet[random.bounded(int(sizeof alphabet))]);
        const auto pieces = ReferenceSplit(data);
        const auto m = ParseMessage(data);
        ASSERT_EQ(m.hasName, pieces.size() == 2) << data.toHex().constData();
        if (m.hasName) {
            ++named;
            ASSERT_EQ(m.name, pieces[0]);
            ASSERT_EQ(m.content, pieces[1]);
            ASSERT_EQ(ComposeMessage(m.name, m.content), data);
        } else {
            ASSERT_EQ(m.content, data);
        }
    }
    EXPECT_GT(named, 100);
}

} // namespace
