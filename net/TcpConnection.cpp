#include "net/TcpConnection.h"

#include "net/TcpEnding.h"

#include <QTcpSocket>

#include <unistd.h>

namespace karsidan::net {

TcpConnection::TcpConnection(QTcpSocket* socket, QObject* parent) : QObject(parent), socket_(socket)
{
    socket_->setParent(this);
    watch_ = WatchDescriptor(socket_->socketDescriptor());
    connect(socket_, &QTcpSocket::readyRead, this, &TcpConnection::OnReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpConnection::OnDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // the end of the data, or a reset: see OnDisconnected
        errorSeen_ = true;
        // Not every error is followed by disconnected.
        if (socket_->state() == QAbstractSocket::UnconnectedState)
            OnDisconnected();
    });
}

TcpConnection::~TcpConnection()
{
    socket_->disconnect(this);
    ReleaseWatch();
}

void TcpConnection::ReleaseWatch()
{
    if (watch_ >= 0)
        ::close(watch_);
    watch_ = -1;
}

QHostAddress TcpConnection::PeerAddress() const { return socket_->peerAddress(); }

SocketState TcpConnection::State() const
{
    return socket_->state() == QAbstractSocket::ConnectedState ? SocketState::Connected : SocketState::Closed;
}

qint64 TcpConnection::BytesAvailable() const { return socket_->bytesAvailable(); }

QByteArray TcpConnection::GetData(qint64 count) { return socket_->read(count); }

qint64 TcpConnection::GetData(char* buffer, qint64 count) { return socket_->read(buffer, count); }

void TcpConnection::Close()
{
    socket_->disconnect(this);
    finished_ = true;
    // Whichever descriptor closes last ends the connection.
    ReleaseWatch();
    socket_->abort();
}

void TcpConnection::Reset()
{
    // Once the peer has closed, Qt has let its descriptor go; the watch is
    // then the socket's last one.
    ResetOnClose(watch_ >= 0 ? watch_ : socket_->socketDescriptor());
    Close();
}

void TcpConnection::OnReadyRead()
{
    if (socket_->bytesAvailable() > 0)
        emit DataArrival(socket_->bytesAvailable());
}

void TcpConnection::OnDisconnected()
{
    // Data that came together with the close is still unread.
    OnReadyRead();
    Finish(!errorSeen_ && PeerFinishedInOrder(watch_));
}

void TcpConnection::Finish(bool orderly)
{
    if (finished_)
        return;
    finished_ = true;
    // The watch keeps the socket open, so this end answers only when the
    // owner calls Close (FIN) or Reset (RST).
    emit Closed(orderly);
}

} // namespace karsidan::net
