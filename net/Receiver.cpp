#include "net/Receiver.h"

#include "net/IncomingMessage.h"
#include "net/Sender.h"
#include "net/TcpConnection.h"

#include <QDir>
#include <QNetworkInterface>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <memory>

namespace karsidan::net {

struct Receiver::Incoming {
    explicit Incoming(const QString& folder) : message(folder) {}
    IncomingMessage message;
    QString peer;
    QTimer idle;
};

namespace {

QString Describe(const QHostAddress& address, quint16 port)
{
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

} // namespace

Receiver::Receiver(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder), listener_(this)
{
    connect(&listener_, &TcpListener::ConnectionRequest, this, &Receiver::OnConnectionRequest);
}

Receiver::~Receiver() { StopListening(); }

QString Receiver::ListeningOffText(const QString& reason)
{
    return QStringLiteral("Penerimaan pesan mati: ") + reason;
}

QString Receiver::StartListening(quint16 port, const QHostAddress& address)
{
    StopListening();
    return listener_.Listen(port, address);
}

void Receiver::StopListening()
{
    listener_.Close();
    // Unfinished messages are dropped whole; nothing was written for them.
    const auto connections = incoming_.keys();
    for (TcpConnection* connection : connections) {
        connection->Close();
        delete incoming_.take(connection);
        connection->deleteLater();
    }
}

void Receiver::SetOwnSender(Sender* sender) { ownSender_ = sender; }

bool Receiver::IsListening() const { return listener_.State() == SocketState::Listening; }
quint16 Receiver::LocalPort() const { return listener_.LocalPort(); }

qint64 Receiver::BufferedBytes() const
{
    qint64 total = 0;
    for (const Incoming* in : incoming_)
        total += in->message.HeldInMemory();
    return total;
}

Receiver::Origin Receiver::OriginOf(const QHostAddress& peerAddress, quint16 peerPort) const
{
    if (!ownSender_ || ownSender_->IsClosed())
        return Origin::Peer;
    const TcpClient& own = ownSender_->Socket();
    if (own.LocalPort() != 0) {
        const bool same = own.LocalPort() == peerPort
            && own.LocalAddress().isEqual(peerAddress, QHostAddress::ConvertV4MappedToIPv4);
        return same ? Origin::OwnSender : Origin::Peer;
    }
    // Our socket is still connecting and does not know its own end yet.
    // Only a request from this machine can be ours.
    const bool local = peerAddress.isLoopback()
        || QNetworkInterface::allAddresses().contains(peerAddress);
    return local ? Origin::Unknown : Origin::Peer;
}

void Receiver::OnConnectionRequest(int requestId, const QHostAddress& peerAddress, quint16 peerPort)
{
    const QString peer = Describe(peerAddress, peerPort);
    switch (OriginOf(peerAddress, peerPort)) {
    case Origin::OwnSender:
        // The user connected this copy to itself.
        listener_.Refuse(requestId);
        ownSender_->CloseSenderSock();
        return;
    case Origin::Unknown:
        // Ask again once our socket has caught up (the request stays pending).
        QTimer::singleShot(1, this, [this, requestId, peerAddress, peerPort] {
            OnConnectionRequest(requestId, peerAddress, peerPort);
        });
        return;
    case Origin::Peer:
        break;
    }
    if (incoming_.size() >= kMaxConnections) {
        listener_.Refuse(requestId);
        Report(QStringLiteral("sambungan dari %1 ditolak: sudah %2 sambungan terbuka").arg(peer).arg(kMaxConnections));
        return;
    }
    TcpConnection* connection = listener_.Accept(requestId, this);
    if (!connection)
        return;
    auto* in = new Incoming(folder_);
    in->peer = peer;
    in->idle.setSingleShot(true);
    // Queued: Drop deletes the timer that fires.
    connect(&in->idle, &QTimer::timeout, connection, [this, connection] {
        Drop(connection, QStringLiteral("pengirim diam terlalu lama"));
    }, Qt::QueuedConnection);
    in->idle.start(idleTimeoutMs_);
    incoming_.insert(connection, in);
    connect(connection, &TcpConnection::DataArrival, this, [this, connection] { OnDataArrival(connection); });
    connect(connection, &TcpConnection::Closed, this, [this, connection](bool orderly) { OnClosed(connection, orderly); });
}

void Receiver::OnDataArrival(TcpConnection* connection)
{
    Incoming* in = incoming_.value(connection);
    if (!in)
        return;
    in->idle.start(idleTimeoutMs_);
    while (connection->BytesAvailable() > 0) {
        const qint64 arrived = connection->BytesAvailable();
        if (in->message.Size() + arrived > maxMessageBytes_) {
            Drop(connection, QStringLiteral("pesan lebih dari %1 byte").arg(maxMessageBytes_));
            return;
        }
        if (BufferedBytes() + arrived > kMaxBufferedBytes) {
            Drop(connection, QStringLiteral("terlalu banyak data yang belum selesai diterima"));
            return;
        }
        // One small buffer for all connections: it stays in the cache.
        if (chunk_.size() < kChunkBytes)
            chunk_.resize(kChunkBytes);
        const qint64 read = connection->GetData(chunk_.data(), std::min<qint64>(arrived, kChunkBytes));
        if (read <= 0)
            return;
        const QString error = in->message.Append(QByteArrayView(chunk_.constData(), read));
        if (!error.isEmpty()) {
            Drop(connection, error);
            return;
        }
    }
}

void Receiver::OnClosed(TcpConnection* connection, bool orderly)
{
    // Bytes that came with the close.
    OnDataArrival(connection);
    Incoming* in = incoming_.take(connection);
    if (!in)
        return;
    connection->Close();
    connection->deleteLater();
    const std::unique_ptr<Incoming> finished(in);
    if (!orderly) {
        Report(QStringLiteral("sambungan dari %1 putus; pesan dibuang").arg(in->peer));
        return;
    }
    // A peer that connects and sends nothing leaves no trace.
    if (in->message.Size() == 0)
        return;
    const IncomingMessage::Stored stored = in->message.Store(savedFileName_);
    if (!stored.error.isEmpty()) {
        Report(QStringLiteral("pesan dari %1 tidak dapat disimpan: %2").arg(in->peer, stored.error));
        return;
    }
    emit FileStored(stored.name, QDir(folder_).filePath(stored.name));
}

void Receiver::Drop(TcpConnection* connection, const QString& reason)
{
    Incoming* in = incoming_.take(connection);
    if (!in)
        return;
    const QString peer = in->peer;
    delete in;
    connection->Close();
    connection->deleteLater();
    Report(QStringLiteral("pesan dari %1 ditolak: %2").arg(peer, reason));
}

void Receiver::Report(const QString& reason)
{
    qWarning().noquote() << "karsidan:" << reason;
    emit ReceiveFailed(reason);
}

} // namespace karsidan::net
