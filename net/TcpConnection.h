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
    SocketState State() const;

    // Bytes that have arrived and were not read yet.
    qint64 BytesAvailable() const;
    // Up to count of the arrived bytes, removed from the connection.
    QByteArray GetData(qint64 count);
    // Reads up to count arrived bytes into buffer; returns how many.
    qint64 GetData(char* buffer, qint64 count);
    // Ends the connection in order (FIN): after Closed, this tells the
    // peer that its message is stored. No Closed event follows for this end.
    void Close();
    // The same with a reset (RST): the peer learns that its message was
    // refused or could not be stored.
    void Reset();

signals:
    // bytesTotal: bytes waiting to be read.
    void DataArrival(qint64 bytesTotal);
    // The peer closed the connection (orderly) or it broke (a reset or
    // any other error); the rest of its data has been delivered through
    // DataArrival before this. Emitted once; this end stays open until
    // Close or Reset.
    void Closed(bool orderly);

private:
    void OnReadyRead();
    void OnDisconnected();
    void Finish(bool orderly);
    void ReleaseWatch();

    QTcpSocket* socket_;
    // A second descriptor of the same socket. Qt reads a reset as the end
    // of the data and closes its descriptor before it reports either; this
    // one keeps the socket, whose TCP state then tells a FIN from a reset,
    // and holds back this end's answer until the message is stored.
    int watch_ = -1;
    bool errorSeen_ = false;
    bool finished_ = false;
};

} // namespace karsidan::net
