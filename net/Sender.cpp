#include "net/Sender.h"

#include "net/MessageFormat.h"
#include "net/OutgoingFileName.h"
#include "net/WireText.h"

#include <QTimer>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace karsidan::net {

Sender::Sender(int currentPort, QObject* parent)
    : QObject(parent), socket_(this), connectTimer_(new QTimer(this)), answerTimer_(new QTimer(this)),
      currentPort_(currentPort)
{
    connectTimer_->setSingleShot(true);
    connect(connectTimer_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("tidak ada jawaban dari %1 dalam %2 detik")
                 .arg(peerAddress_)
                 .arg(connectTimeoutMs_ / 1000.0));
    });
    answerTimer_->setSingleShot(true);
    connect(answerTimer_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("penerima tidak memastikan pesan tersimpan dalam %1 detik; pesan mungkin tidak sampai")
                 .arg((answerTimer_->interval() + 999) / 1000));
    });
    connect(&socket_, &TcpClient::Connected, this, &Sender::OnConnected);
    connect(&socket_, &TcpClient::Error, this, &Sender::Fail);
    connect(&socket_, &TcpClient::SendComplete, this, &Sender::OnSendComplete);
    connect(&socket_, &TcpClient::Closed, this, &Sender::OnPeerClosed);
}

QString Sender::ConnectingText(const QString& address) { return QStringLiteral("Sambungan ke ") + address; }
QString Sender::ConnectedText(const QString& address) { return QStringLiteral("Tersambung ke ") + address; }
QString Sender::ErrorText() { return QStringLiteral("Sambungan Error"); }

int Sender::AnswerTimeoutMs(qint64 messageBytes, int baseMs, qint64 bytesPerSecond)
{
    const qint64 total = baseMs + messageBytes * 1000 / std::max<qint64>(1, bytesPerSecond);
    return static_cast<int>(std::min<qint64>(total, std::numeric_limits<int>::max()));
}

void Sender::SetAnswerTimeout(int baseMs, qint64 bytesPerSecond)
{
    answerBaseMs_ = baseMs;
    answerBytesPerSecond_ = bytesPerSecond;
}

void Sender::CheckIP(const QString& address, int port)
{
    CloseSenderSock();
    failureReason_.clear();
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
        failureReason_ = reason;
        SetStatus(ErrorText());
        emit Failed(reason);
        return reason;
    }
    switch (State()) {
    case SocketState::Connecting:
        waiting_ = message;
        messageBytes_ = message.size();
        inFlight_ = true;
        return {};
    case SocketState::Connected:
        messageBytes_ = message.size();
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
    answerTimer_->stop();
    waiting_.clear();
    messageBytes_ = 0;
    inFlight_ = false;
    awaitingAnswer_ = false;
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
    failureReason_ = reason;
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
    awaitingAnswer_ = true;
    answerTimer_->start(AnswerTimeoutMs(messageBytes_, answerBaseMs_, answerBytesPerSecond_));
}

QString Sender::ClosedReason(bool orderly) const
{
    if (awaitingAnswer_)
        return orderly ? QString() : QStringLiteral("penerima menolak pesan atau tidak dapat menyimpannya");
    if (inFlight_)
        return orderly ? QStringLiteral("penerima menutup sambungan sebelum pesan terkirim")
                       : QStringLiteral("penerima menolak pesan dan memutus sambungan sebelum pesan terkirim");
    // An idle connection: an orderly close changes nothing.
    return orderly ? QString() : QStringLiteral("penerima memutus sambungan");
}

void Sender::OnPeerClosed(bool orderly)
{
    const bool delivered = awaitingAnswer_ && orderly;
    const QString reason = ClosedReason(orderly);
    CloseSenderSock();
    if (!reason.isEmpty()) {
        Fail(reason);
        return;
    }
    if (delivered) {
        failureReason_.clear();
        emit SendFinished();
    }
}

} // namespace karsidan::net
