#pragma once
// The main window: fixed layout, menus, toolbar, the encrypt and decrypt
// commands and the document commands. The commands themselves live in
// CipherCommand and DocumentCommands; this class wires them to controls.
#include "CipherRequest.h"
#include "MainWidgets.h"

#include <QMainWindow>

#include <memory>

namespace karsidan {

class CipherCommand;
class DocumentCommands;
class FileDialog;
class MessageBoxHook;

// What the window needs from outside; tests pass fakes.
struct MainServices {
    CipherFunction cipher;
    FileDialog* fileDialog = nullptr;
    MessageBoxHook* messages = nullptr;
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Source texts from this size on show a progress bar while they run.
    static constexpr std::size_t kProgressThreshold = 64 * 1024;

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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void SetupWindow();
    void ConnectControls();

    void cmdEncrypt_Click();
    void cmdDecrypt_Click();
    void cmdSend_Click();
    bool CheckKeys();
    void RunCipher(CipherDirection direction);
    void ShowResult(const QByteArray& result);
    void ShowFailure(const QString& message);
    void ShowProgress(int percent);
    void SetBusy(bool busy, bool showProgress = false);
    void Warn(const QString& text);

    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void tlbMain_ButtonClick(int position);

    // Filled in by the listener, assistant and effects layers.
    void StartListening() {}
    void StopListening() {}
    void LoadAssistant() {}
    void PlayAnimation(const QString& name) { Q_UNUSED(name); }
    void FadeOut() {}

    MainWidgets w_;
    MainServices services_;
    std::unique_ptr<DocumentCommands> documents_;
    CipherCommand* cipher_ = nullptr;
    bool blnBusy = false;
};

} // namespace karsidan
