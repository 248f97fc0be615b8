#include "app/send/frmSend.h"

#include "app/dialogs/MessageBoxHook.h"
#include "app/send/SendHost.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <cmath>
#include <limits>

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

bool IsPortNumber(const QString& text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}

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
        box->setObjectName(QStringLiteral("txtIP_%1").arg(i));
        box->setGeometry(Twips(kIPLeft[i], 480, 495, 375));
        box->setMaxLength(3);
        box->setFont(Font("Courier New", 9.75));
        box->installEventFilter(this);
        txtIP[i] = box;
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
    txtPort->installEventFilter(this);
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

void frmSend::SetupSendForm()
{
    host_.CenterForm(this, false);
    txtPort->setText(QString::number(host_.CurrentPort()));
}

bool frmSend::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit* box : txtIP) {
            if (watched == box) {
                // After the click that gave the focus has placed the cursor.
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
                break;
            }
        }
    } else if (event->type() == QEvent::FocusOut && watched == txtPort) {
        txtPort_Validate();
    }
    return QDialog::eventFilter(watched, event);
}

// Anything but a port number gives way to the current port, so "Sambung"
// keeps working; an empty box stays empty and is reported on "Sambung".
void frmSend::txtPort_Validate()
{
    const QString text = txtPort->text();
    if (!text.trimmed().isEmpty() && !IsPortNumber(text))
        txtPort->setText(QString::number(host_.CurrentPort()));
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
    // Parts are trimmed: " 10" would not read as an address part.
    QString address = txtIP[0]->text().trimmed();
    for (std::size_t i = 1; i < txtIP.size(); ++i)
        address += QLatin1Char('.') + txtIP[i]->text().trimmed();
    host_.CheckIP(address, PortFromText(txtPort->text()));
}

void frmSend::cmdSend_Click()
{
    if (host_.IsSenderClosed()) {
        ShowMessage(NotConnectedText());
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
