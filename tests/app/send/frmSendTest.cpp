#include "app/send/frmSend.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/send/SendHost.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

using karsidan::net::frmSend;
using karsidan::net::PortFromText;

namespace {

// Records what the dialog asks of the window.
class FakeHost : public karsidan::net::SendHost {
public:
    QStringList calls;
    bool closed = true;
    QString savedFileName;
    QString targetText = "0123456789ABCDEF";
    int currentPort = 45660;
    QWidget* centred = nullptr;
    bool centredAtTop = true;

    void CheckIP(const QString& address, int port) override
    {
        calls << QStringLiteral("CheckIP %1 %2").arg(address).arg(port);
    }
    void SendData() override { calls << "SendData"; }
    void SaveFile() override { calls << "SaveFile"; }
    void CloseSenderSock() override { calls << "CloseSenderSock"; }
    bool IsSenderClosed() const override { return closed; }
    QString SavedFileName() const override { return savedFileName; }
    QString TargetText() const override { return targetText; }
    int CurrentPort() const override { return currentPort; }
    void CenterForm(QWidget* form, bool atTop) override
    {
        centred = form;
        centredAtTop = atTop;
    }
};

// Records each warning as "<window title>: <text>", and its parent.
class RecordingMessages : public karsidan::MessageBoxHook {
public:
    QStringList texts;
    QStringList parents;
    void Warn(QWidget* parent, const QString& text) override
    {
        texts << parent->window()->windowTitle() + ": " + text;
        parents << parent->objectName();
    }
    void About(QWidget*, const QString&, const QString&) override { }
};

class SendDialog : public ::testing::Test {
protected:
    void SetUp() override { dialog.SetMessageHook(&recorder); }

    void Fill(const QStringList& parts, const QString& port)
    {
        for (int i = 0; i < 4; ++i)
            Box(QStringLiteral("txtIP_%1").arg(i))->setText(parts[i]);
        Box("txtPort")->setText(port);
    }
    QLineEdit* Box(const QString& name) { return dialog.findChild<QLineEdit*>(name); }
    void Click(const char* name) { QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton); }

    FakeHost host;
    frmSend dialog{host};
    RecordingMessages recorder;
    const QStringList& messages = recorder.texts;
};

TEST_F(SendDialog, LaysOutTheControlsInTwipsAtFifteenPerPixel)
{
    EXPECT_EQ(dialog.windowTitle(), "ALAMAT IP");
    EXPECT_EQ(dialog.size(), QSize(275, 170));
    EXPECT_FALSE(dialog.windowIcon().isNull());

    const struct {
        const char* name;
        QRect rect;
        const char* parent;
    } expected[] = {
        {"fraSend", {8, 8, 257, 105}, "frmSend"},   {"txtIP_0", {8, 32, 33, 25}, "fraSend"},
        {"txtIP_1", {48, 32, 33, 25}, "fraSend"},   {"txtIP_2", {88, 32, 33, 25}, "fraSend"},
        {"txtIP_3", {128, 32, 33, 25}, "fraSend"},  {"lblPort", {8, 72, 63, 15}, "fraSend"},
        {"txtPort", {88, 64, 73, 25}, "fraSend"},   {"cmdConnect", {168, 32, 81, 57}, "fraSend"},
        {"cmdSend", {200, 120, 65, 41}, "frmSend"},
    };
    for (const auto& e : expected) {
        QWidget* w = dialog.findChild<QWidget*>(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_EQ(w->geometry(), e.rect) << e.name;
        EXPECT_EQ(w->parentWidget()->objectName(), e.parent) << e.name;
    }
    EXPECT_EQ(dialog.findChild<QGroupBox*>("fraSend")->title(), "Silahkan Masukkan Alamat IP");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblPort")->text(), "Nomor Port");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdConnect")->text(), "Sambung");
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdSend")->text(), "Kirim Data");
    EXPECT_EQ(dialog.findChild<QLabel*>("lblPort")->font().pointSizeF(), 9.0);
    EXPECT_EQ(dialog.findChild<QPushButton*>("cmdSend")->font().family(), "Arial");
    EXPECT_EQ(Box("txtIP_2")->font().family(), "Courier New");
    EXPECT_EQ(Box("txtIP_2")->font().pointSizeF(), 9.75);
    // The address boxes' three characters: BoxesRefuseExtraCharacters (a box
    // takes more at once only for a dotted address to spread).
    EXPECT_EQ(Box("txtPort")->maxLength(), 5);
}

