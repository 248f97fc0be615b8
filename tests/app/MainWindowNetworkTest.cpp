// The window's network side: status texts in the first panel, the send
// dialog opened from "Kirim", refusal of this copy's own connection, and two
// windows handing a cipher text to each other over loopback.
#include "app/EngineCipher.h"
#include "app/NetworkLink.h"
#include "tests/app/MainWindowFixture.h"

#include "app/send/frmSend.h"

#include <QApplication>
#include <QDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <sys/socket.h>

#include <unistd.h>

namespace karsidan::test {
namespace {

// What the process writes to standard error while it lives.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        EXPECT_TRUE(file_.open());
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { Restore(); }
    QString Text()
    {
        Restore();
        file_.seek(0);
        return QString::fromLocal8Bit(file_.readAll());
    }

private:
    void Restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

// Accepts connections and keeps what each one sends.
struct PeerCapture {
    QTcpServer server;
    QList<QByteArray> received;
    int closed = 0;

    PeerCapture()
    {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                const int index = int(received.size());
                received << QByteArray();
                QObject::connect(s, &QTcpSocket::readyRead, [this, s, index] { received[index] += s->readAll(); });
                QObject::connect(s, &QTcpSocket::disconnected, [this] { ++closed; });
            }
        });
    }
};

class MainWindowNetwork : public MainWindowFixture {
protected:
    MainServices MakeServices() override { return MainServices{RunTripleDes, &dialog, &messages, 0}; }

    QString Panel() const { return Find<QLabel>("stbMainPanel1")->text(); }

    // Waits for the modal send dialog and hands it to `drive`.
    void WithSendDialog(frmMain& owner, std::function<void(net::frmSend&)> drive)
    {
        QTimer::singleShot(0, &owner, [drive] {
            auto* dialog = qobject_cast<net::frmSend*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        owner.findChild<QPushButton*>(QStringLiteral("cmdSend"))->click();
    }

    static void FillAddress(net::frmSend& dialog, quint16 port)
    {
        const char* parts[] = {"127", "0", "0", "1"};
        for (int i = 0; i < 4; ++i)
            dialog.txtIP[i]->setText(QString::fromLatin1(parts[i]));
        dialog.txtPort->setText(QString::number(port));
    }
};

TEST_F(MainWindowNetwork, StatusPanelFollowsTheConnection)
{
    QTcpServer peer;
    ASSERT_TRUE(peer.listen(QHostAddress::LocalHost));
    window->Network().CheckIP(QStringLiteral("127.0.0.1"), peer.serverPort());
    EXPECT_EQ(Panel(), "Sambungan ke 127.0.0.1");
    EXPECT_EQ(mdlGlobal::CurrentPort, peer.serverPort());
    ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));

    // Nothing listens on a port we just gave back.
    const quint16 closedPort = peer.serverPort();
    peer.close();
    window->Network().CheckIP(QStringLiteral("127.0.0.1"), closedPort);
    ASSERT_TRUE(WaitUntil([this] { return Panel() == "Sambungan Error"; }, 5000));
    EXPECT_TRUE(window->Network().IsSenderClosed());

    // A port the dialog lets through but no socket can use.
    window->Network().CheckIP(QStringLiteral("127.0.0.1"), 70000);
    EXPECT_TRUE(WaitUntil([this] { return Panel() == "Sambungan Error"; }, 2000));
}

TEST_F(MainWindowNetwork, ConnectionToItselfIsRefusedAndNothingIsStored)
{
    window->show();
    const quint16 own = window->Network().wskListen().LocalPort();
    ASSERT_NE(own, 0);
    window->Network().CheckIP(QStringLiteral("127.0.0.1"), own);
    ASSERT_TRUE(WaitUntil([this] { return window->Network().IsSenderClosed(); }, 5000));
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(MainWindowNetwork, PortTakenLeavesTheWindowWorking)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv4));
    mdlGlobal::CurrentPort = squatter.serverPort();
    auto second = std::make_unique<frmMain>(MakeServices());
    const QString panel = second->findChild<QLabel*>(QStringLiteral("stbMainPanel1"))->text();
    EXPECT_TRUE(panel.contains(QString::number(squatter.serverPort()))) << panel.toStdString();
    EXPECT_FALSE(second->Network().wskListen().IsListening());
    // The window still encrypts.
    second->findChild<QLineEdit*>(QStringLiteral("txtKey0"))->setText("a");
    second->findChild<QLineEdit*>(QStringLiteral("txtKey1"))->setText("b");
    second->findChild<QLineEdit*>(QStringLiteral("txtKey2"))->setText("c");
    second->findChild<QTextEdit*>(QStringLiteral("rtbSource"))->setPlainText("x");
    second->findChild<QPushButton*>(QStringLiteral("cmdEncrypt"))->click();
    ASSERT_TRUE(WaitUntil([&] { return !second->IsBusy(); }));
    EXPECT_EQ(second->findChild<QTextEdit*>(QStringLiteral("rtbTarget"))->toPlainText().size(), 16);
}

