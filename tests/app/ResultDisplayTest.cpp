// Results shown a slice at a time read back exactly as if shown at once,
// and nobody reads a half-shown result.
#include "app/ResultDisplay.h"
#include "app/EditorText.h"
#include "app/EngineCipher.h"
#include "tests/app/MainWindowFixture.h"

#include "cipher/engine/TripleDesEngine.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>

#include <cstdint>
#include <string>

namespace karsidan::test {
namespace {

QString LongText(qsizetype n, bool withLines)
{
    QString text;
    text.reserve(n);
    for (qsizetype i = 0; text.size() < n; ++i) {
        text += QString::number(i * 7919, 16).toUpper();
        if (withLines && i % 97 == 0)
            text += QLatin1Char('\n');
        else if (withLines && i % 13 == 0)
            text += QLatin1Char(' ');
    }
    return text;
}

TEST(ResultDisplay, ReadsBackAsTheSameTextWhateverItsShape)
{
    QTextEdit atOnce;
    QTextEdit sliced;
    ResultDisplay display(sliced);
    const QStringList texts = {
        QString(),
        QStringLiteral("satu baris"),
        QStringLiteral("dua\nbaris\n"),
        QStringLiteral("\n\n\n"),
        LongText(ResultDisplay::kAtOnce + 1, false), // one line of megabytes in rows
        LongText(300 * 1024, true), // many lines, some long
        QString(EditorText::kLongLine + 1, QLatin1Char('A')) + QStringLiteral("\nekor"),
    };
    for (const QString& text : texts) {
        EditorText::SetPlainText(atOnce, text);
        QSignalSpy shown(&display, &ResultDisplay::Shown);
        display.Show(text);
        ASSERT_TRUE(shown.count() == 1 || shown.wait(20000)) << text.size();
        EXPECT_FALSE(display.IsShowing());
        EXPECT_EQ(EditorText::PlainText(*sliced.document()), EditorText::PlainText(*atOnce.document()))
            << "length " << text.size();
        EXPECT_EQ(sliced.document()->blockCount(), atOnce.document()->blockCount());
        EXPECT_TRUE(sliced.document()->isUndoRedoEnabled());
    }
}

TEST(ResultDisplay, ALongResultGivesTheLoopItsTurnAndFinishCompletesIt)
{
    QTextEdit editor;
    ResultDisplay display(editor);
    const QString text = LongText(2 * 1024 * 1024, false);
    display.Show(text);
    ASSERT_TRUE(display.IsShowing()) << "2 MiB must not be shown in one step";
    EXPECT_LT(editor.document()->characterCount(), text.size());

    display.Finish();
    EXPECT_FALSE(display.IsShowing());
    QString expected = text;
    EXPECT_EQ(EditorText::PlainText(*editor.document()), expected);

    // A new result replaces a pending one; Clear drops it.
    display.Show(text);
    display.Show(QStringLiteral("pendek"));
    EXPECT_EQ(editor.toPlainText(), "pendek");
    display.Show(text);
    display.Clear();
    EXPECT_FALSE(display.IsShowing());
    EXPECT_TRUE(editor.document()->isEmpty());
}

class MainWindowLongResult : public MainWindowFixture {
protected:
    MainServices MakeServices() override { return MainServices{RunTripleDes, &dialog, &messages}; }
};

TEST_F(MainWindowLongResult, TheWholeCipherTextIsShownSavedAndSentAsTheEngineMadeIt)
{
    // 1 MiB of text gives 2 MiB of digits.
    std::string bytes(1024 * 1024, 'x');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char('a' + (i * 31) % 26);
    Source()->setPlainText(QString::fromLatin1(bytes));
    SetKeys("satu", "dua", "tiga");
    const std::string expected = TripleDesEngine{}.TripleDesEncrypt(bytes,
                                                                    TripleDesKeys::FromCodePage("satu", "dua", "tiga"));
    ASSERT_EQ(expected.size(), 2u * 1024 * 1024);

    Click("cmdEncrypt");
    // Save as soon as the result starts to show: it must hold all of it.
    ASSERT_TRUE(WaitUntil([this] { return !Target()->document()->isEmpty() || !window->IsBusy(); }, 60000));
    const QString path = PathOf("hasil.txt");
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(path).size(), qsizetype(expected.size()));
    EXPECT_TRUE(ReadBytes(path).toStdString() == expected);

    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(window->TargetText().toStdString() == expected);
    EXPECT_TRUE(messages.warnings.empty());
}

} // namespace
} // namespace karsidan::test

namespace karsidan::test {
namespace {

TEST(ResultDisplayCipherText, ALongCipherTextGoesInAsBlocksOfWholeRowsAndReadsBackTheSame)
{
    QTextEdit editor;
    editor.resize(249, 241);
    ResultDisplay display(editor);
    QString hex;
    for (int i = 0; hex.size() < 3 * 1024 * 1024; ++i)
        hex += QString::number(0x10000000u + std::uint32_t(i) * 2654435761u, 16).toUpper();
    QSignalSpy shown(&display, &ResultDisplay::Shown);
    QSignalSpy progress(&display, &ResultDisplay::Progress);
    display.Show(hex, ResultDisplay::Shape::CipherText);
    EXPECT_TRUE(display.IsShowing()) << "megabytes are not put in one step";
    ASSERT_TRUE(shown.count() == 1 || shown.wait(20000));
    EXPECT_FALSE(display.IsShowing());
    EXPECT_EQ(EditorText::PlainText(*editor.document()), hex);
    for (const QList<QVariant>& report : progress)
        EXPECT_LT(report.at(0).toInt(), 100);

    // Thousands of blocks, not a block per row, and each block whole rows.
    const qsizetype row = ResultDisplay::RowCharacters(editor);
    EXPECT_LT(editor.document()->blockCount(), hex.size() / row / 50);
    for (QTextBlock block = editor.document()->begin(); block.next().isValid(); block = block.next())
        ASSERT_EQ(block.text().size() % row, 0) << "block " << block.blockNumber();
    EXPECT_EQ(editor.wordWrapMode(), QTextOption::WrapAnywhere);

    // A text result wraps at words again; Finish completes a pending one.
    display.Show(hex, ResultDisplay::Shape::CipherText);
    display.Finish();
    EXPECT_EQ(EditorText::PlainText(*editor.document()), hex);
    display.Show(QStringLiteral("kata demi kata"));
    EXPECT_EQ(editor.wordWrapMode(), QTextOption::WordWrap);
    EXPECT_EQ(editor.toPlainText(), "kata demi kata");
    EXPECT_TRUE(editor.document()->isUndoRedoEnabled());
}

} // namespace
} // namespace karsidan::test
