#include "app/send/frmSend.h"

#include "app/dialogs/MessageBoxHook.h"
#include "app/send/SendHost.h"
#include "cipher/hex/CipherTextCheck.h"
#include "codepage/CodePage.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

namespace karsidan::net {

namespace {

QRect Twips(int left, int top, int width, int height)
{
    constexpr int k = frmSend::kTwipsPerPixel;
    return QRect(left / k, top / k, width / k, height / k);
}

QFont Font(const char* family, qreal points)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    return font;
}

MessageBoxHook& DefaultMessages()
{
    static QtMessageBoxHook hook;
    return hook;
}

// Room in an address box for a whole dotted address to arrive at once.
constexpr int kAddressRoom = 64;
constexpr int kPartLength = 3;

bool IsSeparator(QChar c) { return c == u'.' || c.isSpace(); }

// An address box takes up to three characters; a text with separators
// (a pasted or dropped address) is handed on to be spread over the boxes,
// and the box keeps what it had.
class AddressPartValidator : public QValidator {
public:
    AddressPartValidator(std::function<void(const QString&)> dotted, QObject* parent)
        : QValidator(parent), dotted_(std::move(dotted))
    { }

    State validate(QString& input, int&) const override
    {
        if (std::any_of(input.begin(), input.end(), IsSeparator)) {
            dotted_(input);
            return Invalid;
        }
        return input.size() <= kPartLength ? Acceptable : Invalid;
    }

private:
    std::function<void(const QString&)> dotted_;
};

} // namespace

int PortFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value); // half to even
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(rounded);
}

int AddressPartFromText(const QString& text)
{
    const QString part = text.trimmed();
    if (part.isEmpty() || part.size() > kPartLength)
        return -1;
    for (QChar c : part)
        if (c < u'0' || c > u'9')
            return -1;
    const int value = part.toInt();
    return value <= 255 ? value : -1;
}

QString CipherTextProblem(const QString& text)
{
    try {
        CheckCipherText(Utf16ToCodePage(
            std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()))));
        return {};
    } catch (const std::invalid_argument& e) {
        return QString::fromUtf8(e.what());
    }
}

frmSend::frmSend(SendHost& host, QWidget* parent) : QDialog(parent), host_(host), messages_(&DefaultMessages())
{
    setObjectName(QStringLiteral("frmSend"));
    setWindowTitle(QStringLiteral("ALAMAT IP"));
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    setFixedSize(Twips(0, 0, 4125, 2550).size());

    fraSend = new QGroupBox(QStringLiteral("Silahkan Masukkan Alamat IP"), this);
    fraSend->setObjectName(QStringLiteral("fraSend"));
    fraSend->setGeometry(Twips(120, 120, 3855, 1575));
    fraSend->setFont(Font("Arial", 9.75));

    constexpr int kIPLeft[] = {120, 720, 1320, 1920};
    for (std::size_t i = 0; i < txtIP.size(); ++i) {
        QLineEdit* box = new QLineEdit(fraSend);
        txtIP[i] = box;
        box->setObjectName(QStringLiteral("txtIP_%1").arg(i));
        box->setGeometry(Twips(kIPLeft[i], 480, 495, 375));
        box->setMaxLength(kAddressRoom);
        box->setFont(Font("Courier New", 9.75));
        box->installEventFilter(this);
        // Spread after the box has finished refusing the edit.
        box->setValidator(new AddressPartValidator(
            [this, i](const QString& dotted) {
                QMetaObject::invokeMethod(
                    this, [this, i, dotted] { FillAddress(i, dotted); }, Qt::QueuedConnection);
            },
            box));
    }

    lblPort = new QLabel(QStringLiteral("Nomor Port"), fraSend);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    lblPort->setGeometry(Twips(120, 1080, 945, 225));
    lblPort->setFont(Font("Arial", 9));

    txtPort = new QLineEdit(fraSend);
    txtPort->setObjectName(QStringLiteral("txtPort"));
    txtPort->setGeometry(Twips(1320, 960, 1095, 375));
    txtPort->setMaxLength(5);
    txtPort->setFont(Font("Courier New", 9.75));
    lblPort->setBuddy(txtPort);

    cmdConnect = new QPushButton(QStringLiteral("Sambung"), fraSend);
    cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    cmdConnect->setGeometry(Twips(2520, 480, 1215, 855));
    cmdConnect->setFont(Font("Arial", 9.75));
    // Enter in any box connects.
    cmdConnect->setDefault(true);

    cmdSend = new QPushButton(QStringLiteral("Kirim Data"), this);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->setGeometry(Twips(3000, 1800, 975, 615));
    cmdSend->setFont(Font("Arial", 9.75));
    cmdSend->setAutoDefault(false);

    setTabOrder(txtIP[0], txtIP[1]);
    setTabOrder(txtIP[1], txtIP[2]);
    setTabOrder(txtIP[2], txtIP[3]);
    setTabOrder(txtIP[3], txtPort);
    setTabOrder(txtPort, cmdConnect);
    setTabOrder(cmdConnect, cmdSend);

    connect(cmdConnect, &QPushButton::clicked, this, &frmSend::cmdConnect_Click);
    connect(cmdSend, &QPushButton::clicked, this, &frmSend::cmdSend_Click);

    SetupSendForm();
    txtIP[0]->setFocus();
}

