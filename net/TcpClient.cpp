#include "net/TcpClient.h"

#include <QTcpSocket>

#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace karsidan::net {

namespace {

// While a connection is being set up Qt has not asked the system for this
// end's address yet, but the system has already bound it.
std::optional<std::pair<QHostAddress, quint16>> BoundEndpoint(qintptr descriptor)
{
#ifdef Q_OS_UNIX
    if (descriptor == -1)
        return std::nullopt;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&local), &length) != 0
        || local.sin_family != AF_INET)
        return std::nullopt;
    return std::pair(QHostAddress(ntohl(local.sin_addr.s_addr)), ntohs(local.sin_port));
#else
    Q_UNUSED(descriptor);
    return std::nullopt;
#endif
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
    connect(socket, &QTcpSocket::connected, this, &TcpClient::Connected);
    connect(socket, &QTcpSocket::bytesWritten, this, &TcpClient::OnBytesWritten);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return; // reported through disconnected
        const QString text = Describe(error);
        Release();
        emit Error(text);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        Release();
        emit Closed();
    });
    socket->connectToHost(remoteHost, remotePort, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
}

void TcpClient::SendData(const QByteArray& data)
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) {
        emit Error(QStringLiteral("tidak tersambung"));
        return;
    }
    unsent_ += data.size();
    if (data.isEmpty()) {
        emit SendComplete();
        return;
    }
    socket_->write(data);
}

void TcpClient::Close()
{
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    unsent_ = 0;
    socket->disconnect(this);
    // close() lets bytes the system holds go out; abort() would reset.
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() == 0)
        socket->close();
    else
        socket->abort();
    socket->deleteLater();
}

void TcpClient::Release()
{
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    unsent_ = 0;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

SocketState TcpClient::State() const
{
    if (!socket_)
        return SocketState::Closed;
    switch (socket_->state()) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState: return SocketState::Connecting;
    case QAbstractSocket::ConnectedState: return SocketState::Connected;
    default: return SocketState::Closed;
    }
}

QHostAddress TcpClient::LocalAddress() const
{
    if (!socket_)
        return {};
    if (!socket_->localAddress().isNull())
        return socket_->localAddress();
    const auto bound = BoundEndpoint(socket_->socketDescriptor());
    return bound ? bound->first : QHostAddress();
}

quint16 TcpClient::LocalPort() const
{
    if (!socket_)
        return 0;
    if (socket_->localPort() != 0)
        return socket_->localPort();
    const auto bound = BoundEndpoint(socket_->socketDescriptor());
    return bound ? bound->second : 0;
}

qint64 TcpClient::BytesToWrite() const { return socket_ ? socket_->bytesToWrite() : 0; }

void TcpClient::OnBytesWritten()
{
    if (socket_ && unsent_ > 0 && socket_->bytesToWrite() == 0) {
        unsent_ = 0;
        emit SendComplete();
    }
}

} // namespace karsidan::net
