#pragma once
// The main window: fixed layout, menus, toolbar, the encrypt and decrypt
// commands and the document commands. The commands themselves live in
// CipherCommand and DocumentCommands; this class wires them to controls.
#include "app/CipherRequest.h"
#include "app/MainWidgets.h"

#include "app/effects/AssistantCharacter.h"
#include "app/effects/WindowFade.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

namespace karsidan {

class CipherCommand;
class DocumentCommands;
class FileDialog;
class KeyBoxes;
class MessageBoxHook;
class NetworkLink;
class ResultDisplay;

// What the window needs from outside; tests pass fakes.
struct MainServices {
    CipherFunction cipher;
    FileDialog* fileDialog = nullptr;
    MessageBoxHook* messages = nullptr;
    // How long the window fades out when it closes.
    int fadeDurationMs = WindowFade::kDefaultDurationMs;
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Source texts from this size on show a progress bar while they run.
    static constexpr std::size_t kProgressThreshold = 64 * 1024;
    // The bar's share of the transform; the rest is putting the result into
    // the editor, which takes longer for big results.
    static constexpr int kTransformShare = 30;

    explicit frmMain(MainServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    // True while an encrypt or decrypt runs.
    bool IsBusy() const { return blnBusy; }

    // Asks for a name and writes the result editor to it; true on success.
    bool SaveFile();

    // The result editor's text as it is saved and sent: CR LF between lines.
    QString TargetText() const;

    // The status bar's first panel, for connection messages.
    void SetStatusText(const QString& text);
    // Why the connection last failed, in the first panel's tooltip.
    void SetStatusReason(const QString& reason);

    // The line for warnings that do not stop a command (weak keys, a
    // decrypted text that is no text, a refused paste). The next command
    // clears it.
    void ShowNotice(const QString& text);
    void ClearNotice();
    QString NoticeText() const;

    // The listener and the outgoing socket, and the send dialog's host.
    NetworkLink& Network() { return *network_; }
    // The assistant, or null when there is none.
    AssistantCharacter* Character() const { return objCharacter; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void SetupWindow();
    void ConnectControls();

    void cmdEncrypt_Click();
    void cmdDecrypt_Click();
    void cmdSend_Click();
    // The keys of the three boxes; on a broken rule the user is told and
    // the box gets the focus.
    std::optional<TripleDesKeys> CheckKeys();
    void RunCipher(CipherDirection direction);
    void ShowResult(const QByteArray& result);
    void ShowFailure(const QString& message);
    // Empties the result editor and tells the user why.
    void Refuse(const QString& text);
    // Transform and display each report 0 to 100 of their part.
    void ShowTransformProgress(int percent);
    void ShowDisplayProgress(int percent);
    void SetBusy(bool busy, bool showProgress = false);
    void Warn(const QString& text);

    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void tlbMain_ButtonClick(int position);

    void StartListening();
    void StopListening();
    void LoadAssistant();
    void PlayAnimation(const QString& name);
    void FadeOut();

    MainWidgets w_;
    MainServices services_;
    std::unique_ptr<DocumentCommands> documents_;
    CipherCommand* cipher_ = nullptr;
    ResultDisplay* display_ = nullptr;
    NetworkLink* network_ = nullptr;
    KeyBoxes* keys_ = nullptr;
    CipherDirection running_ = CipherDirection::Encrypt;
    QPointer<AssistantCharacter> objCharacter;
    WindowFade* fade_ = nullptr;
    bool blnBusy = false;
};

} // namespace karsidan
