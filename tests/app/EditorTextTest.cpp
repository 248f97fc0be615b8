#include "app/EditorText.h"

#include "codepage/CodePage.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextDocument>

#include <gtest/gtest.h>

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

} // namespace
} // namespace karsidan
