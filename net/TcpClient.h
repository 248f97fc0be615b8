#pragma once
// The outgoing socket: connect, write one message, say it is done (a
// half-close) and wait for the peer's answer: an orderly close when the
// message is stored, a reset when it is not. Every outcome arrives later
// as an event on the event loop.

#include "net/SocketState.h"

#include <QHostAddress>
#include <QObject>

class QSocketNotifier;
class QTcpSocket;

namespace karsidan::net {

class TcpClient : public QObject {
    Q_OBJECT
public:
    explicit TcpClient(QObject* parent = nullptr);
    ~TcpClient() override;

    // Returns at once; Connected or Error follows. Closes a connection
    // that is still open first. IPv4 only.
    void Connect(const QString& remoteHost, quint16 remotePort);
    // Returns at once. Once every byte has been handed to the system this
    // end closes its sending side and SendComplete follows; the peer's
    // answer comes as Closed. Only while connected, once per connection.
    void SendData(const QByteArray& data);
    // Ends the connection or the attempt; no event follows for this end.
    // Bytes already handed to the system still go out before the close.
    void Close();

    SocketState State() const;
    // This end of the connection, also while it is still being set up.
    QHostAddress LocalAddress() const;
    quint16 LocalPort() const;
    qint64 BytesToWrite() const;

signals:
    void Connected();
    void Error(const QString& description);
    void SendComplete();
    // The peer ended the connection: in order (FIN) or with a reset.
    void Closed(bool orderly);

private:
    void Release();
    void OnConnected();
    void OnBytesWritten();
    void OnDisconnected();
    void HalfClose();
    void OnAnswer();
    void EndAnswer(bool orderly);
    int Descriptor() const;

    QTcpSocket* socket_ = nullptr;
    // A second descriptor of the socket: it tells a FIN from a reset, and
    // after the half-close it alone holds the connection (see HalfClose).
    int watch_ = -1;
    QSocketNotifier* answer_ = nullptr;
    qint64 unsent_ = 0;
};

} // namespace karsidan::net
