#include "Receiver.h"

#include "AtomicFileWriter.h"
#include "MessageFormat.h"
#include "ReceivedFileName.h"
#include "Sender.h"
#include "TcpConnection.h"
#include "WireText.h"

#include <QDir>
#include <QNetworkInterface>
#include <QTimer>
#include <QtDebug>

namespace karsidan::net {

struct Receiver::Incoming {
    QByteArray buffer;
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
        total += in->buffer.size();
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
    auto* in = new Incoming;
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
    const qint64 arrived = connection->BytesAvailable();
    if (in->buffer.size() + arrived > maxMessageBytes_) {
        Drop(connection, QStringLiteral("pesan lebih dari %1 byte").arg(maxMessageBytes_));
        return;
    }
    if (BufferedBytes() + arrived > kMaxBufferedBytes) {
        Drop(connection, QStringLiteral("terlalu banyak data yang belum selesai diterima"));
        return;
    }
    in->buffer.append(connection->GetData(arrived));
    in->idle.start(idleTimeoutMs_);
}

void Receiver::OnClosed(TcpConnection* connection, bool orderly)
{
    Incoming* in = incoming_.take(connection);
    if (!in)
        return;
    connection->Close();
    connection->deleteLater();
    const QByteArray message = std::move(in->buffer);
    const QString peer = in->peer;
    delete in;
    if (!orderly) {
        Report(QStringLiteral("sambungan dari %1 putus; pesan dibuang").arg(peer));
        return;
    }
    // A peer that connects and sends nothing leaves no trace.
    if (!message.isEmpty())
        Store(message, peer);
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

void Receiver::Store(const QByteArray& message, const QString& peer)
{
    const ParsedMessage parsed = ParseMessage(message);
    const QString requested = parsed.hasName ? FromWireBytes(parsed.name)
                                             : (savedFileName_ ? savedFileName_() : QString());
    const QString name = StoredFileName(requested);
    const QString error = WriteFileAtomically(folder_, name, parsed.content);
    if (!error.isEmpty()) {
        Report(QStringLiteral("pesan dari %1 tidak dapat disimpan sebagai %2: %3").arg(peer, name, error));
        return;
    }
    emit FileStored(name, QDir(folder_).filePath(name));
}

void Receiver::Report(const QString& reason)
{
    qWarning().noquote() << "karsidan:" << reason;
    emit ReceiveFailed(reason);
}

} // namespace karsidan::net
