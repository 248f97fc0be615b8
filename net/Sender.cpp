#include "net/Sender.h"

#include "net/MessageFormat.h"
#include "net/OutgoingFileName.h"
#include "net/WireText.h"

#include <QTimer>

#include <stdexcept>
#include <utility>

namespace karsidan::net {

Sender::Sender(int currentPort, QObject* parent)
    : QObject(parent), socket_(this), connectTimer_(new QTimer(this)), currentPort_(currentPort)
{
    connectTimer_->setSingleShot(true);
    connect(connectTimer_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("tidak ada jawaban dari %1 dalam %2 detik")
                 .arg(peerAddress_)
                 .arg(connectTimeoutMs_ / 1000.0));
    });
    connect(&socket_, &TcpClient::Connected, this, &Sender::OnConnected);
    connect(&socket_, &TcpClient::Error, this, &Sender::Fail);
    connect(&socket_, &TcpClient::SendComplete, this, &Sender::OnSendComplete);
    connect(&socket_, &TcpClient::Closed, this, &Sender::OnPeerClosed);
}

QString Sender::ConnectingText(const QString& address) { return QStringLiteral("Sambungan ke ") + address; }
QString Sender::ConnectedText(const QString& address) { return QStringLiteral("Tersambung ke ") + address; }
QString Sender::ErrorText() { return QStringLiteral("Sambungan Error"); }

void Sender::CheckIP(const QString& address, int port)
{
    CloseSenderSock();
    peerAddress_ = address;
    currentPort_ = port;
    SetStatus(ConnectingText(peerAddress_));
    if (port < 1 || port > 65535) {
        Fail(QStringLiteral("port %1 di luar 1-65535").arg(port));
        return;
    }
    connectTimer_->start(connectTimeoutMs_);
    socket_.Connect(peerAddress_, static_cast<quint16>(port));
}

QString Sender::SendData(const QString& savedFileName, const QString& text)
{
    QByteArray body;
    try {
        body = ToWireBytes(text);
    } catch (const std::invalid_argument& error) {
        const QString reason = QStringLiteral("teks tidak dapat dikirim: ") + QString::fromUtf8(error.what());
        Fail(reason);
        return reason;
    }
    return SendMessage(ComposeMessage(OutgoingFileName(savedFileName), body));
}

QString Sender::SendMessage(const QByteArray& message)
{
    if (inFlight_) {
        // Two messages on one connection would reach the peer as one. The
        // first goes on; only this one is refused.
        const QString reason = QStringLiteral("pesan sebelumnya masih dikirim; pesan ini tidak dikirim");
        SetStatus(ErrorText());
        emit Failed(reason);
        return reason;
    }
    switch (State()) {
    case SocketState::Connecting:
        waiting_ = message;
        inFlight_ = true;
        return {};
    case SocketState::Connected:
        inFlight_ = true;
        socket_.SendData(message);
        return {};
    default: {
        const QString reason = QStringLiteral("belum tersambung");
        Fail(reason);
        return reason;
    }
    }
}

void Sender::CloseSenderSock()
{
    connectTimer_->stop();
    waiting_.clear();
    inFlight_ = false;
    socket_.Close();
}

void Sender::SetStatus(const QString& text)
{
    statusText_ = text;
    emit StatusChanged(text);
}

void Sender::Fail(const QString& reason)
{
    CloseSenderSock();
    SetStatus(ErrorText());
    emit Failed(reason);
}

void Sender::OnConnected()
{
    connectTimer_->stop();
    SetStatus(ConnectedText(peerAddress_));
    if (!waiting_.isEmpty() || inFlight_) {
        const QByteArray message = std::exchange(waiting_, {});
        socket_.SendData(message);
    }
}

void Sender::OnSendComplete()
{
    CloseSenderSock();
    emit SendFinished();
}

void Sender::OnPeerClosed()
{
    const bool lost = inFlight_;
    CloseSenderSock();
    // A close before our message was handed over means it never arrived.
    if (lost) {
        SetStatus(ErrorText());
        emit Failed(QStringLiteral("penerima menutup sambungan sebelum pesan terkirim"));
    }
}

} // namespace karsidan::net
