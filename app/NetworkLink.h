#pragma once
// The window's side of the network: the listener (wskListen) and the
// outgoing socket (wskSend), kept in step with the shared globals, and the
// host the send dialog talks to.
#include "app/send/SendHost.h"
#include "net/Receiver.h"
#include "net/Sender.h"

#include <QObject>
#include <QString>

#include <functional>

namespace karsidan {

class NetworkLink : public QObject, public net::SendHost {
    Q_OBJECT
public:
    // What the link needs from the window it serves.
    struct WindowHooks {
        std::function<bool()> saveFile; // "Simpan" on the result editor
        std::function<QString()> targetText; // the result editor's text
        std::function<void(const QString&)> setStatus; // status panel 1
        std::function<void(const QString&)> setStatusReason; // why it last failed; empty: no failure shown
    };

    explicit NetworkLink(WindowHooks hooks, QObject* parent = nullptr);

    // Listens on CurrentPort; a port that is taken leaves the window working
    // and says so in the status bar.
    void StartListening();
    void StopListening();

    void CheckIP(const QString& address, int port) override;
    void SendData() override;
    void SaveFile() override;
    void CloseSenderSock() override;
    bool IsSenderClosed() const override;
    QString SavedFileName() const override;
    QString TargetText() const override;
    int CurrentPort() const override;
    void CenterForm(QWidget* form, bool atTop) override;

    net::Receiver& wskListen() { return receiver_; }
    net::Sender& wskSend() { return sender_; }

private:
    WindowHooks hooks_;
    net::Receiver receiver_;
    net::Sender sender_;
};

} // namespace karsidan
