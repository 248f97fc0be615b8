#include "app/NetworkLink.h"

#include "app/mdlGlobal.h"
#include "app/mdlProcedures.h"

#include <cstdio>

namespace karsidan {

NetworkLink::NetworkLink(WindowHooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)), receiver_(mdlGlobal::AppFolder), sender_(mdlGlobal::CurrentPort)
{
    receiver_.setObjectName(QStringLiteral("wskListen"));
    sender_.setObjectName(QStringLiteral("wskSend"));
    receiver_.SetSavedFileNameSource([] { return mdlGlobal::SavedFileName; });
    receiver_.SetOwnSender(&sender_);
    connect(&receiver_, &net::Receiver::FileStored, this,
            [](const QString& name, const QString&) { mdlGlobal::SavedFileName = name; });
    connect(&sender_, &net::Sender::StatusChanged, this, [this](const QString& text) {
        hooks_.setStatus(text);
        // A reason belongs to the error it explains, not to a later attempt.
        if (text != net::Sender::ErrorText())
            hooks_.setStatusReason({});
    });
    // The panel keeps its one text, "Sambungan Error"; the reason goes to its
    // tooltip and to standard error.
    connect(&sender_, &net::Sender::Failed, this, [this](const QString& reason) {
        std::fprintf(stderr, "karsidan: %s: %s\n", qPrintable(net::Sender::ErrorText()), qPrintable(reason));
        hooks_.setStatusReason(reason);
    });
}

void NetworkLink::StartListening()
{
    StopListening();
    const QString failure = receiver_.StartListening(quint16(mdlGlobal::CurrentPort));
    if (!failure.isEmpty()) {
        hooks_.setStatus(net::Receiver::ListeningOffText(failure));
        hooks_.setStatusReason(failure);
    }
}

void NetworkLink::StopListening()
{
    if (receiver_.IsListening())
        receiver_.StopListening();
}

void NetworkLink::CheckIP(const QString& address, int port)
{
    mdlGlobal::CurrentPort = port;
    sender_.CheckIP(address, port);
}

void NetworkLink::SendData() { sender_.SendData(mdlGlobal::SavedFileName, hooks_.targetText()); }

void NetworkLink::SaveFile() { hooks_.saveFile(); }

void NetworkLink::CloseSenderSock() { sender_.CloseSenderSock(); }

bool NetworkLink::IsSenderClosed() const { return sender_.IsClosed(); }

QString NetworkLink::SavedFileName() const { return mdlGlobal::SavedFileName; }

QString NetworkLink::TargetText() const { return hooks_.targetText(); }

int NetworkLink::CurrentPort() const { return mdlGlobal::CurrentPort; }

void NetworkLink::CenterForm(QWidget* form, bool atTop) { karsidan::CenterForm(form, atTop); }

} // namespace karsidan