void frmSend::SetMessageHook(MessageBoxHook* hook) { messages_ = hook ? hook : &DefaultMessages(); }

QString frmSend::NotFilledText() { return QStringLiteral("Harap isi semua field"); }
QString frmSend::NotConnectedText() { return QStringLiteral("Maaf, Anda belum terhubung dengan Sambungan"); }
QString frmSend::NotSavedText() { return QStringLiteral("Data Decrypt belum disimpan"); }

QString frmSend::NotCipherText(const QString& reason)
{
    return QStringLiteral("Teks hasil bukan teks sandi, jadi tidak dikirim: %1. "
                          "Hanya teks sandi yang dapat dikirim; enkripsi teksnya dulu.")
        .arg(reason);
}

QString frmSend::BadAddressPartText(int part, const QString& text)
{
    return QStringLiteral("Bagian %1 alamat IP (\"%2\") harus bilangan 0 sampai 255.").arg(part).arg(text.trimmed());
}

QString frmSend::BadPortText(const QString& text)
{
    return QStringLiteral("Nomor Port (\"%1\") harus bilangan 1 sampai 65535.").arg(text.trimmed());
}

void frmSend::SetupSendForm()
{
    host_.CenterForm(this, false);
    txtPort->setText(QString::number(host_.CurrentPort()));
}

bool frmSend::eventFilter(QObject* watched, QEvent* event)
{
    for (std::size_t i = 0; i < txtIP.size(); ++i) {
        QLineEdit* box = txtIP[i];
        if (watched != box)
            continue;
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the cursor.
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        } else if (event->type() == QEvent::KeyPress) {
            // "." or a blank ends a part, as in a dotted address.
            const QString typed = static_cast<QKeyEvent*>(event)->text();
            if (typed.size() == 1 && IsSeparator(typed[0])) {
                FocusBox(i + 1 < txtIP.size() ? static_cast<QWidget*>(txtIP[i + 1]) : txtPort);
                return true;
            }
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSend::FocusBox(QWidget* box)
{
    box->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->selectAll();
}

void frmSend::FillAddress(std::size_t index, const QString& dotted)
{
    QStringList parts = dotted.trimmed().split(QRegularExpression(QStringLiteral("[.\\s]+")));
    // A whole address fills every box, wherever it arrived.
    if (parts.size() == int(txtIP.size()))
        index = 0;
    if (parts.isEmpty() || index + std::size_t(parts.size()) > txtIP.size())
        return;
    for (const QString& part : parts)
        if (part.size() > kPartLength)
            return;
    for (const QString& part : parts)
        txtIP[index++]->setText(part);
    FocusBox(index < txtIP.size() ? static_cast<QWidget*>(txtIP[index]) : txtPort);
}

bool frmSend::AllFieldsFilled() const
{
    for (const QLineEdit* box : txtIP)
        if (box->text().trimmed().isEmpty())
            return false;
    return !txtPort->text().trimmed().isEmpty();
}

void frmSend::cmdConnect_Click()
{
    if (!AllFieldsFilled()) {
        ShowMessage(NotFilledText());
        return;
    }
    // Nothing connects to an address or port that is none; the user is told
    // which box to mend.
    QStringList parts;
    for (std::size_t i = 0; i < txtIP.size(); ++i) {
        const int part = AddressPartFromText(txtIP[i]->text());
        if (part < 0) {
            ShowMessage(BadAddressPartText(int(i) + 1, txtIP[i]->text()));
            FocusBox(txtIP[i]);
            return;
        }
        parts << QString::number(part);
    }
    const int port = PortFromText(txtPort->text());
    if (port < 1 || port > 65535) {
        ShowMessage(BadPortText(txtPort->text()));
        FocusBox(txtPort);
        return;
    }
    host_.CheckIP(parts.join(QLatin1Char('.')), port);
}

void frmSend::cmdSend_Click()
{
    if (host_.IsSenderClosed()) {
        ShowMessage(NotConnectedText());
        return;
    }
    // A decrypted text must not cross the network in the clear, nor replace
    // the peer's copy of the cipher text.
    const QString problem = CipherTextProblem(host_.TargetText());
    if (!problem.isEmpty()) {
        ShowMessage(NotCipherText(problem));
        return;
    }
    if (host_.SavedFileName().trimmed().isEmpty()) {
        ShowMessage(NotSavedText());
        host_.SaveFile();
        host_.CloseSenderSock();
        return;
    }
    host_.SendData();
    accept();
}

void frmSend::ShowMessage(const QString& text) { messages_->Warn(this, text); }

} // namespace karsidan::net
