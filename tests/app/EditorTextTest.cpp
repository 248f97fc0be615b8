#include "app/EditorText.h"

#include "codepage/CodePage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>

namespace karsidan {
namespace {

TEST(EditorText, EveryCodePageByteSurvivesTheEditorRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    QTextDocument document;
    document.setPlainText(EditorText::FromCodePage(all));
    EXPECT_EQ(EditorText::ToCodePage(EditorText::PlainText(document)), all);
}

TEST(EditorText, ParagraphsAndLineSeparatorsBecomeCrLf)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("one");
    cursor.insertBlock();
    cursor.insertText(QString("two") + QChar(QChar::LineSeparator) + "three");
    cursor.insertBlock();
    EXPECT_EQ(EditorText::PlainText(document), "one\r\ntwo\r\nthree\r\n");
}

TEST(EditorText, LongLinesAreSplitForShowingButReadBackWhole)
{
    QString hex;
    for (int i = 0; i < 10000; ++i)
        hex += QChar("0123456789ABCDEF"[i % 16]);
    QString prose;
    while (prose.size() < 6000)
        prose += "kata demi kata ";
    const QString text = hex + "\nshort line\n\n" + prose + "\n" + hex.left(EditorText::kLongLine);

    QTextDocument document;
    EditorText::SetPlainText(document, text, 50);
    QString expected = text;
    expected.replace("\n", "\r\n");
    EXPECT_EQ(EditorText::PlainText(document), expected);
    EXPECT_GT(document.blockCount(), 200 + 6000 / 50);

    int continuations = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.userState() != EditorText::kContinuation)
            continue;
        ++continuations;
        EXPECT_LE(block.text().size(), 50);
        const QTextBlock before = block.previous();
        if (before.text().contains(' ')) {
            EXPECT_TRUE(before.text().endsWith(' ')) << "a word was cut";
        }
    }
    EXPECT_GT(continuations, 200);

    // Writing the same document again leaves no stale marks behind.
    EditorText::SetPlainText(document, "a\nb", 50);
    EXPECT_EQ(EditorText::PlainText(document), "a\r\nb");
}

TEST(EditorText, EditorRowLengthFitsTheViewport)
{
    QTextEdit editor;
    editor.resize(249, 241);
    editor.setFont(QFont("DejaVu Sans Mono", 9));
    const qsizetype narrow = EditorText::RowLength(editor);
    editor.resize(498, 241);
    EXPECT_GT(EditorText::RowLength(editor), narrow);
    EXPECT_GE(narrow, 16);
}

TEST(EditorText, IncomingLineBreaksOfEveryKindBecomeOne)
{
    EXPECT_EQ(EditorText::FromCodePage("a\r\nb\rc\nd\r\r\ne\n\r"), "a\nb\nc\nd\n\ne\n\n");
    EXPECT_EQ(EditorText::NormalizeLineBreaks("\r"), "\n");
    EXPECT_EQ(EditorText::NormalizeLineBreaks("no breaks"), "no breaks");
}

TEST(EditorText, UnmappableCharacterIsNamedNotReplaced)
{
    try {
        EditorText::ToCodePage(QString::fromUtf8("ok \xf0\x9f\x94\x92"));
        FAIL() << "expected an error";
    } catch (const UnmappableCharacterError& e) {
        EXPECT_EQ(e.character(), U'\U0001F512');
        EXPECT_EQ(e.position(), 3u);
    }
}

QString RefusalOf(const QString& text)
{
    try {
        EditorText::ToCodePage(text);
    } catch (const UnmappableCharacterError& e) {
        return EditorText::UnmappableMessage(text, e);
    }
    ADD_FAILURE() << "no refusal for " << text.toStdString();
    return {};
}

TEST(EditorText, RefusalCountsPositionsAsTheEditorShowsThem)
{
    // Line breaks reach the code page as CR LF but are one character on screen.
    EXPECT_EQ(RefusalOf(QString::fromUtf8("ab\r\ncd\xe2\x96\xaa")),
              QString::fromUtf8("Karakter \"\xe2\x96\xaa\" (U+25AA) pada posisi 6 tidak dapat ditulis "
                                "dalam kode halaman Windows-1252"));
    EXPECT_TRUE(RefusalOf(QString::fromUtf8("\r\n\r\nx\xe2\x9c\x93")).contains("posisi 4"));
    EXPECT_TRUE(RefusalOf(QString::fromUtf8("\r\n\xf0\x9f\x98\x80")).contains("\" (U+1F600) pada posisi 2 "));
    EXPECT_TRUE(RefusalOf(QString::fromUtf8("\xe2\x9c\x93")).contains("posisi 1"));
}

TEST(EditorText, CharactersWithoutAVisibleGlyphAreDescribedInWords)
{
    // A symbol-font character without an equivalent shows as a box.
    const QString symbol = RefusalOf(QString(QChar(0xF0E0)));
    EXPECT_TRUE(symbol.startsWith("Karakter simbol U+F0E0 dari huruf simbol")) << symbol.toStdString();
    EXPECT_FALSE(symbol.contains(QChar(0xF0E0)));
    // Blanks, format characters and lone marks show nothing recognisable.
    for (const char32_t invisible : {U'\u2003', U'\u200B', U'\u0301', U'\U000E0001', U'\U0010FFFD'}) {
        const QString text = EditorText::DescribeCharacter(invisible);
        EXPECT_TRUE(text.startsWith("tak terlihat U+") || text.startsWith("simbol U+")) << text.toStdString();
        EXPECT_FALSE(text.contains(QString::fromUcs4(&invisible, 1))) << text.toStdString();
    }
    EXPECT_EQ(EditorText::DescribeCharacter(U'\u6F22'), QString::fromUtf8("\"\xe6\xbc\xa2\" (U+6F22)"));
    EXPECT_EQ(EditorText::DescribeCharacter(U'\U0001F512'), QString::fromUtf8("\"\xf0\x9f\x94\x92\" (U+1F512)"));
}

} // namespace
} // namespace karsidan

namespace karsidan::test {
namespace {

// Block by block, as the text was read before it was read whole.
QString PlainTextByBlocks(const QTextDocument& document)
{
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin() && block.userState() != EditorText::kContinuation)
            text += QLatin1String("\r\n");
        for (QChar c : block.text())
            text += c == QChar::LineSeparator || c == u'\n' ? QStringLiteral("\r\n") : QString(c);
    }
    return text;
}

TEST(EditorTextWhole, ReadsAsBlockByBlockWhateverTheBlocksHold)
{
    const QChar pieces[] = {u'a', u' ', QChar(0xA0), QChar::LineSeparator, u'\u00E9', u'\t', QChar(0x20AC)};
    std::uint32_t seed = 2026;
    for (int round = 0; round < 200; ++round) {
        QTextDocument document;
        QTextCursor cursor(&document);
        const int blocks = 1 + int(seed % 7);
        for (int b = 0; b < blocks; ++b) {
            if (b != 0)
                cursor.insertBlock();
            seed = seed * 1103515245u + 12345u;
            const int length = int(seed >> 20) % 9;
            QString text;
            for (int i = 0; i < length; ++i) {
                seed = seed * 1103515245u + 12345u;
                text += pieces[(seed >> 16) % std::size(pieces)];
            }
            cursor.insertText(text);
            seed = seed * 1103515245u + 12345u;
            cursor.block().setUserState((seed >> 16) % 3 == 0 ? EditorText::kContinuation : -1);
        }
        EXPECT_EQ(EditorText::PlainText(document), PlainTextByBlocks(document)) << "round " << round;
    }
}

} // namespace
} // namespace karsidan::test
