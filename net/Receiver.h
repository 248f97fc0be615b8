#pragma once
// The receiving side (wskListen): listens on a port and stores every
// message a peer sends as a file in the program folder. A message is all
// the data of one connection, taken when the peer closes it. Nothing is
// ever sent back, and nothing is deleted on a peer's request.

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
    // Beyond these, further peers are turned away until others finish.
    // Only a message's name part is held in memory (the rest is spooled
    // to disk), so the memory cap only bites on data without a separator.
    static constexpr int kMaxConnections = 16;
    static constexpr qint64 kMaxBufferedBytes = 256 * 1024 * 1024;
    // A peer that stays silent this long is dropped (it may hold a slot).
    static constexpr int kIdleTimeoutMs = 5 * 60 * 1000;
    static constexpr qint64 kChunkBytes = 256 * 1024;

    // folder: where received files go (AppFolder).
    explicit Receiver(const QString& folder, QObject* parent = nullptr);
    ~Receiver() override;

    // Returns an empty string when listening, otherwise why not (Indonesian).
    QString StartListening(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    void StopListening();
    bool IsListening() const;
    quint16 LocalPort() const;
    // How many peers are connected right now.
    int OpenConnections() const { return static_cast<int>(incoming_.size()); }

    // The current SavedFileName, used for a message that carries no name.
    void SetSavedFileNameSource(std::function<QString()> source) { savedFileName_ = std::move(source); }
    // This copy's own outgoing socket: a request that comes from it is
    // refused and that outgoing connection closed.
    void SetOwnSender(Sender* sender);

    void SetMessageLimit(qint64 bytes) { maxMessageBytes_ = bytes; }
    void SetIdleTimeout(int milliseconds) { idleTimeoutMs_ = milliseconds; }

    // Status bar text for a listener that could not start.
    static QString ListeningOffText(const QString& reason);

signals:
    // A message was stored as folder/name; name becomes SavedFileName.
    void FileStored(const QString& name, const QString& path);
    // A message was refused or could not be stored; nothing was written.
    void ReceiveFailed(const QString& reason);

private:
    struct Incoming;
    enum class Origin { Peer, OwnSender, Unknown };

    void OnConnectionRequest(int requestId, const QHostAddress& peerAddress, quint16 peerPort);
    Origin OriginOf(const QHostAddress& peerAddress, quint16 peerPort) const;
    void OnDataArrival(TcpConnection* connection);
    void OnClosed(TcpConnection* connection, bool orderly);
    void Drop(TcpConnection* connection, const QString& reason);
    void Report(const QString& reason);
    qint64 BufferedBytes() const;

    QString folder_;
    TcpListener listener_;
    QHash<TcpConnection*, Incoming*> incoming_;
    QByteArray chunk_;
    std::function<QString()> savedFileName_;
    QPointer<Sender> ownSender_;
    qint64 maxMessageBytes_ = kMaxMessageBytes;
    int idleTimeoutMs_ = kIdleTimeoutMs;
};

} // namespace karsidan::net