TEST_F(MainWindowNetwork, SendWithoutConnectionWarnsInTheDialog)
{
    window->show();
    WithSendDialog(*window, [](net::frmSend& dialog) { dialog.cmdSend->click(); });
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].text, "Maaf, Anda belum terhubung dengan Sambungan");
    EXPECT_EQ(messages.warnings[0].title, "ALAMAT IP");
}

TEST_F(MainWindowNetwork, KirimDataSendsOnlyTheBaseNameEvenWithForeignCharacters)
{
    const QString folderName = QStringLiteral("rahasia \u79D8");
    ASSERT_TRUE(QDir(folder.path()).mkdir(folderName));
    const QString saved = QDir(PathOf(folderName)).filePath(QStringLiteral("laporan \u20AC\u4E2D.txt"));
    Target()->setPlainText(QStringLiteral("0123456789ABCDEF"));
    dialog.answers.push_back(saved);
    Trigger("mnuSave");
    ASSERT_EQ(mdlGlobal::SavedFileName, saved);

    PeerCapture peer;
    StandardErrorCapture err;
    window->show();
    WithSendDialog(*window, [this, &peer](net::frmSend& send) {
        FillAddress(send, peer.server.serverPort());
        send.cmdConnect->click();
        ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));
        send.cmdSend->click();
    });
    ASSERT_TRUE(WaitUntil([&] { return peer.closed == 1; }, 5000));
    EXPECT_EQ(peer.received, QList<QByteArray>{"laporan \x80_.txt | 0123456789ABCDEF"});
    EXPECT_EQ(Panel(), "Tersambung ke 127.0.0.1");
    EXPECT_EQ(err.Text(), "");
    EXPECT_EQ(mdlGlobal::SavedFileName, saved) << "sending leaves the saved name";
}

TEST_F(MainWindowNetwork, EverySendFailureShowsInThePanelAndOnStandardError)
{
    mdlGlobal::SavedFileName = QStringLiteral("a.txt");
    window->show();

    {
        // Nobody listens.
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        StandardErrorCapture err;
        window->Network().CheckIP(QStringLiteral("127.0.0.1"), port);
        ASSERT_TRUE(WaitUntil([this] { return Panel() == "Sambungan Error"; }, 5000));
        EXPECT_TRUE(err.Text().startsWith("karsidan: Sambungan Error: ")) << err.Text().toStdString();
        const QString tip = Find<QLabel>("stbMainPanel1")->toolTip();
        EXPECT_TRUE(tip.contains("menolak sambungan")) << tip.toStdString();
    }
    {
        // A text the code page cannot carry: nothing goes out. (The dialog
        // refuses such a text before; the link must not rely on that.)
        PeerCapture peer;
        StandardErrorCapture err;
        Target()->setPlainText(QStringLiteral("0A\u4E2D"));
        WithSendDialog(*window, [this, &peer](net::frmSend& send) {
            FillAddress(send, peer.server.serverPort());
            send.cmdConnect->click();
            ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));
            window->Network().SendData();
        });
        EXPECT_EQ(Panel(), "Sambungan Error");
        ASSERT_TRUE(WaitUntil([&] { return peer.closed == 1; }, 5000));
        EXPECT_EQ(peer.received, QList<QByteArray>{QByteArray()});
        const QString text = err.Text();
        EXPECT_TRUE(text.startsWith("karsidan: Sambungan Error: teks tidak dapat dikirim")) << text.toStdString();
        // The same reason, without the program's name, in the panel's tooltip.
        const QString tip = Find<QLabel>("stbMainPanel1")->toolTip();
        EXPECT_TRUE(tip.contains("teks tidak dapat dikirim")) << tip.toStdString();
        EXPECT_TRUE(text.contains(tip.mid(tip.indexOf(':') + 2))) << tip.toStdString();
    }
    {
        // A peer that takes the whole message and then resets: refused, not
        // sent, though every byte left this copy.
        QTcpServer refuser;
        ASSERT_TRUE(refuser.listen(QHostAddress::LocalHost, 0));
        QByteArray got;
        QObject::connect(&refuser, &QTcpServer::newConnection, [&] {
            QTcpSocket* s = refuser.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, [&got, s] {
                got += s->readAll();
                if (got != "a.txt | 0A1B2C3D4E5F6071")
                    return;
                const linger reset{1, 0};
                ::setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                s->abort();
            });
        });
        StandardErrorCapture err;
        Target()->setPlainText(QStringLiteral("0A1B2C3D4E5F6071"));
        WithSendDialog(*window, [this, &refuser](net::frmSend& send) {
            FillAddress(send, refuser.serverPort());
            send.cmdConnect->click();
            ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));
            window->Network().SendData();
        });
        ASSERT_TRUE(WaitUntil([this] { return Panel() == "Sambungan Error"; }, 5000));
        EXPECT_EQ(got, "a.txt | 0A1B2C3D4E5F6071");
        const QString tip = Find<QLabel>("stbMainPanel1")->toolTip();
        EXPECT_TRUE(tip.contains("penerima menolak pesan")) << tip.toStdString();
        EXPECT_TRUE(err.Text().contains("penerima menolak pesan")) << err.Text().toStdString();
    }
    {
        // A port no socket can use.
        StandardErrorCapture err;
        window->Network().CheckIP(QStringLiteral("127.0.0.1"), 70000);
        EXPECT_EQ(Panel(), "Sambungan Error");
        EXPECT_TRUE(err.Text().contains("70000"));
    }
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(MainWindowNetwork, ADecryptedTextIsNotSentAndNothingReachesThePeer)
{
    // A real cipher text, decrypted back in the window.
    Source()->setPlainText(QStringLiteral("Rapat jam 9"));
    SetKeys("satu", "dua", "tiga");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    Source()->setPlainText(Target()->toPlainText());
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(Target()->toPlainText(), "Rapat jam 9");
    mdlGlobal::SavedFileName = QStringLiteral("rapat.txt");

    PeerCapture peer;
    window->show();
    bool stillOpen = false;
    bool stillConnected = false;
    WithSendDialog(*window, [&](net::frmSend& send) {
        FillAddress(send, peer.server.serverPort());
        send.cmdConnect->click();
        ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));
        send.cmdSend->click();
        stillOpen = send.isVisible();
        stillConnected = !window->Network().IsSenderClosed();
    });
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].title, "ALAMAT IP");
    EXPECT_TRUE(messages.warnings[0].text.startsWith("Teks hasil bukan teks sandi"))
        << messages.warnings[0].text.toStdString();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(stillConnected);
    EXPECT_EQ(Panel(), "Tersambung ke 127.0.0.1");
    // Give a message every chance to arrive, then close from this side.
    WaitUntil([&] { return false; }, 300);
    window->Network().CloseSenderSock();
    ASSERT_TRUE(WaitUntil([&] { return peer.closed == 1; }, 5000));
    EXPECT_EQ(peer.received, QList<QByteArray>{QByteArray()});
}

