#pragma once
// The sending side: one outgoing connection (wskSend) that carries one
// message and is closed once the message has been handed over. Progress
// goes out as the status texts of the status bar's first panel.

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

    explicit Sender(int currentPort, QObject* parent = nullptr);

    // Remembers address and port and starts connecting. A port outside
    // 1-65535 ends in "Sambungan Error" at once. A connection that is
    // still open is closed first.
    void CheckIP(const QString& address, int port);

    // Sends the base name of savedFileName | text (see OutgoingFileName).
    // While the connection is still being set up the message waits and goes
    // out once it is up. Returns an empty string when the message is on its
    // way, otherwise the reason. Every failure, here or later, is reported
    // through Failed and "Sambungan Error"; none ends in SendFinished.
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
    // This end of the outgoing connection, to recognise our own requests.
    const TcpClient& Socket() const { return socket_; }

    void SetConnectTimeout(int milliseconds) { connectTimeoutMs_ = milliseconds; }

    static QString ConnectingText(const QString& address);
    static QString ConnectedText(const QString& address);
    static QString ErrorText();

signals:
    // The full text for the status bar's first panel.
    void StatusChanged(const QString& text);
    // The message has been handed over and the connection closed.
    void SendFinished();
    // The attempt or the send failed; the panel shows "Sambungan Error".
    void Failed(const QString& reason);

private:
    void SetStatus(const QString& text);
    void Fail(const QString& reason);
    void OnConnected();
    void OnSendComplete();
    void OnPeerClosed();

    TcpClient socket_;
    QTimer* connectTimer_;
    QString peerAddress_;
    int currentPort_;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    QString statusText_;
    QByteArray waiting_; // message given while still connecting
    bool inFlight_ = false; // a message is waiting or being written
};

} // namespace karsidan::net
