#include "net/TcpConnection.h"

#include <QTcpSocket>

namespace karsidan::net {

TcpConnection::TcpConnection(QTcpSocket* socket, QObject* parent)
    : QObject(parent), socket_(socket)
{
    socket_->setParent(this);
    connect(socket_, &QTcpSocket::readyRead, this, &TcpConnection::OnReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &TcpConnection::OnDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            errorSeen_ = true;
    });
}

TcpConnection::~TcpConnection()
{
    socket_->disconnect(this);
}

QHostAddress TcpConnection::PeerAddress() const { return socket_->peerAddress(); }
quint16 TcpConnection::PeerPort() const { return socket_->peerPort(); }

SocketState TcpConnection::State() const
{
    return socket_->state() == QAbstractSocket::ConnectedState ? SocketState::Connected
                                                                : SocketState::Closed;
}

qint64 TcpConnection::BytesAvailable() const { return socket_->bytesAvailable(); }

QByteArray TcpConnection::GetData(qint64 count) { return socket_->read(count); }

qint64 TcpConnection::GetData(char* buffer, qint64 count) { return socket_->read(buffer, count); }

void TcpConnection::Close()
{
    socket_->disconnect(this);
    socket_->abort();
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
    emit Closed(!errorSeen_);
}

} // namespace karsidan::net