TEST_F(SendDialog, TabsThroughBoxesThenButtons)
{
    QStringList order;
    QWidget* w = Box("txtIP_0");
    for (int i = 0; i < 7; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(order, (QStringList{"txtIP_0", "txtIP_1", "txtIP_2", "txtIP_3", "txtPort", "cmdConnect", "cmdSend"}));
}

TEST_F(SendDialog, StartsCentredWithTheCurrentPortAndEmptyAddress)
{
    EXPECT_EQ(host.centred, &dialog);
    EXPECT_FALSE(host.centredAtTop);
    EXPECT_EQ(Box("txtPort")->text(), "45660");
    host.currentPort = 999;
    frmSend again(host);
    EXPECT_EQ(again.txtPort->text(), "999");
    EXPECT_TRUE(again.txtIP[0]->text().isEmpty());
}

TEST_F(SendDialog, ConnectPassesTheDottedAddressAndPort)
{
    Fill({"192", "168", "1", "7"}, "45660");
    Click("cmdConnect");
    EXPECT_EQ(host.calls, QStringList{"CheckIP 192.168.1.7 45660"});
    EXPECT_TRUE(messages.isEmpty());

    Fill({" 10", "0 ", "0", "1"}, " 80 ");
    Click("cmdConnect");
    EXPECT_EQ(host.calls.last(), "CheckIP 10.0.0.1 80");
}

TEST_F(SendDialog, ConnectWithABlankBoxAsksForEveryField)
{
    for (int blank = 0; blank < 5; ++blank) {
        QStringList parts{"127", "0", "0", "1"};
        QString port = "45660";
        (blank < 4 ? parts[blank] : port) = "  ";
        Fill(parts, port);
        Click("cmdConnect");
    }
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(messages, QStringList(5, "ALAMAT IP: Harap isi semua field"));
}

TEST_F(SendDialog, BoxesRefuseExtraCharacters)
{
    QTest::keyClicks(Box("txtIP_0"), "1921");
    EXPECT_EQ(Box("txtIP_0")->text(), "192");
    Box("txtPort")->clear();
    QTest::keyClicks(Box("txtPort"), "456601");
    EXPECT_EQ(Box("txtPort")->text(), "45660");
}

TEST_F(SendDialog, EnteringAnAddressBoxSelectsItsText)
{
    QLineEdit* box = Box("txtIP_1");
    box->setText("168");
    box->setCursorPosition(1);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box, &focusIn);
    QApplication::processEvents();
    EXPECT_EQ(box->selectedText(), "168");
}

TEST_F(SendDialog, LeavingThePortBoxKeepsWhatWasTyped)
{
    // No silent replacement with this copy's own port: "Sambung" says what
    // is wrong instead.
    host.currentPort = 4000;
    for (const char* typed : {"abc", "70000", "0", "8080", " 81 ", ""}) {
        Box("txtPort")->setText(typed);
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(Box("txtPort"), &focusOut);
        EXPECT_EQ(Box("txtPort")->text(), typed);
    }
}

TEST_F(SendDialog, PortsOutsideOneTo65535AreRefusedWithoutAConnectionAttempt)
{
    for (const char* port : {"X", "70000", "0", "-5", "65536"}) {
        Fill({"127", "0", "0", "1"}, port);
        Click("cmdConnect");
        ASSERT_FALSE(messages.isEmpty()) << port;
        EXPECT_EQ(messages.last(), "ALAMAT IP: " + frmSend::BadPortText(port)) << port;
        EXPECT_TRUE(messages.last().contains("Nomor Port")) << port;
    }
    EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(", ").toStdString();
    Fill({"127", "0", "0", "1"}, "65535");
    Click("cmdConnect");
    EXPECT_EQ(host.calls, QStringList{"CheckIP 127.0.0.1 65535"});
}

TEST_F(SendDialog, AddressPartsOutsideZeroTo255AreRefusedNamingThePart)
{
    const struct {
        QStringList parts;
        int bad;
    } cases[] = {{{"256", "0", "0", "1"}, 1},
                 {{"10", "x", "0", "1"}, 2},
                 {{"10", "0", "-1", "1"}, 3},
                 {{"10", "0", "0", "1a"}, 4}};
    for (const auto& c : cases) {
        Fill(c.parts, "45660");
        Click("cmdConnect");
        ASSERT_FALSE(messages.isEmpty());
        EXPECT_EQ(messages.last(), "ALAMAT IP: " + frmSend::BadAddressPartText(c.bad, c.parts[c.bad - 1]));
        EXPECT_TRUE(messages.last().contains(QStringLiteral("Bagian %1 alamat IP").arg(c.bad)));
    }
    EXPECT_TRUE(host.calls.isEmpty());
    Fill({"0", "255", "007", "1"}, "1");
    Click("cmdConnect");
    EXPECT_EQ(host.calls, QStringList{"CheckIP 0.255.7.1 1"});
}

