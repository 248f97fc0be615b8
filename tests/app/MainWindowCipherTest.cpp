// Encrypt and decrypt from the window: key check, what reaches the engine,
// the busy state, failures.
#include "app/EditorText.h"
#include "tests/app/MainWindowFixture.h"

#include <QProgressBar>
#include <QToolBar>

namespace karsidan::test {
namespace {

using MainWindowCipher = MainWindowFixture;

TEST_F(MainWindowCipher, FirstBlankKeyIsReportedAndFocused)
{
    struct Case {
        QString keys[3];
        int blank; // 1-based
    };
    const Case cases[] = {
        {{"", "", ""}, 1},        {{"k1", "", ""}, 2},
        {{"k1", "k2", ""}, 3},    {{"k1", "k2", "    "}, 3}, // spaces only count as blank
        {{"   ", "k2", "k3"}, 1},
    };
    for (const Case& c : cases) {
        messages.warnings.clear();
        Target()->setPlainText("unchanged");
        SetKeys(c.keys[0], c.keys[1], c.keys[2]);
        Click("cmdEncrypt");
        ASSERT_EQ(messages.warnings.size(), 1u);
        EXPECT_EQ(messages.warnings[0].text, QString("Silahkan Isi Kunci %1").arg(c.blank));
        EXPECT_EQ(messages.warnings[0].title, window->windowTitle());
        EXPECT_EQ(window->focusWidget(), Key(c.blank - 1));
        EXPECT_FALSE(window->IsBusy());
        EXPECT_EQ(Target()->toPlainText(), "unchanged");
    }
    EXPECT_TRUE(cipher.Requests().empty());

    // A tab is a key character, not a blank.
    SetKeys("\t", "k2", "k3");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(cipher.Requests().size(), 1u);
}

TEST_F(MainWindowCipher, AKeyTheCodePageCannotHoldIsNamedAndFocused)
{
    Target()->setPlainText("unchanged");
    SetKeys("k1", QString::fromUtf8("k\xd0\xb6"), "k3"); // Cyrillic zhe
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_TRUE(messages.warnings[0].text.startsWith("Kunci 2 tidak dapat dipakai. Karakter"))
        << messages.warnings[0].text.toStdString();
    EXPECT_TRUE(messages.warnings[0].text.contains("U+0436"));
    EXPECT_TRUE(messages.warnings[0].text.endsWith("."));
    EXPECT_EQ(window->focusWidget(), Key(1));
    EXPECT_FALSE(window->IsBusy());
    EXPECT_TRUE(Target()->toPlainText().isEmpty()) << "a refusal leaves no earlier result to save";
    EXPECT_TRUE(cipher.Requests().empty());
}

TEST_F(MainWindowCipher, EngineGetsCodePageBytesWithCrLfAndKeysInBoxOrder)
{
    Source()->setPlainText(QString::fromUtf8("Baris satu caf\xc3\xa9\nBaris\xc2\xa0"
                                             "dua"));
    SetKeys(QString::fromUtf8("kunci\xc3\xa9"), " k2 ", "k3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    const auto requests = cipher.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].direction, CipherDirection::Encrypt);
    // Non-breaking space stays 0xA0; the line break becomes CR LF.
    EXPECT_EQ(requests[0].text,
              "Baris satu caf\xe9\r\nBaris\xa0"
              "dua");
    // The key object holds the effective keys: code-page bytes, trimmed,
    // completed with 0xB7.
    ASSERT_TRUE(requests[0].keys.has_value());
    EXPECT_EQ(requests[0].keys->Effective(1), 0x6B756E6369E9B7B7ull);
    EXPECT_EQ(requests[0].keys->Effective(2), 0x6B32B7B7B7B7B7B7ull);
    EXPECT_EQ(requests[0].keys->Effective(3), 0x6B33B7B7B7B7B7B7ull);
    EXPECT_EQ(Target()->toPlainText().toStdString(), ScriptedCipher::ToHex(requests[0].text));
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(MainWindowCipher, DecryptedLineBreaksOfEveryKindShowAsLines)
{
    Source()->setPlainText(QString::fromStdString(ScriptedCipher::ToHex("a\r\nb\rc\nd")));
    SetKeys("1", "2", "3");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(cipher.Requests().at(0).direction, CipherDirection::Decrypt);
    EXPECT_EQ(Target()->toPlainText(), "a\nb\nc\nd");
    EXPECT_EQ(Target()->document()->blockCount(), 4);
}

TEST_F(MainWindowCipher, UnmappableCharacterStopsWithItsName)
{
    Source()->setPlainText(QString::fromUtf8("halo \xe6\xbc\xa2"));
    SetKeys("1", "2", "3");
    Target()->setPlainText("0123456789ABCDEF");
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_TRUE(messages.warnings[0].text.contains(QString::fromUtf8("\xe6\xbc\xa2"))
                && messages.warnings[0].text.contains("U+6F22"))
        << messages.warnings[0].text.toStdString();
    EXPECT_TRUE(cipher.Requests().empty());
    EXPECT_FALSE(window->IsBusy());
    EXPECT_TRUE(Target()->toPlainText().isEmpty());

    Source()->setPlainText("halo");
    Target()->setPlainText("0123456789ABCDEF");
    SetKeys("1", QString::fromUtf8("\xe2\x82\xac\xe2\x9c\x93"), "3"); // euro fits, check mark does not
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 2u);
    EXPECT_TRUE(messages.warnings[1].text.startsWith("Kunci 2"));
    EXPECT_TRUE(messages.warnings[1].text.contains("posisi 2"));
    EXPECT_EQ(window->focusWidget(), Key(1));
    EXPECT_TRUE(cipher.Requests().empty());
    EXPECT_TRUE(Target()->toPlainText().isEmpty());
}

TEST_F(MainWindowCipher, RefusalLeavesNoStaleResultToSave)
{
    // A first document encrypts; the second cannot.
    Source()->setPlainText("dokumen pertama");
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_FALSE(Target()->toPlainText().isEmpty());

    Source()->setPlainText(QString::fromUtf8("dokumen\nkedua \xe2\x96\xaa"));
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    // The position is the one the editor shows: the line break counts once.
    EXPECT_EQ(messages.warnings[0].text,
              QString::fromUtf8("Teks sumber tidak dapat diproses. Karakter \"\xe2\x96\xaa\" (U+25AA) "
                                "pada posisi 15 tidak dapat ditulis dalam kode halaman Windows-1252."));
    EXPECT_EQ(Source()->toPlainText().indexOf(QString::fromUtf8("\xe2\x96\xaa")) + 1, 15);
    EXPECT_TRUE(Target()->toPlainText().isEmpty());
    EXPECT_EQ(cipher.Requests().size(), 1u);

    // Saving now writes nothing of the first document's cipher text.
    const QString path = PathOf("hasil.txt");
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(path), QByteArray());

    // A blank key refuses before anything runs and keeps the result.
    Target()->setPlainText("0123456789ABCDEF");
    SetKeys("1", "", "3");
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 2u);
    EXPECT_EQ(messages.warnings[1].text, "Silahkan Isi Kunci 2");
    EXPECT_EQ(Target()->toPlainText(), "0123456789ABCDEF");
}

TEST_F(MainWindowCipher, SymbolWithoutEquivalentIsDescribedNotShown)
{
    Source()->setPlainText(QString("a") + QChar(0xF0E0));
    SetKeys("1", "2", "3");
    Click("cmdDecrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    const QString text = messages.warnings[0].text;
    EXPECT_TRUE(text.contains("simbol U+F0E0") && text.contains("posisi 2")) << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0xF0E0)));
}

