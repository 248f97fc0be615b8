#include "net/TcpClient.h"

#include "net/TcpEnding.h"

#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>
#include <optional>
#include <utility>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace karsidan::net {

namespace {

// While a connection is being set up Qt has not asked the system for this
// end's address yet, but the system has already bound it.
std::optional<std::pair<QHostAddress, quint16>> BoundEndpoint(qintptr descriptor)
{
    if (descriptor == -1)
        return std::nullopt;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&local), &length) != 0
        || local.sin_family != AF_INET)
        return std::nullopt;
    return std::pair(QHostAddress(ntohl(local.sin_addr.s_addr)), ntohs(local.sin_port));
}

// In the program's language; Qt's own texts are English.
QString Describe(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("penerima menolak sambungan (tidak ada yang mendengarkan di port itu)");
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("alamat tidak ditemukan");
    case QAbstractSocket::NetworkError: return QStringLiteral("jaringan bermasalah (tidak terjangkau atau terputus)");
    case QAbstractSocket::SocketTimeoutError: return QStringLiteral("waktu habis");
    case QAbstractSocket::SocketAccessError: return QStringLiteral("izin ditolak");
    case QAbstractSocket::SocketResourceError: return QStringLiteral("sumber daya sistem habis");
    case QAbstractSocket::DatagramTooLargeError:
    case QAbstractSocket::UnsupportedSocketOperationError: return QStringLiteral("operasi tidak didukung");
    default: return QStringLiteral("kesalahan sambungan nomor %1").arg(static_cast<int>(error));
    }
}

} // namespace

TcpClient::TcpClient(QObject* parent) : QObject(parent) { }

TcpClient::~TcpClient() { Release(); }

void TcpClient::Connect(const QString& remoteHost, quint16 remotePort)
{
    Release();
    socket_ = new QTcpSocket(this);
    QTcpSocket* socket = socket_;
    connect(socket, &QTcpSocket::connected, this, &TcpClient::OnConnected);
    connect(socket, &QTcpSocket::bytesWritten, this, &TcpClient::OnBytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // a FIN or a reset: told apart in OnDisconnected
        const QString text = Describe(error);
        Release();
        emit Error(text);
    });
    connect(socket, &QTcpSocket::disconnected, this, &TcpClient::OnDisconnected);
    // Qt shows no descriptor while connecting; bound first, this end's port
    // is known at once, so the listener of this copy can tell its own
    // request from any other the moment it arrives. Not shared, so no other
    // socket of this machine can hold the same port meanwhile.
    socket->bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress);
    socket->connectToHost(remoteHost, remotePort, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
}

void TcpClient::OnConnected()
{
    watch_ = WatchDescriptor(socket_->socketDescriptor());
    emit Connected();
}

void TcpClient::OnDisconnected()
{
    const bool orderly = PeerFinishedInOrder(watch_);
    Release();
    emit Closed(orderly);
}

void TcpClient::SendData(const QByteArray& data)
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) {
        emit Error(QStringLiteral("tidak tersambung"));
        return;
    }
    if (data.isEmpty()) {
        HalfClose();
        return;
    }
    unsent_ += data.size();
    socket_->write(data);
}

void TcpClient::OnBytesWritten()
{
    if (socket_ && unsent_ > 0 && socket_->bytesToWrite() == 0) {
        unsent_ = 0;
        HalfClose();
    }
}

// Qt knows no half-close, and it reads a reset as the end of the data. So
// the socket goes on without Qt: its own descriptor is let go (the bytes
// are all with the system by now) and the watch waits for the answer.
void TcpClient::HalfClose()
{
    if (watch_ < 0 || ::shutdown(watch_, SHUT_WR) != 0) {
        // The peer reset the connection before the last byte left.
        Release();
        emit Closed(false);
        return;
    }
    QTcpSocket* socket = std::exchange(socket_, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    answer_ = new QSocketNotifier(watch_, QSocketNotifier::Read, this);
    connect(answer_, &QSocketNotifier::activated, this, &TcpClient::OnAnswer);
    emit SendComplete();
}

void TcpClient::OnAnswer()
{
    char discard[4096];
    for (;;) {
        const ssize_t got = ::recv(watch_, discard, sizeof discard, MSG_DONTWAIT);
        if (got > 0)
            continue; // the exchange has no reply; bytes are no answer
        if (got == 0) {
            EndAnswer(true);
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            EndAnswer(false);
        return;
    }
}

void TcpClient::EndAnswer(bool orderly)
{
    Release();
    emit Closed(orderly);
}

void TcpClient::Close() { Release(); }

// Bytes already with the system still go out: closing a descriptor sends
// them before the FIN. Only bytes Qt still holds are lost, which a close
// before the send completed means to drop.
void TcpClient::Release()
{
    unsent_ = 0;
    // Later: this may run inside the notifier's own signal.
    if (QSocketNotifier* answer = std::exchange(answer_, nullptr)) {
        answer->setEnabled(false);
        answer->deleteLater();
    }
    if (watch_ >= 0)
        ::close(watch_);
    watch_ = -1;
    if (QTcpSocket* socket = std::exchange(socket_, nullptr)) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

int TcpClient::Descriptor() const { return socket_ ? static_cast<int>(socket_->socketDescriptor()) : watch_; }

SocketState TcpClient::State() const
{
    if (!socket_)
        return watch_ >= 0 ? SocketState::Connected : SocketState::Closed;
    switch (socket_->state()) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState: return SocketState::Connecting;
    case QAbstractSocket::ConnectedState: return SocketState::Connected;
    default: return SocketState::Closed;
    }
}

QHostAddress TcpClient::LocalAddress() const
{
    if (socket_ && !socket_->localAddress().isNull())
        return socket_->localAddress();
    const auto bound = BoundEndpoint(Descriptor());
    return bound ? bound->first : QHostAddress();
}

quint16 TcpClient::LocalPort() const
{
    if (socket_ && socket_->localPort() != 0)
        return socket_->localPort();
    const auto bound = BoundEndpoint(Descriptor());
    return bound ? bound->second : 0;
}

qint64 TcpClient::BytesToWrite() const { return socket_ ? socket_->bytesToWrite() : 0; }

} // namespace karsidan::net
