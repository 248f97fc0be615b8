#pragma once
// The listening socket: a peer's connect request becomes a
// ConnectionRequest event, which the owner answers with Accept or Refuse.

#include "net/SocketState.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

namespace karsidan::net {

class TcpConnection;

class TcpListener : public QObject {
    Q_OBJECT
public:
    explicit TcpListener(QObject* parent = nullptr);
    ~TcpListener() override;

    // Starts listening on port (0: any free port) at address. Returns an
    // empty string on success, otherwise the reason in Indonesian.
    QString Listen(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    // Stops listening and drops every request not answered yet.
    void Close();

    SocketState State() const;
    quint16 LocalPort() const;
    // Requests announced and not answered yet.
    int PendingCount() const { return static_cast<int>(pending_.size()); }

    // The connection becomes the caller's; its events follow.
    TcpConnection* Accept(int requestId, QObject* owner);
    // Takes the request and resets it at once.
    void Refuse(int requestId);

signals:
    void ConnectionRequest(int requestId, const QHostAddress& peerAddress, quint16 peerPort);

private:
    void OnNewConnection();

    QTcpServer* server_;
    QHash<int, QTcpSocket*> pending_;
    int nextRequestId_ = 1;
};

} // namespace karsidan::net
