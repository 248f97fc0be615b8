#include "app/frmMain.h"

#include "app/AppArtwork.h"
#include "app/CipherCommand.h"
#include "app/DocumentCommands.h"
#include "app/EditorText.h"
#include "app/HostIdentity.h"
#include "app/KeyBoxes.h"
#include "app/MainLayoutBuilder.h"
#include "app/NetworkLink.h"
#include "app/ResultDisplay.h"
#include "app/StartupOptions.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/mdlGlobal.h"
#include "app/mdlProcedures.h"

#include "app/dialogs/MessageBoxHook.h"
#include "app/effects/AssistantCharacter.h"
#include "app/effects/AssistantLoader.h"
#include "app/send/frmSend.h"

#include "cipher/keys/KeyError.h"
#include "cipher/keys/KeyWarnings.h"
#include "codepage/CodePage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>

#include <algorithm>
#include <stdexcept>

namespace karsidan {

namespace {

// The program's own filter first, as ever; documents from word processors next.
const QString kFileFilter = QStringLiteral("Text File |*.txt;*.rtb|Rich Text |*.rtf|");

std::u16string_view Utf16(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Why text could not be turned into code-page bytes, for a message.
QString ReasonOf(const QString& text, const std::invalid_argument& error)
{
    if (const auto* unmappable = dynamic_cast<const UnmappableCharacterError*>(&error))
        return EditorText::UnmappableMessage(text, *unmappable);
    return QString::fromUtf8(error.what());
}

} // namespace

frmMain::frmMain(MainServices services, QWidget* parent)
    : QMainWindow(parent), w_(MainLayoutBuilder::Build(*this)), services_(std::move(services))
{
    documents_ = std::make_unique<DocumentCommands>(
        DocumentCommands::Controls{this, w_.rtbSource, w_.rtbTarget, w_.txtKey}, *services_.fileDialog,
        *services_.messages);
    cipher_ = new CipherCommand(services_.cipher, this);
    display_ = new ResultDisplay(*w_.rtbTarget, this);
    network_ = new NetworkLink(NetworkLink::WindowHooks{[this] { return SaveFile(); }, [this] { return TargetText(); },
                                                        [this](const QString& text) { SetStatusText(text); },
                                                        [this](const QString& reason) { SetStatusReason(reason); }},
                               this);
    keys_ = new KeyBoxes(w_.txtKey, this);
    connect(keys_, &KeyBoxes::Refused, this, [this](int box) { ShowNotice(KeyBoxes::TooLongText(box)); });
    ConnectControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    setWindowTitle(HostIdentity::WindowTitle(HostIdentity::HostName(), HostIdentity::LocalAddress()));
    SetupWindow();
    StartListening();
    LoadAssistant();
}

void frmMain::SetupWindow()
{
    adjustSize();
    CenterForm(this, false);

    const QIcon icons[] = {NewDocumentIcon(), OpenDocumentIcon(), SaveDocumentIcon()};
    const QString captions[] = {QStringLiteral("Baru"), QStringLiteral("Buka"), QStringLiteral("Simpan")};
    static const char* const names[] = {"tlbNew", "tlbOpen", "tlbSave"};
    for (int i = 0; i < 3; ++i) {
        QAction* button = w_.tlbMain->addAction(icons[i], captions[i]);
        button->setObjectName(QString::fromLatin1(names[i]));
        const int position = i + 1;
        connect(button, &QAction::triggered, this, [this, position] { tlbMain_ButtonClick(position); });
        w_.toolbarButtons[i] = button;
    }

    PrepareFileDialog(*services_.fileDialog, kFileFilter);
    blnBusy = false;
}

void frmMain::ConnectControls()
{
    connect(w_.cmdEncrypt, &QPushButton::clicked, this, &frmMain::cmdEncrypt_Click);
    connect(w_.cmdDecrypt, &QPushButton::clicked, this, &frmMain::cmdDecrypt_Click);
    connect(w_.cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);
    connect(w_.mnuNew, &QAction::triggered, this, &frmMain::mnuNew_Click);
    connect(w_.mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(w_.mnuSave, &QAction::triggered, this, &frmMain::mnuSave_Click);
    connect(w_.mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(w_.mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(cipher_, &CipherCommand::Finished, this, &frmMain::ShowResult);
    connect(display_, &ResultDisplay::Progress, this, &frmMain::ShowDisplayProgress);
    connect(display_, &ResultDisplay::Shown, this, [this] {
        // 100 only now: the last row is in the editor.
        w_.prgTransform->setValue(100);
        SetBusy(false);
    });
    connect(cipher_, &CipherCommand::Failed, this, &frmMain::ShowFailure);
    connect(cipher_, &CipherCommand::ProgressChanged, this, &frmMain::ShowTransformProgress);
}

bool frmMain::SaveFile()
{
    display_->Finish();
    return documents_->SaveFile();
}

QString frmMain::TargetText() const
{
    display_->Finish();
    return EditorText::PlainText(*w_.rtbTarget->document());
}

void frmMain::SetStatusText(const QString& text) { w_.stbMainPanel1->setText(text); }

void frmMain::SetStatusReason(const QString& reason)
{
    w_.stbMainPanel1->setToolTip(reason.isEmpty() ? QString() : QStringLiteral("Sebab: %1").arg(reason));
}

void frmMain::ShowNotice(const QString& text)
{
    const QString shown = w_.lblNotice->text();
    if (shown.split(QLatin1Char('\n')).contains(text))
        return;
    w_.lblNotice->setText(shown.isEmpty() ? text : shown + QLatin1Char('\n') + text);
}

void frmMain::ClearNotice() { w_.lblNotice->clear(); }

QString frmMain::NoticeText() const { return w_.lblNotice->text(); }

void frmMain::closeEvent(QCloseEvent* event)
{
    // The fade has run its course: this is the real close.
    if (fade_ && fade_->IsFinished()) {
        event->accept();
        return;
    }
    event->ignore();
    // A running transform would lose its result; closing waits for it.
    if (blnBusy) {
        QApplication::beep();
        return;
    }
    if (fade_)
        return; // already fading out
    PlayAnimation(QStringLiteral("Greet"));
    StopListening();
    FadeOut();
}

void frmMain::FadeOut()
{
    // The event loop keeps running while the window fades, so sockets and
    // the farewell animation go on; the window closes when the time is up.
    fade_ = new WindowFade(this, services_.fadeDurationMs);
    connect(fade_, &WindowFade::Finished, this, [this] {
        objCharacter = nullptr;
        close();
    });
    fade_->Start();
}

void frmMain::StartListening() { network_->StartListening(); }

void frmMain::StopListening() { network_->StopListening(); }

void frmMain::LoadAssistant() { objCharacter = LoadAssistantCharacter(this); }

void frmMain::PlayAnimation(const QString& name)
{
    if (objCharacter)
        objCharacter->Play(name);
}

// --- Encrypt and decrypt -------------------------------------------------

void frmMain::cmdEncrypt_Click() { RunCipher(CipherDirection::Encrypt); }

void frmMain::cmdDecrypt_Click() { RunCipher(CipherDirection::Decrypt); }

void frmMain::cmdSend_Click()
{
    CenterForm(this, true);
    {
        net::frmSend dialog(*network_, this);
        dialog.SetMessageHook(services_.messages);
        dialog.exec();
    }
    CenterForm(this, false);
}

std::optional<TripleDesKeys> frmMain::CheckKeys()
{
    const QString k1 = w_.txtKey[0]->text();
    const QString k2 = w_.txtKey[1]->text();
    const QString k3 = w_.txtKey[2]->text();
    try {
        return TripleDesKeys::FromUtf16(Utf16(k1), Utf16(k2), Utf16(k3));
    } catch (const KeyError& e) {
        if (e.rule() == KeyRule::Blank) {
            Warn(QStringLiteral("Silahkan Isi Kunci %1").arg(e.box()));
            PlayAnimation(QStringLiteral("Confused"));
        } else if (e.rule() == KeyRule::Unmappable) {
            // The editor's own wording: the character described, its position.
            const QString key = w_.txtKey[e.box() - 1]->text();
            QString reason = QString::fromUtf8(e.what());
            try {
                EditorText::ToCodePage(key);
            } catch (const std::invalid_argument& unmappable) {
                reason = QStringLiteral("Kunci %1 tidak dapat dipakai. %2").arg(e.box()).arg(ReasonOf(key, unmappable));
            }
            Refuse(reason + QLatin1Char('.'));
        } else {
            Refuse(QString::fromUtf8(e.what()) + QLatin1Char('.'));
        }
        w_.txtKey[e.box() - 1]->setFocus();
        return std::nullopt;
    }
}

void frmMain::RunCipher(CipherDirection direction)
{
    if (blnBusy)
        return;
    ClearNotice();
    CipherRequest request;
    request.keys = CheckKeys();
    if (!request.keys)
        return;
    // Said before the transform runs, and the transform runs all the same:
    // the keys are the user's to choose.
    for (const std::string& warning : WeakKeyWarnings(*request.keys))
        ShowNotice(QStringLiteral("Peringatan: %1.").arg(QString::fromStdString(warning)));
    request.direction = direction;
    running_ = direction;
    const QString source = EditorText::PlainText(*w_.rtbSource->document());
    try {
        request.text = EditorText::ToCodePage(source);
    } catch (const std::invalid_argument& e) {
        Refuse(QStringLiteral("Teks sumber tidak dapat diproses. %1.").arg(ReasonOf(source, e)));
        return;
    }

    const bool showProgress = request.text.size() >= kProgressThreshold;
    SetBusy(true, showProgress);
    PlayAnimation(QStringLiteral("Think"));
    cipher_->Start(std::move(request));
}

void frmMain::ShowResult(const QByteArray& result)
{
    const std::string_view bytes(result.constData(), std::size_t(result.size()));
    if (running_ == CipherDirection::Decrypt && LooksLikeWrongKeys(bytes))
        ShowNotice(QStringLiteral("Peringatan: %1").arg(QString::fromUtf8(NotTextWarning())));
    // Busy until the last row is shown (display_ emits Shown).
    display_->Show(EditorText::FromCodePage(bytes),
                   running_ == CipherDirection::Encrypt ? ResultDisplay::Shape::CipherText
                                                        : ResultDisplay::Shape::Text);
}

void frmMain::ShowFailure(const QString& message)
{
    SetBusy(false);
    Refuse(message);
}

void frmMain::Refuse(const QString& text)
{
    // The result of an earlier run must not pass for the result of this one:
    // Save and Send would otherwise carry the old cipher text.
    display_->Clear();
    Warn(text);
}

void frmMain::ShowTransformProgress(int percent)
{
    w_.prgTransform->setValue(std::clamp(percent, 0, 100) * kTransformShare / 100);
}

void frmMain::ShowDisplayProgress(int percent)
{
    w_.prgTransform->setValue(kTransformShare + std::clamp(percent, 0, 99) * (100 - kTransformShare) / 100);
}

void frmMain::SetBusy(bool busy, bool showProgress)
{
    blnBusy = busy;
    // One transform at a time, and the source stays as it was meanwhile.
    w_.cmdEncrypt->setEnabled(!busy);
    w_.cmdDecrypt->setEnabled(!busy);
    for (QAction* action : {w_.mnuNew, w_.mnuOpen, w_.toolbarButtons[0], w_.toolbarButtons[1]})
        action->setEnabled(!busy);
    w_.rtbSource->setReadOnly(busy);
    w_.prgTransform->setValue(0);
    w_.prgTransform->setVisible(busy && showProgress);
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmMain::Warn(const QString& text) { services_.messages->Warn(this, text); }

// --- Documents, menus and toolbar ----------------------------------------

void frmMain::mnuNew_Click()
{
    if (blnBusy)
        return;
    ClearNotice();
    documents_->NewDocument();
}

void frmMain::mnuOpen_Click()
{
    if (blnBusy)
        return;
    ClearNotice();
    documents_->OpenFile();
}

void frmMain::mnuSave_Click() { SaveFile(); }

void frmMain::mnuExit_Click() { close(); }

void frmMain::mnuAbout_Click()
{
    services_.messages->About(this, QStringLiteral("Tentang Program"),
                              QStringLiteral("KARSIDAN versi %1\n\n"
                                             "Mengenkripsi teks dengan Triple DES tiga kunci "
                                             "(enkripsi-dekripsi-enkripsi, mode ECB) dan mengirimkannya "
                                             "ke salinan KARSIDAN lain melalui TCP.\n\n"
                                             "Triple DES adalah sandi lama: cukup untuk bertukar teks "
                                             "dengan salinan program ini, tetapi tidak layak untuk "
                                             "melindungi rahasia dari penyerang yang kuat.\n\n"
                                             "Berkas yang diterima disimpan di folder:\n%2\n\n"
                                             "Bila folder program tidak dapat ditulisi, atau program dipasang "
                                             "(misalnya di /usr/bin), berkas yang diterima disimpan di folder "
                                             "data pengguna:\n%3")
                                  .arg(QStringLiteral(KARSIDAN_VERSION), QDir::toNativeSeparators(mdlGlobal::AppFolder),
                                       QDir::toNativeSeparators(StartupOptions::UserDataFolder())));
}

void frmMain::tlbMain_ButtonClick(int position)
{
    switch (position) {
    case 1: mnuNew_Click(); break;
    case 2: mnuOpen_Click(); break;
    case 3: mnuSave_Click(); break;
    default: break;
    }
}

} // namespace karsidan
