// The window over the real Triple-DES engine.
#include "app/EditorText.h"
#include "app/EngineCipher.h"
#include "tests/app/MainWindowFixture.h"

#include "cipher/engine/TripleDesEngine.h"
#include "codepage/CodePage.h"

namespace karsidan::test {
namespace {

class MainWindowEngine : public MainWindowFixture {
protected:
    MainServices MakeServices() override { return MainServices{RunTripleDes, &dialog, &messages}; }

    QString Run(const char* button)
    {
        Click(button);
        EXPECT_TRUE(WaitIdle());
        return window->TargetText();
    }
};

TEST_F(MainWindowEngine, EncryptEqualsTheEngineAndDecryptRestoresTheText)
{
    const QString text = QString::fromUtf8("Pertemuan jam 10 di caf\xc3\xa9 \xe2\x82\xac"
                                           "5\nBaris kedua\n\nakhir");
    const std::string bytes = "Pertemuan jam 10 di caf\xe9 \x80"
                              "5\r\nBaris kedua\r\n\r\nakhir";
    Source()->setPlainText(text);
    SetKeys(QString::fromUtf8("k\xc3\xa9y1"), "kunci 2", "tiga333");

    const QString cipherText = Run("cmdEncrypt");
    const std::string expected = TripleDesEngine{}.TripleDesEncrypt(
        bytes, TripleDesKeys::FromCodePage("k\xe9y1", "kunci 2", "tiga333"));
    EXPECT_EQ(cipherText.toStdString(), expected);
    EXPECT_EQ(cipherText.size() % 16, 0);
    EXPECT_TRUE(messages.warnings.empty());

    // Through a file, as a received cipher text would come.
    const QString path = PathOf("cipher.txt");
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(path).toStdString(), expected);
    dialog.answers.push_back(path);
    Trigger("mnuOpen");
    EXPECT_EQ(Run("cmdDecrypt"), QString(text).replace("\n", "\r\n"));
    EXPECT_EQ(Target()->toPlainText(), text);
}

TEST_F(MainWindowEngine, DecryptNeedsTheKeysInTheirBoxes)
{
    Source()->setPlainText("rahasia kecil");
    SetKeys("satu", "dua", "tiga");
    const QString cipherText = Run("cmdEncrypt");
    Source()->setPlainText(cipherText);
    SetKeys("tiga", "dua", "satu");
    EXPECT_NE(Run("cmdDecrypt"), "rahasia kecil");
    SetKeys("satu", "dua", "tiga");
    EXPECT_EQ(Run("cmdDecrypt"), "rahasia kecil");
}

TEST_F(MainWindowEngine, NotACipherTextStopsWithAMessageAndLeavesNoStaleResult)
{
    for (const char* source : {"bukan teks sandi", "0123456789ABCDE", "0123 4567 89AB CDEZ"}) {
        messages.warnings.clear();
        Source()->setPlainText(source);
        Target()->setPlainText("0123456789ABCDEF");
        SetKeys("1", "2", "3");
        Run("cmdDecrypt");
        ASSERT_EQ(messages.warnings.size(), 1u) << source;
        EXPECT_FALSE(messages.warnings[0].text.isEmpty());
        EXPECT_TRUE(Target()->toPlainText().isEmpty()) << source;
    }
    // Lower case and white space are a cipher text still.
    Source()->setPlainText("ab");
    SetKeys("1", "2", "3");
    const QString upper = Run("cmdEncrypt");
    Source()->setPlainText(upper.toLower().insert(8, "\n "));
    messages.warnings.clear();
    EXPECT_EQ(Run("cmdDecrypt"), "ab");
    EXPECT_TRUE(messages.warnings.empty());
}

} // namespace
} // namespace karsidan::test
