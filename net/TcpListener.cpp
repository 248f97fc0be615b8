#include "net/TcpListener.h"

#include "net/TcpConnection.h"
#include "net/TcpEnding.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace karsidan::net {

namespace {

// Accepted sockets read straight from the system into the caller's
// buffer: a large message is not staged in a second buffer first.
class UnbufferedServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor, QAbstractSocket::ConnectedState,
                                         QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            delete socket;
            return;
        }
        addPendingConnection(socket);
    }
};

} // namespace

TcpListener::TcpListener(QObject* parent) : QObject(parent), server_(new UnbufferedServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &TcpListener::OnNewConnection);
}

TcpListener::~TcpListener() { Close(); }

QString TcpListener::Listen(quint16 port, const QHostAddress& address)
{
    Close();
    if (server_->listen(address, port))
        return {};
    switch (server_->serverError()) {
    case QAbstractSocket::AddressInUseError: return QStringLiteral("port %1 sudah dipakai program lain").arg(port);
    case QAbstractSocket::SocketAccessError: return QStringLiteral("tidak ada izin memakai port %1").arg(port);
    default:
        return QStringLiteral("port %1 tidak dapat dibuka (kesalahan nomor %2)")
            .arg(port)
            .arg(static_cast<int>(server_->serverError()));
    }
}

void TcpListener::Close()
{
    server_->close();
    const auto requests = pending_.keys();
    for (int requestId : requests)
        Refuse(requestId);
}

SocketState TcpListener::State() const { return server_->isListening() ? SocketState::Listening : SocketState::Closed; }

quint16 TcpListener::LocalPort() const { return server_->serverPort(); }

TcpConnection* TcpListener::Accept(int requestId, QObject* owner)
{
    QTcpSocket* socket = pending_.take(requestId);
    if (!socket)
        return nullptr;
    return new TcpConnection(socket, owner);
}

void TcpListener::Refuse(int requestId)
{
    if (QTcpSocket* socket = pending_.take(requestId)) {
        // A reset: a peer that already writes sees a refusal, not a close.
        ResetOnClose(socket->socketDescriptor());
        socket->abort();
        socket->deleteLater();
    }
}

void TcpListener::OnNewConnection()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        const int id = nextRequestId_++;
        pending_.insert(id, socket);
        emit ConnectionRequest(id, socket->peerAddress(), socket->peerPort());
    }
}

} // namespace karsidan::net
