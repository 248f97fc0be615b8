#pragma once
// What the send dialog needs from the window that opens it. The main
// window implements it over its Sender and its document commands; tests
// use a fake.

#include <QString>

class QWidget;

namespace karsidan::net {

class SendHost {
public:
    virtual ~SendHost() = default;

    // Stores address and port and starts connecting (status bar shows it).
    virtual void CheckIP(const QString& address, int port) = 0;
    // Sends SavedFileName | the result editor's text on the open connection.
    virtual void SendData() = 0;
    // Lets the user save the result editor's text (sets SavedFileName).
    virtual void SaveFile() = 0;
    virtual void CloseSenderSock() = 0;
    virtual bool IsSenderClosed() const = 0;
    virtual QString SavedFileName() const = 0;
    // The result editor's text, as SendData would send it.
    virtual QString TargetText() const = 0;
    virtual int CurrentPort() const = 0;
    // Centres form on the screen; atTop then moves it to the top edge.
    virtual void CenterForm(QWidget* form, bool atTop) = 0;
};

} // namespace karsidan::net
