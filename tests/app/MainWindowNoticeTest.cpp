// What the window says beside a command without stopping it: weak keys, a
// decrypted result that is no text, a key paste that is too long; and the
// key boxes' show/hide toggles.
#include "tests/app/MainWindowFixture.h"

#include "app/EditorText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

namespace karsidan::test {
namespace {

class MainWindowNotice : public MainWindowFixture {
protected:
    QString Notice() const { return Find<QLabel>("lblNotice")->text(); }
    QString Panel() const { return Find<QLabel>("stbMainPanel1")->text(); }
    void Paste(QLineEdit* box, const QString& text) const
    {
        QGuiApplication::clipboard()->setText(text);
        box->setFocus();
        box->end(false);
        QTest::keySequence(box, QKeySequence::Paste);
    }
};

TEST_F(MainWindowNotice, KeysEqualInTheBitsDesUsesAreNamedBeforeTheTransformRuns)
{
    Source()->setPlainText("teks");
    // "2" and "3" differ only in the bit DES ignores.
    SetKeys("kunci1", "kunci2", "kunci3");
    cipher.Close();
    Click("cmdEncrypt");
    ASSERT_TRUE(window->IsBusy());
    EXPECT_TRUE(Notice().contains("kunci kedua dan ketiga sama")) << Notice().toStdString();
    EXPECT_TRUE(Notice().contains("DES tunggal")) << Notice().toStdString();
    cipher.Open();
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(Target()->toPlainText().isEmpty()) << "the warning does not stop the command";
    EXPECT_TRUE(messages.warnings.empty()) << "no message box";
    EXPECT_TRUE(Panel().isEmpty()) << "the first panel belongs to the connection";

    // The next command clears it; distinct keys say nothing.
    SetKeys("alpha", "beta", "gamma");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notice().toStdString(), "");

    SetKeys("kunci1", "lain", "kunci1");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Notice().contains("kunci pertama dan ketiga sama")) << Notice().toStdString();
}

TEST_F(MainWindowNotice, DecryptedControlBytesAskWhetherTheKeysAreWrong)
{
    SetKeys("ab", "cd", "ef");
    // The stand-in engine decrypts hex to its bytes: 0x01 is a control byte.
    Source()->setPlainText("48690148");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Notice().contains("kunci salah?")) << Notice().toStdString();
    EXPECT_TRUE(messages.warnings.empty());

    Source()->setPlainText("48690D0A0948");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notice().toStdString(), "") << "tab, CR and LF are text";

    // Encrypt results are never judged as text.
    Source()->setPlainText(QString(QChar(1)));
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notice().toStdString(), "");
}

TEST_F(MainWindowNotice, ALongKeyPasteIsRefusedWholeWithAHint)
{
    Key(1)->setText("abc");
    Paste(Key(1), "123456789012");
    EXPECT_EQ(Key(1)->text(), "abc");
    EXPECT_TRUE(Notice().contains("paling banyak 8 karakter")) << Notice().toStdString();
    EXPECT_TRUE(Notice().contains("Kunci 2")) << Notice().toStdString();

    // A paste that fits is taken, and the next command clears the hint.
    Paste(Key(1), "12345");
    EXPECT_EQ(Key(1)->text(), "abc12345");
    SetKeys("kx", "ab", "mn");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Notice().toStdString(), "");

    // A drop goes the same way as a paste.
    Key(2)->setText("k");
    Key(2)->insert("123456789012");
    EXPECT_EQ(Key(2)->text(), "k");
}

TEST_F(MainWindowNotice, EachKeyBoxShowsAndHidesItsKey)
{
    for (int i = 0; i < 3; ++i) {
        auto* toggle = Find<QToolButton>(i == 0 ? "cmdShowKey0" : i == 1 ? "cmdShowKey1" : "cmdShowKey2");
        ASSERT_NE(toggle, nullptr);
        EXPECT_EQ(Key(i)->echoMode(), QLineEdit::Normal) << "keys are shown at first";
        toggle->click();
        EXPECT_EQ(Key(i)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(Key((i + 1) % 3)->echoMode(), QLineEdit::Normal) << "one box at a time";
        QTest::keyClicks(Key(i), "123456789");
        EXPECT_EQ(Key(i)->text(), "12345678") << "a hidden key still stops at 8";
        toggle->click();
        EXPECT_EQ(Key(i)->echoMode(), QLineEdit::Normal);
        // The toggle leaves the box room for a whole key.
        Key(i)->setText("WWWWWWWW");
        EXPECT_GE(Key(i)->width() - toggle->width() - 4, Key(i)->fontMetrics().horizontalAdvance(Key(i)->text()));
    }
}

} // namespace
} // namespace karsidan::test

namespace karsidan::test {
namespace {

using MainWindowProgress = MainWindowFixture;

TEST_F(MainWindowProgress, TheBarReads100OnlyWhenTheLastRowIsShown)
{
    // 200 KiB of hex from the stand-in engine: shown a slice at a time.
    Source()->setPlainText(QString(100 * 1024, QLatin1Char('k')));
    SetKeys("satu", "dua", "tiga");
    auto* bar = Find<QProgressBar>("prgTransform");
    std::vector<std::pair<int, qsizetype>> seen; // value, characters shown then
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(),
                     [&](int value) { seen.emplace_back(value, EditorText::PlainText(*Target()->document()).size()); });
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    const qsizetype all = 200 * 1024;
    ASSERT_EQ(EditorText::PlainText(*Target()->document()).size(), all);
    bool reached = false;
    for (const auto& [value, shown] : seen) {
        EXPECT_TRUE(value < 100 || shown == all) << value << " with " << shown << " of " << all << " shown";
        reached = reached || value == 100;
    }
    EXPECT_TRUE(reached);
}

} // namespace
} // namespace karsidan::test
