#pragma once
// The outgoing socket: connect, write one message, close. Its outcome
// arrives later as events on the event loop.

#include "net/SocketState.h"

#include <QHostAddress>
#include <QObject>

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
    // Returns at once; SendComplete follows once every byte has been
    // handed to the system. Only while connected.
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
    // The peer closed the connection.
    void Closed();

private:
    void Release();
    void OnBytesWritten();

    QTcpSocket* socket_ = nullptr;
    qint64 unsent_ = 0;
};

} // namespace karsidan::net
