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
    // Why a text is not sent: it is no cipher text (reason says why).
    static QString NotCipherText(const QString& reason);
    // Address part n (1 to 4) or the port does not read as one.
    static QString BadAddressPartText(int part, const QString& text);
    static QString BadPortText(const QString& text);

    // Null until built: the boxes' event filter runs while they are made.
    QGroupBox* fraSend = nullptr;
    std::array<QLineEdit*, 4> txtIP{}; // object names txtIP_0 .. txtIP_3
    QLabel* lblPort = nullptr;
    QLineEdit* txtPort = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdSend = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetupSendForm();
    bool AllFieldsFilled() const;
    // Puts the parts of a dotted address typed or pasted into box index
    // into the boxes: all four for a whole address, else from index on.
    void FillAddress(std::size_t index, const QString& dotted);
    void FocusBox(QWidget* box);
    void cmdConnect_Click();
    void cmdSend_Click();
    void ShowMessage(const QString& text);

    SendHost& host_;
    MessageBoxHook* messages_;
};

// Port box text to a port number the way "Sambung" reads it: a decimal
// number, a fraction rounded half to even; 0 when it is no number or does
// not fit. "Sambung" connects only to ports 1 to 65535.
int PortFromText(const QString& text);

// The part of a dotted address as a number 0 to 255, or -1.
int AddressPartFromText(const QString& text);

// Why text is not a cipher text that may be sent, or empty when it is one:
// the check decryption makes.
QString CipherTextProblem(const QString& text);

} // namespace karsidan::net
