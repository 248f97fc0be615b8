#pragma once
// The send dialog "ALAMAT IP": the peer's address in four boxes, the port,
// "Sambung" to connect and "Kirim Data" to send. It holds nothing beyond
// its boxes; everything else goes through the SendHost.

#include <QDialog>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace karsidan::net {

class SendHost;

class frmSend : public QDialog {
    Q_OBJECT
public:
    // Shows a warning to the user: exclamation icon, one OK button.
    using MessageBoxHook = std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    static constexpr int kTwipsPerPixel = 15;

    frmSend(SendHost& host, QWidget* parent = nullptr);

    // Replaces how every frmSend shows its messages (tests: no modal box).
    // An empty hook restores the message box.
    static void SetMessageBoxHook(MessageBoxHook hook);
    // The same for this dialog only (e.g. the window's own message hook);
    // wins over the process-wide one.
    void SetMessageHook(MessageBoxHook hook) { messageHook_ = std::move(hook); }

    static QString NotFilledText();
    static QString NotConnectedText();
    static QString NotSavedText();

    QGroupBox* fraSend;
    std::array<QLineEdit*, 4> txtIP;  // object names txtIP_0 .. txtIP_3
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
    MessageBoxHook messageHook_;
};

// Port box text to a port number the way "Sambung" reads it: a decimal
// number, a fraction rounded half to even; 0 when it is no number or does
// not fit (which the sender reports as "Sambungan Error").
int PortFromText(const QString& text);

} // namespace karsidan::net
