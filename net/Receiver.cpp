#include "net/Receiver.h"

#include "net/FreeSpaceFloor.h"
#include "net/IncomingMessage.h"
#include "net/LeftoverFiles.h"
#include "net/Sender.h"
#include "net/TcpConnection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>

namespace karsidan::net {

struct Receiver::Incoming {
    Incoming(const QString& folder, ReceivedFileLedger& ledger) : message(folder, ledger) { }
    IncomingMessage message;
    QHostAddress address;
    QString peer;
    QElapsedTimer since;
    QTimer pace;
};

namespace {

QString Describe(const QHostAddress& address, quint16 port)
{
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

QString Mebibytes(qint64 bytes) { return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024)); }

} // namespace

Receiver::Receiver(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder), ledger_(folder), listener_(this), freeSpace_(FreeBytesOf)
{
    connect(&listener_, &TcpListener::ConnectionRequest, this, &Receiver::OnConnectionRequest);
}

Receiver::~Receiver() { StopListening(); }

QString Receiver::ListeningOffText(const QString& reason) { return QStringLiteral("Penerimaan pesan mati: ") + reason; }

QString Receiver::StartListening(quint16 port, const QHostAddress& address)
{
    StopListening();
    const auto started = std::chrono::system_clock::now().time_since_epoch();
    RemoveLeftoverFiles(folder_, std::chrono::duration_cast<std::chrono::nanoseconds>(started).count());
    return listener_.Listen(port, address);
}

void Receiver::StopListening()
{
    listener_.Close();
    // Unfinished messages are dropped whole; nothing was written for them,
    // and a sender already waiting for its answer must not take this close
    // for one.
    const auto connections = incoming_.keys();
    for (TcpConnection* connection : connections) {
        delete incoming_.take(connection);
        Answer(connection, false);
    }
}

void Receiver::SetOwnSender(Sender* sender) { ownSender_ = sender; }

void Receiver::SetConnectionLimits(int total, int perPeer)
{
    maxConnections_ = total;
    maxConnectionsPerPeer_ = perPeer;
}

void Receiver::SetPace(int graceMs, qint64 minBytesPerSecond)
{
    graceMs_ = graceMs;
    minBytesPerSecond_ = minBytesPerSecond;
}

bool Receiver::IsListening() const { return listener_.State() == SocketState::Listening; }
quint16 Receiver::LocalPort() const { return listener_.LocalPort(); }

int Receiver::ConnectionsFrom(const QHostAddress& address) const
{
    return static_cast<int>(std::count_if(incoming_.cbegin(), incoming_.cend(),
                                          [&address](const Incoming* in) { return in->address == address; }));
}

qint64 Receiver::InFlightFrom(const QHostAddress& address) const
{
    qint64 total = 0;
    for (const Incoming* in : incoming_)
        if (in->address == address)
            total += in->message.Size();
    return total;
}

// Our own socket binds its port before it connects, so the answer is known
// the moment a request arrives, without waiting for our socket to finish.
// Until it is up it is bound to any address, and its port can only be
// matched by a request from this machine.
bool Receiver::IsOwnSender(const QHostAddress& peerAddress, quint16 peerPort) const
{
    if (!ownSender_ || ownSender_->IsClosed())
        return false;
    const TcpClient& own = ownSender_->Socket();
    if (own.LocalPort() == 0 || own.LocalPort() != peerPort)
        return false;
    const QHostAddress local = own.LocalAddress();
    if (local == QHostAddress::AnyIPv4)
        return peerAddress.isLoopback() || QNetworkInterface::allAddresses().contains(peerAddress);
    return local.isEqual(peerAddress, QHostAddress::ConvertV4MappedToIPv4);
}

void Receiver::OnConnectionRequest(int requestId, const QHostAddress& peerAddress, quint16 peerPort)
{
    const QString peer = Describe(peerAddress, peerPort);
    if (IsOwnSender(peerAddress, peerPort)) {
        // The user connected this copy to itself.
        listener_.Refuse(requestId);
        ownSender_->CloseSenderSock();
        return;
    }
    if (ConnectionsFrom(peerAddress) >= maxConnectionsPerPeer_) {
        listener_.Refuse(requestId);
        Report(QStringLiteral("sambungan dari %1 ditolak: sudah %2 sambungan terbuka dari alamat itu")
                   .arg(peer)
                   .arg(maxConnectionsPerPeer_));
        return;
    }
    // This request itself is still among the listener's pending ones.
    if (OpenConnections() - 1 >= maxConnections_ && !EvictSlowest()) {
        listener_.Refuse(requestId);
        Report(QStringLiteral("sambungan dari %1 ditolak: sudah %2 sambungan terbuka").arg(peer).arg(maxConnections_));
        return;
    }
    Admit(requestId, peerAddress, peer);
}

void Receiver::Admit(int requestId, const QHostAddress& peerAddress, const QString& peer)
{
    TcpConnection* connection = listener_.Accept(requestId, this);
    if (!connection)
        return;
    auto* in = new Incoming(folder_, ledger_);
    in->address = peerAddress;
    in->peer = peer;
    in->since.start();
    in->pace.setSingleShot(true);
    // Queued: Drop deletes the timer that fires.
    connect(
        &in->pace, &QTimer::timeout, connection,
        [this, connection] { Drop(connection, QStringLiteral("pengirim terlalu lambat")); }, Qt::QueuedConnection);
    ArmPace(*in);
    incoming_.insert(connection, in);
    connect(connection, &TcpConnection::DataArrival, this, [this, connection] { OnDataArrival(connection); });
    connect(connection, &TcpConnection::Closed, this,
            [this, connection](bool orderly) { OnClosed(connection, orderly); });
}

