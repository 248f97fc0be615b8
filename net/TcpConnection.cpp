#include "net/TcpConnection.h"

#include <QTcpSocket>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace karsidan::net {

TcpConnection::TcpConnection(QTcpSocket* socket, QObject* parent) : QObject(parent), socket_(socket)
{
    socket_->setParent(this);
    if (socket_->socketDescriptor() != -1)
        watch_ = ::fcntl(static_cast<int>(socket_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
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

bool TcpConnection::PeerFinishedInOrder() const
{
    if (watch_ < 0)
        return false;
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(watch_, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return false;
    // The peer's FIN has arrived and no reset came after it.
    return info.tcpi_state == TCP_CLOSE_WAIT || info.tcpi_state == TCP_LAST_ACK;
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
    ReleaseWatch();
    socket_->abort();
}

void TcpConnection::Reset()
{
    if (socket_->socketDescriptor() != -1) {
        const linger reset{1, 0};
        ::setsockopt(static_cast<int>(socket_->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    }
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
    Finish(!errorSeen_ && PeerFinishedInOrder());
}

void TcpConnection::Finish(bool orderly)
{
    if (finished_)
        return;
    finished_ = true;
    ReleaseWatch();
    emit Closed(orderly);
}

} // namespace karsidan::net
