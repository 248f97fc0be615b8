#pragma once
// The receiving side (wskListen): listens on a port and stores every
// message a peer sends as a file in the program folder. A message is all
// the data of one connection, stored only when the peer closes it in order;
// a reset, a time-out or any error drops it whole. No byte is sent back:
// this end closes in order once the message is on the disk and resets the
// connection when it refuses the message or cannot store it. Nothing is
// deleted on a peer's request.

#include "net/PeerQuota.h"
#include "net/ReceivedFileLedger.h"
#include "net/TcpListener.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace karsidan::net {

class Sender;
class TcpConnection;

class Receiver : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxMessageBytes = 64 * 1024 * 1024;
    // A peer beyond the limit per address is turned away. With every slot
    // taken, a newcomer takes the place of the connection that has sent
    // least for its age (ages under kYoungMs count as kYoungMs). Memory
    // needs no cap of its own: a message holds at most
    // IncomingMessage::kMaxHeldBytes, the rest goes to its temporary file.
    static constexpr int kMaxConnections = 64;
    static constexpr int kMaxConnectionsPerPeer = 4;
    static constexpr qint64 kYoungMs = 1000;
    // A whole message must keep this pace: after the grace (time for the
    // user between "Sambung" and "Kirim Data") at least this many bytes a
    // second on average since the connection came, or it is dropped. Each
    // byte buys its own time only, so a trickle cannot hold a slot.
    static constexpr int kGraceMs = 5 * 60 * 1000;
    static constexpr qint64 kMinBytesPerSecond = 1024;
    // A message is dropped when storing it would leave less than this free
    // on the folder's file system, or fewer inodes than InodeFloor.
    static constexpr qint64 kMinFreeBytes = 128 * 1024 * 1024;
    // What one peer address may store within an hour.
    static constexpr qint64 kMaxBytesPerPeerHour = 1024LL * 1024 * 1024;
    static constexpr qint64 kChunkBytes = 256 * 1024;

    // folder: where received files go (AppFolder).
    explicit Receiver(const QString& folder, QObject* parent = nullptr);
    ~Receiver() override;

    // Returns an empty string when listening, otherwise why not (Indonesian).
    // Temporary files left in the folder by a writer killed before this
    // start are removed first.
    QString StartListening(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    void StopListening();
    bool IsListening() const;
    quint16 LocalPort() const;
    // How many peers are connected right now, those not answered yet
    // included.
    int OpenConnections() const { return static_cast<int>(incoming_.size()) + listener_.PendingCount(); }

    // The current SavedFileName, used for a message that carries no name.
    void SetSavedFileNameSource(std::function<QString()> source) { savedFileName_ = std::move(source); }
    // This copy's own outgoing socket: a request that comes from it is
    // refused and that outgoing connection closed.
    void SetOwnSender(Sender* sender);

    // Limits other than the defaults above, and seams for the tests.
    void SetMessageLimit(qint64 bytes) { maxMessageBytes_ = bytes; }
    void SetConnectionLimits(int total, int perPeer);
    void SetPace(int graceMs, qint64 minBytesPerSecond);
    // Free bytes on the folder's file system, or -1 when unknown.
    void SetFreeSpaceSource(std::function<qint64(const QString& folder)> source) { freeSpace_ = std::move(source); }
    void SetHourlyLimit(qint64 bytes) { quota_.SetBytesPerHour(bytes); }
    void SetClock(PeerQuota::Clock clock) { quota_.SetClock(std::move(clock)); }

    // Status bar text for a listener that could not start.
    static QString ListeningOffText(const QString& reason);

signals:
    // A message was stored as folder/name; name becomes SavedFileName.
    void FileStored(const QString& name, const QString& path);
    // A message was refused or could not be stored; nothing was written.
    void ReceiveFailed(const QString& reason);

private:
    struct Incoming;
    // What became of a message whose peer closed in order: on the disk
    // (synced and renamed into place), nothing to store, or not stored.
    enum class Outcome { Stored, Empty, Refused };

    void OnConnectionRequest(int requestId, const QHostAddress& peerAddress, quint16 peerPort);
    bool IsOwnSender(const QHostAddress& peerAddress, quint16 peerPort) const;
    void Admit(int requestId, const QHostAddress& peerAddress, const QString& peer);
    bool EvictSlowest();
    void OnDataArrival(TcpConnection* connection);
    void OnClosed(TcpConnection* connection, bool orderly);
    // refusal: what Refusal said while the message still counted.
    Outcome StoreMessage(Incoming& in, const QString& refusal);
    void Answer(TcpConnection* connection, bool stored);
    // Why the next bytes of a message may not be kept, or an empty string.
    QString Refusal(const Incoming& in, qint64 arriving, qint64 toWrite);
    void ArmPace(Incoming& in);
    void Drop(TcpConnection* connection, const QString& reason);
    void Report(const QString& reason);
    int ConnectionsFrom(const QHostAddress& address) const;
    qint64 InFlightFrom(const QHostAddress& address) const;

    QString folder_;
    ReceivedFileLedger ledger_;
    TcpListener listener_;
    QHash<TcpConnection*, Incoming*> incoming_;
    QByteArray chunk_;
    std::function<QString()> savedFileName_;
    QPointer<Sender> ownSender_;
    qint64 maxMessageBytes_ = kMaxMessageBytes;
    int maxConnections_ = kMaxConnections;
    int maxConnectionsPerPeer_ = kMaxConnectionsPerPeer;
    int graceMs_ = kGraceMs;
    qint64 minBytesPerSecond_ = kMinBytesPerSecond;
    qint64 minFreeBytes_ = kMinFreeBytes;
    std::function<qint64(const QString&)> freeSpace_;
    PeerQuota quota_{kMaxBytesPerPeerHour};
};

} // namespace karsidan::net
