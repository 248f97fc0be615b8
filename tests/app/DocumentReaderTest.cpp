#include "app/DocumentReader.h"

#include <QTextEdit>

#include <gtest/gtest.h>

#include <random>

namespace karsidan {
namespace {

TEST(DocumentReader, PlainTextIsUtf8WhenValidElseCodePage)
{
    EXPECT_EQ(DocumentReader::DecodePlainText("plain ascii"), "plain ascii");
    EXPECT_EQ(DocumentReader::DecodePlainText("\xc3\xa9t\xc3\xa9"), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(DocumentReader::DecodePlainText("\xef\xbb\xbfx"), "x");
    EXPECT_EQ(DocumentReader::DecodePlainText("\xe9t\xe9"), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
    // A lone lead byte makes the whole file code page, not a partial UTF-8.
    EXPECT_EQ(DocumentReader::DecodePlainText("\xc3\xa9 \xc3"), QString::fromUtf8("\xc3\x83\xc2\xa9 \xc3\x83"));
    EXPECT_EQ(DocumentReader::DecodePlainText("a\r\nb\rc"), "a\nb\nc");
    EXPECT_EQ(DocumentReader::DecodePlainText(QByteArray()), "");
}

TEST(DocumentReader, EmbeddedNulAndControlBytesAreKept)
{
    const QByteArray data("a\0b\x01", 4);
    const QString text = DocumentReader::DecodePlainText(data);
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[1], QChar(0));
    EXPECT_EQ(text[3], QChar(1));
}

TEST(DocumentReader, RandomBytesAlwaysLoad)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray data;
        const int size = int(random() % 300);
        for (int i = 0; i < size; ++i)
            data += char(random() % 256);
        QTextEdit editor;
        DocumentReader::Read(data, editor);
        EXPECT_EQ(editor.toPlainText().isEmpty(), data.isEmpty() || data == "\xef\xbb\xbf");
    }
}

} // namespace
} // namespace karsidan
