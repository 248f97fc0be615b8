#pragma once
// The sending side: one outgoing connection (wskSend) that carries one
// message. After its last byte this end closes its sending side and waits
// for the receiver: an orderly close means the message is stored, a reset
// means it was refused. Progress goes out as the status texts of the
// status bar's first panel.

#include "net/SocketState.h"
#include "net/TcpClient.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QTimer;

namespace karsidan::net {

class Sender : public QObject {
    Q_OBJECT
public:
    static constexpr int kConnectTimeoutMs = 10'000;
    // How long to wait for the receiver's answer once the message is with
    // the system: the bytes still have to cross the network and be stored,
    // so a larger message gets longer.
    static constexpr int kAnswerBaseMs = 30'000;
    static constexpr qint64 kAnswerBytesPerSecond = 256 * 1024;
    static int AnswerTimeoutMs(qint64 messageBytes, int baseMs = kAnswerBaseMs,
                               qint64 bytesPerSecond = kAnswerBytesPerSecond);

    explicit Sender(int currentPort, QObject* parent = nullptr);

    // Remembers address and port and starts connecting. A port outside
    // 1-65535 ends in "Sambungan Error" at once. A connection that is
    // still open is closed first.
    void CheckIP(const QString& address, int port);

    // Sends the base name of savedFileName | text (see OutgoingFileName).
    // While the connection is still being set up the message waits and goes
    // out once it is up. Returns an empty string when the message is on its
    // way, otherwise the reason. SendFinished follows only once the receiver
    // has closed in order; every failure, here or later (a reset, no answer
    // in time), is reported through Failed and "Sambungan Error".
    QString SendData(const QString& savedFileName, const QString& text);
    // The same for a message already in wire bytes. Refused without a
    // connection, and while an earlier message is still on its way (one
    // message per connection).
    QString SendMessage(const QByteArray& message);

    // Closes the connection if there is one; reports nothing.
    void CloseSenderSock();

    SocketState State() const { return socket_.State(); }
    bool IsClosed() const { return State() == SocketState::Closed; }
    // The address last passed to CheckIP; kept after the connection ends.
    QString PeerAddress() const { return peerAddress_; }
    // The port last passed to CheckIP (at first the listening port).
    int CurrentPort() const { return currentPort_; }
    // The last status text sent out, empty before the first.
    QString StatusText() const { return statusText_; }
    // Why the last attempt or send failed (Indonesian), empty after a
    // success or before the first failure. The same text goes with Failed.
    QString FailureReason() const { return failureReason_; }
    // This end of the outgoing connection, to recognise our own requests.
    const TcpClient& Socket() const { return socket_; }

    void SetConnectTimeout(int milliseconds) { connectTimeoutMs_ = milliseconds; }
    void SetAnswerTimeout(int baseMs, qint64 bytesPerSecond);

    static QString ConnectingText(const QString& address);
    static QString ConnectedText(const QString& address);
    static QString ErrorText();

signals:
    // The full text for the status bar's first panel.
    void StatusChanged(const QString& text);
    // The receiver has stored the message (it closed in order).
    void SendFinished();
    // The attempt or the send failed; the panel shows "Sambungan Error".
    // reason says why in Indonesian, for a tooltip or standard error.
    void Failed(const QString& reason);

private:
    void SetStatus(const QString& text);
    void Fail(const QString& reason);
    void OnConnected();
    void OnSendComplete();
    void OnPeerClosed(bool orderly);
    QString ClosedReason(bool orderly) const;

    TcpClient socket_;
    QTimer* connectTimer_;
    QTimer* answerTimer_;
    QString peerAddress_;
    int currentPort_;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    int answerBaseMs_ = kAnswerBaseMs;
    qint64 answerBytesPerSecond_ = kAnswerBytesPerSecond;
    QString statusText_;
    QString failureReason_;
    QByteArray waiting_; // message given while still connecting
    qint64 messageBytes_ = 0;
    bool inFlight_ = false; // a message is waiting or being written
    bool awaitingAnswer_ = false; // all of it sent, the receiver not yet done
};

} // namespace karsidan::net