TEST_F(SendDialog, ADottedAddressPastedIntoAnyBoxFillsAllFour)
{
    for (int into = 0; into < 4; ++into) {
        for (int i = 0; i < 4; ++i)
            Box(QStringLiteral("txtIP_%1").arg(i))->clear();
        QLineEdit* box = Box(QStringLiteral("txtIP_%1").arg(into));
        QApplication::clipboard()->setText(" 192.168.1.7\n");
        box->setFocus();
        QTest::keySequence(box, QKeySequence::Paste);
        QApplication::processEvents();
        QStringList shown;
        for (int i = 0; i < 4; ++i)
            shown << Box(QStringLiteral("txtIP_%1").arg(i))->text();
        EXPECT_EQ(shown, (QStringList{"192", "168", "1", "7"})) << "pasted into box " << into;
    }
    // Too many parts, or a part too long: nothing changes.
    Box("txtIP_0")->setText("10");
    Box("txtIP_0")->insert(".1.2.3.4");
    Box("txtIP_1")->insert("1.2345");
    QApplication::processEvents();
    EXPECT_EQ(Box("txtIP_0")->text(), "10");
    EXPECT_EQ(Box("txtIP_1")->text(), "168");
}

TEST_F(SendDialog, TypingADotOrABlankMovesToTheNextBox)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    Box("txtIP_0")->setFocus();
    // Each key goes where the focus is, as a keyboard's would.
    for (char c : std::string("10.1 2.3."))
        QTest::keyClick(QApplication::focusWidget(), c);
    EXPECT_EQ(Box("txtIP_0")->text(), "10");
    EXPECT_EQ(Box("txtIP_1")->text(), "1");
    EXPECT_EQ(Box("txtIP_2")->text(), "2");
    EXPECT_EQ(Box("txtIP_3")->text(), "3");
    EXPECT_EQ(QApplication::focusWidget(), Box("txtPort"));
}

TEST_F(SendDialog, OnlyACipherTextIsSent)
{
    host.closed = false;
    host.savedFileName = "c.txt";
    dialog.show();
    for (const char* text : {"Rapat jam 9", "0123456789ABCDE", "0123456789ABCDEG"}) {
        host.targetText = text;
        Click("cmdSend");
        ASSERT_FALSE(messages.isEmpty()) << text;
        EXPECT_TRUE(messages.last().startsWith("ALAMAT IP: Teks hasil bukan teks sandi")) << text;
    }
    EXPECT_TRUE(host.calls.isEmpty()) << "nothing sent, the connection left as it is";
    EXPECT_TRUE(dialog.isVisible());
    host.targetText = "0123456789abcdef\r\nFEDCBA9876543210";
    Click("cmdSend");
    EXPECT_EQ(host.calls, QStringList{"SendData"});
}

TEST(PortFromText, ReadsNumbersRoundingHalfToEven)
{
    EXPECT_EQ(PortFromText("45660"), 45660);
    EXPECT_EQ(PortFromText(" 80 "), 80);
    EXPECT_EQ(PortFromText("1e3"), 1000);
    EXPECT_EQ(PortFromText("4.5"), 4);
    EXPECT_EQ(PortFromText("5.5"), 6);
    EXPECT_EQ(PortFromText("-7"), -7);
    EXPECT_EQ(PortFromText("abc"), 0);
    EXPECT_EQ(PortFromText("9e99"), 0);
    EXPECT_EQ(PortFromText("nan"), 0);
    EXPECT_EQ(PortFromText(""), 0);
}

TEST_F(SendDialog, SendWithoutConnectionSaysSoWhateverTheName)
{
    for (const char* name : {"", "c.txt"}) {
        host.savedFileName = name;
        Click("cmdSend");
    }
    EXPECT_EQ(messages, QStringList(2, "ALAMAT IP: Maaf, Anda belum terhubung dengan Sambungan"));
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(SendDialog, SendBeforeSavingSavesThenClosesTheConnection)
{
    host.closed = false;
    host.savedFileName = "   ";
    dialog.show();
    Click("cmdSend");
    EXPECT_EQ(messages, QStringList{"ALAMAT IP: Data Decrypt belum disimpan"});
    EXPECT_EQ(host.calls, (QStringList{"SaveFile", "CloseSenderSock"}));
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
}

TEST_F(SendDialog, SendOnAnOpenConnectionSendsOnceAndCloses)
{
    host.closed = false;
    host.savedFileName = "C:\\x\\c.txt";
    dialog.show();
    Click("cmdSend");
    EXPECT_EQ(host.calls, QStringList{"SendData"});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SendDialog, WarningsGoToTheGivenHookWithTheDialogAsParent)
{
    Click("cmdConnect"); // the address boxes are empty
    EXPECT_EQ(messages, QStringList{"ALAMAT IP: Harap isi semua field"});
    EXPECT_EQ(recorder.parents, QStringList{"frmSend"});
}

TEST(SendDialogMessageBox, ShowsAnExclamationWithOneOkTitledLikeTheDialog)
{
    FakeHost host;
    frmSend dialog(host);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int buttons = -1;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        title = box->windowTitle();
        text = box->text();
        buttons = int(box->buttons().size());
        box->accept();
    });
    QTest::mouseClick(dialog.cmdSend, Qt::LeftButton);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(title, "ALAMAT IP");
    EXPECT_EQ(text, "Maaf, Anda belum terhubung dengan Sambungan");
    EXPECT_EQ(buttons, 1);
}

} // namespace