TEST_F(MainWindowCipher, EngineFailureBecomesAMessageAndEmptiesTheResult)
{
    cipher.FailWith("Teks sandi tidak sah");
    Source()->setPlainText("XYZ");
    Target()->setPlainText("previous result");
    SetKeys("1", "2", "3");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].text, "Teks sandi tidak sah");
    // What was there belongs to an earlier run; it must not be saved for this one.
    EXPECT_TRUE(Target()->toPlainText().isEmpty());
    EXPECT_EQ(Source()->toPlainText(), "XYZ");
    EXPECT_TRUE(Find<QPushButton>("cmdDecrypt")->isEnabled());
    EXPECT_NE(window->cursor().shape(), Qt::WaitCursor);
}

TEST_F(MainWindowCipher, BusyWindowLocksCommandsAndRefusesToClose)
{
    window->show();
    cipher.Close();
    EditorText::SetPlainText(*Source(), QString(frmMain::kProgressThreshold, QLatin1Char('a')));
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitUntil([this] { return cipher.Requests().size() == 1; }));

    EXPECT_TRUE(window->IsBusy());
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    EXPECT_FALSE(Find<QPushButton>("cmdEncrypt")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("cmdDecrypt")->isEnabled());
    EXPECT_FALSE(Find<QAction>("mnuNew")->isEnabled());
    EXPECT_FALSE(Find<QAction>("mnuOpen")->isEnabled());
    EXPECT_FALSE(Find<QAction>("tlbNew")->isEnabled());
    EXPECT_FALSE(Find<QAction>("tlbOpen")->isEnabled());
    EXPECT_TRUE(Source()->isReadOnly());
    EXPECT_TRUE(Find<QProgressBar>("prgTransform")->isVisible());

    EXPECT_FALSE(window->close());
    Trigger("mnuExit");
    EXPECT_TRUE(window->isVisible());

    // A second click and New while busy change nothing.
    Click("cmdDecrypt");
    Trigger("mnuNew");
    EXPECT_EQ(Key(0)->text(), "1");
    EXPECT_EQ(cipher.Requests().size(), 1u);

    cipher.Open();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(EditorText::PlainText(*Target()->document()).size(), 2 * qsizetype(frmMain::kProgressThreshold));
    EXPECT_TRUE(Find<QPushButton>("cmdEncrypt")->isEnabled());
    EXPECT_TRUE(Find<QAction>("tlbOpen")->isEnabled());
    EXPECT_FALSE(Source()->isReadOnly());
    EXPECT_FALSE(Find<QProgressBar>("prgTransform")->isVisible());
    EXPECT_NE(window->cursor().shape(), Qt::WaitCursor);
    window->close();
    EXPECT_TRUE(WaitUntil([this] { return !window->isVisible(); }, 2000)) << "idle: the close goes ahead";
}

TEST_F(MainWindowCipher, ShortTextShowsNoProgressBar)
{
    window->show();
    cipher.Close();
    Source()->setPlainText("pendek");
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitUntil([this] { return cipher.Requests().size() == 1; }));
    EXPECT_TRUE(window->IsBusy());
    EXPECT_FALSE(Find<QProgressBar>("prgTransform")->isVisible());
}

TEST_F(MainWindowCipher, EmptySourceStillRunsTheTransform)
{
    SetKeys("1", "2", "3");
    Target()->setPlainText("old");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(cipher.Requests().size(), 1u);
    EXPECT_EQ(cipher.Requests()[0].text, "");
    EXPECT_EQ(Target()->toPlainText(), "");
}

} // namespace
} // namespace karsidan::test
