#pragma once
// The send dialog "ALAMAT IP": the peer's address in four boxes, the port,
// "Sambung" to connect and "Kirim Data" to send. It holds nothing beyond
// its boxes; everything else goes through the SendHost.

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace karsidan {
class MessageBoxHook;
} // namespace karsidan

namespace karsidan::net {

class SendHost;

class frmSend : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;

    frmSend(SendHost& host, QWidget* parent = nullptr);

    // Where the dialog's warnings go: the main window passes its own hook;
    // without one, a message box.
    void SetMessageHook(MessageBoxHook* hook);

    static QString NotFilledText();
    static QString NotConnectedText();
    static QString NotSavedText();

    QGroupBox* fraSend;
    std::array<QLineEdit*, 4> txtIP; // object names txtIP_0 .. txtIP_3
    QLabel* lblPort;
    QLineEdit* txtPort;
    QPushButton* cmdConnect;
    QPushButton* cmdSend;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetupSendForm();
    bool AllFieldsFilled() const;
    void txtPort_Validate();
    void cmdConnect_Click();
    void cmdSend_Click();
    void ShowMessage(const QString& text);

    SendHost& host_;
    MessageBoxHook* messages_;
};

// Port box text to a port number the way "Sambung" reads it: a decimal
// number, a fraction rounded half to even; 0 when it is no number or does
// not fit (which the sender reports as "Sambungan Error").
int PortFromText(const QString& text);

} // namespace karsidan::net