// With every slot taken, a newcomer takes the place of the connection that
// has sent least for its age; among equals the one open longest. Peers that
// hold the slots with silence or a trickle thus cannot shut out one that
// sends.
bool Receiver::EvictSlowest()
{
    TcpConnection* slowest = nullptr;
    double lowest = 0;
    qint64 oldest = 0;
    for (auto it = incoming_.cbegin(); it != incoming_.cend(); ++it) {
        const qint64 age = it.value()->since.nsecsElapsed();
        const double pace = double(it.value()->message.Size()) / double(std::max<qint64>(age, kYoungMs * 1'000'000));
        if (!slowest || pace < lowest || (pace == lowest && age > oldest)) {
            slowest = it.key();
            lowest = pace;
            oldest = age;
        }
    }
    if (!slowest)
        return false;
    Drop(slowest,
         QStringLiteral("semua %1 sambungan terpakai; yang paling sedikit mengirim diputus untuk pengirim baru")
             .arg(maxConnections_));
    return true;
}

void Receiver::ArmPace(Incoming& in)
{
    // After the grace, the average since the connection came must keep the
    // pace: the bytes so far buy time counted from the connection's start.
    const qint64 earned = std::max<qint64>(graceMs_,
                                           in.message.Size() * 1000 / std::max<qint64>(1, minBytesPerSecond_));
    const qint64 left = std::clamp<qint64>(earned - in.since.elapsed(), 0, std::numeric_limits<int>::max());
    in.pace.start(static_cast<int>(left));
}

QString Receiver::Refusal(const Incoming& in, qint64 arriving, qint64 toWrite)
{
    if (in.message.Size() + arriving > maxMessageBytes_)
        return QStringLiteral("pesan lebih dari %1 byte").arg(maxMessageBytes_);
    if (!quota_.Allows(in.address, InFlightFrom(in.address) + arriving))
        return QStringLiteral("alamat itu sudah menyimpan lebih dari %1 dalam satu jam")
            .arg(Mebibytes(quota_.BytesPerHour()));
    const qint64 free = freeSpace_ ? freeSpace_(folder_) : -1;
    if (free >= 0 && free - toWrite < minFreeBytes_)
        return QStringLiteral("ruang disk tinggal %1; paling sedikit %2 harus tetap bebas")
            .arg(Mebibytes(free), Mebibytes(minFreeBytes_));
    return InodeRefusal(folder_);
}

void Receiver::OnDataArrival(TcpConnection* connection)
{
    Incoming* in = incoming_.value(connection);
    if (!in)
        return;
    while (connection->BytesAvailable() > 0) {
        const qint64 arrived = std::min<qint64>(connection->BytesAvailable(), kChunkBytes);
        if (const QString refusal = Refusal(*in, arrived, arrived); !refusal.isEmpty()) {
            Drop(connection, refusal);
            return;
        }
        // One small buffer for all connections: it stays in the cache.
        if (chunk_.size() < kChunkBytes)
            chunk_.resize(kChunkBytes);
        const qint64 read = connection->GetData(chunk_.data(), arrived);
        if (read <= 0)
            break;
        const QString error = in->message.Append(QByteArrayView(chunk_.constData(), read));
        if (!error.isEmpty()) {
            Drop(connection, error);
            return;
        }
    }
    ArmPace(*in);
}

void Receiver::OnClosed(TcpConnection* connection, bool orderly)
{
    // Bytes that came with the close.
    OnDataArrival(connection);
    Incoming* in = incoming_.value(connection);
    if (!in)
        return;
    // Checked while the message still counts among the peer's.
    const QString refusal = orderly ? Refusal(*in, 0, in->message.BytesLeftToWrite()) : QString();
    incoming_.remove(connection);
    const std::unique_ptr<Incoming> finished(in);
    if (!orderly) {
        Answer(connection, false);
        Report(QStringLiteral("sambungan dari %1 putus sebelum ditutup dengan benar; pesan dibuang").arg(in->peer));
        return;
    }
    Answer(connection, StoreMessage(*in, refusal) != Outcome::Refused);
}

Receiver::Outcome Receiver::StoreMessage(Incoming& in, const QString& refusal)
{
    // A peer that connects and sends nothing leaves no trace.
    if (in.message.Size() == 0)
        return Outcome::Empty;
    if (!refusal.isEmpty()) {
        Report(QStringLiteral("pesan dari %1 ditolak: %2").arg(in.peer, refusal));
        return Outcome::Refused;
    }
    const IncomingMessage::Stored stored = in.message.Store(savedFileName_);
    if (!stored.error.isEmpty()) {
        Report(QStringLiteral("pesan dari %1 tidak dapat disimpan: %2").arg(in.peer, stored.error));
        return Outcome::Refused;
    }
    quota_.Add(in.address, in.message.Size());
    emit FileStored(stored.name, QDir(folder_).filePath(stored.name));
    return Outcome::Stored;
}

// The only word back to the sender: an orderly close once the message is
// on the disk, a reset when it is not.
void Receiver::Answer(TcpConnection* connection, bool stored)
{
    if (stored)
        connection->Close();
    else
        connection->Reset();
    connection->deleteLater();
}

void Receiver::Drop(TcpConnection* connection, const QString& reason)
{
    Incoming* in = incoming_.take(connection);
    if (!in)
        return;
    const QString peer = in->peer;
    delete in;
    connection->Reset();
    connection->deleteLater();
    Report(QStringLiteral("pesan dari %1 ditolak: %2").arg(peer, reason));
}

void Receiver::Report(const QString& reason)
{
    qWarning().noquote() << "karsidan:" << reason;
    emit ReceiveFailed(reason);
}

} // namespace karsidan::net
