#pragma once
// One accepted connection of the listening side: its data and close
// events, and reading what has arrived.

#include "net/SocketState.h"

#include <QHostAddress>
#include <QObject>

class QTcpSocket;

namespace karsidan::net {

class TcpConnection : public QObject {
    Q_OBJECT
public:
    // Takes ownership of an accepted socket.
    explicit TcpConnection(QTcpSocket* socket, QObject* parent = nullptr);
    ~TcpConnection() override;

    QHostAddress PeerAddress() const;
    quint16 PeerPort() const;
    SocketState State() const;

    // Bytes that have arrived and were not read yet.
    qint64 BytesAvailable() const;
    // Up to count of the arrived bytes, removed from the connection.
    QByteArray GetData(qint64 count);
    // Reads up to count arrived bytes into buffer; returns how many.
    qint64 GetData(char* buffer, qint64 count);
    // Ends the connection; no Closed event follows for this end.
    void Close();

signals:
    // bytesTotal: bytes waiting to be read.
    void DataArrival(qint64 bytesTotal);
    // The peer closed the connection (or it broke); the rest of its data
    // has been delivered through DataArrival before this.
    void Closed(bool orderly);

private:
    void OnReadyRead();
    void OnDisconnected();

    QTcpSocket* socket_;
    bool errorSeen_ = false;
};

} // namespace karsidan::net