// Both windows live in this process and share the program's globals, so
// each receiving folder is fixed when its window is made.
TEST_F(MainWindowNetwork, TwoWindowsHandACipherTextOver)
{
    const QString text = QStringLiteral("Rapat jam 9 di ruang · B\nBawa laporan.");
    QTemporaryDir folderB;
    ASSERT_TRUE(folderB.isValid());
    FakeFileDialog dialogB;
    RecordingMessages messagesB;
    mdlGlobal::AppFolder = folderB.path() + QLatin1Char('/');
    frmMain windowB(MainServices{RunTripleDes, &dialogB, &messagesB, 0});
    const quint16 portB = windowB.Network().wskListen().LocalPort();
    ASSERT_NE(portB, 0);

    // A encrypts, saves and sends.
    window->show();
    Source()->setPlainText(text);
    SetKeys("kunci1", "kunci2", "kunci3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    const QString cipherText = Target()->toPlainText();
    ASSERT_EQ(cipherText.size() % 16, 0);
    dialog.answers.push_back(PathOf("rahasia.txt"));
    Trigger("mnuSave");
    ASSERT_EQ(mdlGlobal::SavedFileName, PathOf("rahasia.txt"));

    WithSendDialog(*window, [this, portB](net::frmSend& send) {
        FillAddress(send, portB);
        send.cmdConnect->click();
        ASSERT_TRUE(WaitUntil([this] { return Panel() == "Tersambung ke 127.0.0.1"; }, 5000));
        send.cmdSend->click();
        EXPECT_FALSE(send.isVisible()) << "the dialog closes once it has sent";
    });
    EXPECT_TRUE(messages.warnings.empty());

    // B stores it under the name's last part only.
    const QString stored = QDir(folderB.path()).filePath("rahasia.txt");
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(stored); }, 5000));
    EXPECT_EQ(ReadBytes(stored), cipherText.toLatin1());
    EXPECT_EQ(mdlGlobal::SavedFileName, "rahasia.txt");

    // B opens it and decrypts with the same three boxes.
    dialogB.answers.push_back(stored);
    windowB.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    const char* keys[] = {"kunci1", "kunci2", "kunci3"};
    for (int i = 0; i < 3; ++i)
        windowB.findChild<QLineEdit*>(QStringLiteral("txtKey%1").arg(i))->setText(keys[i]);
    windowB.findChild<QPushButton*>(QStringLiteral("cmdDecrypt"))->click();
    ASSERT_TRUE(WaitUntil([&] { return !windowB.IsBusy(); }));
    EXPECT_TRUE(messagesB.warnings.empty());
    EXPECT_EQ(windowB.findChild<QTextEdit*>(QStringLiteral("rtbTarget"))->toPlainText(), text);
}

} // namespace
} // namespace karsidan::test
