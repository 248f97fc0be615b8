#include "cli/Commands.h"

#include "cli/CryptIo.h"
#include "cli/NetStopSignals.h"
#include "net/MessageFormat.h"
#include "net/OutgoingFileName.h"
#include "net/Receiver.h"
#include "net/Sender.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using karsidan::net::ComposeMessage;
using karsidan::net::kDefaultPort;
using karsidan::net::Receiver;
using karsidan::net::Sender;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadInput = 2;

QTextStream& Err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Parses args (args[0] is the sub-command). Returns -1 to go on, else the
// exit code (help shown, or the arguments were wrong).
int Parse(QCommandLineParser& parser, const QStringList& args)
{
    parser.addHelpOption();
    if (!parser.parse(args)) {
        Err() << parser.errorText() << "\n\n" << parser.helpText();
        return kExitBadInput;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return kExitOk;
    }
    return -1;
}

// A port number from an option, or -1 when it is none.
int PortOption(const QCommandLineParser& parser, const QString& name, int fallback, int lowest)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int port = parser.value(name).toInt(&ok);
    return ok && port >= lowest && port <= 65535 ? port : -1;
}

} // namespace

int RunReceive(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Menerima pesan dari salinan KARSIDAN lain dan menyimpan setiap pesan sebagai berkas.\n"
        "Mencetak satu baris (jalur berkas) untuk setiap berkas yang disimpan.\n"
        "Berhenti dengan kode 0 pada SIGINT atau SIGTERM, dengan kode 1 bila baris itu tidak dapat ditulis."));
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port yang didengarkan (bawaan %1, 0: port bebas).").arg(kDefaultPort),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("folder"), QStringLiteral("Folder penyimpanan (bawaan: folder kerja)."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("address"),
                      QStringLiteral("Alamat IPv4 yang didengarkan (bawaan: semua, 0.0.0.0)."), QStringLiteral("ADDRESS")});
    if (const int code = Parse(parser, args); code >= 0)
        return code;
    if (!parser.positionalArguments().isEmpty()) {
        Err() << "receive: argumen tidak dikenal: " << parser.positionalArguments().join(' ') << "\n";
        return kExitBadInput;
    }
    const int port = PortOption(parser, QStringLiteral("port"), kDefaultPort, 0);
    if (port < 0) {
        Err() << "receive: --port harus bilangan 0-65535\n";
        return kExitBadInput;
    }
    QHostAddress address(QHostAddress::AnyIPv4);
    if (parser.isSet(QStringLiteral("address"))
        && (!address.setAddress(parser.value(QStringLiteral("address")))
            || address.protocol() != QAbstractSocket::IPv4Protocol)) {
        Err() << "receive: --address harus alamat IPv4\n";
        return kExitBadInput;
    }
    const QString folder = QDir(parser.isSet(QStringLiteral("folder")) ? parser.value(QStringLiteral("folder"))
                                                                        : QDir::currentPath())
                               .absolutePath();
    if (!QFileInfo(folder).isDir()) {
        Err() << "receive: folder " << folder << " tidak ada\n";
        return kExitFailure;
    }

    NetStopSignals stopSignals;
    Receiver receiver(folder);
    QString savedFileName;
    receiver.SetSavedFileNameSource([&savedFileName] { return savedFileName; });
    QObject::connect(&receiver, &Receiver::FileStored, [&savedFileName](const QString& name, const QString& path) {
        savedFileName = name;
        try {
            PrintOut(QDir::toNativeSeparators(path) + QLatin1Char('\n'));
        } catch (const CryptIoError& error) {
            // Whoever reads the lines is gone: stop rather than store unseen.
            Err() << "receive: " << QString::fromUtf8(error.what()) << "; berhenti menerima" << Qt::endl;
            QCoreApplication::exit(kExitFailure);
        }
    });
    const QString reason = receiver.StartListening(static_cast<quint16>(port), address);
    if (!reason.isEmpty()) {
        Err() << Receiver::ListeningOffText(reason) << "\n";
        return kExitFailure;
    }
    Err() << "Menerima pesan di port " << receiver.LocalPort() << ", menyimpan ke "
          << QDir::toNativeSeparators(folder) << Qt::endl;
    QObject::connect(&stopSignals, &NetStopSignals::StopRequested, [] { QCoreApplication::exit(kExitOk); });
    const int code = QCoreApplication::exec();
    receiver.StopListening();
    return code;
}

int RunSend(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Mengirim satu pesan (NAMA | isi BERKAS atau masukan standar) ke salinan KARSIDAN lain."));
    parser.addOption({QStringLiteral("to"), QStringLiteral("Alamat IPv4 penerima."), QStringLiteral("ADDRESS")});
    parser.addOption({QStringLiteral("port"), QStringLiteral("Port penerima (bawaan %1).").arg(kDefaultPort), QStringLiteral("N")});
    parser.addOption({QStringLiteral("name"),
                      QStringLiteral("Nama berkas dalam pesan (bawaan: nama BERKAS; wajib untuk masukan standar).\n"
                                     "Hanya bagian terakhir jalur yang dikirim; karakter di luar Windows-1252\n"
                                     "dan \"|\" menjadi \"_\"."),
                      QStringLiteral("NAME")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Berkas yang dikirim (bawaan: masukan standar)."),
                                 QStringLiteral("[FILE]"));
    if (const int code = Parse(parser, args); code >= 0)
        return code;
    const QStringList files = parser.positionalArguments();
    if (!parser.isSet(QStringLiteral("to")) || parser.value(QStringLiteral("to")).trimmed().isEmpty()) {
        Err() << "send: --to ADDRESS wajib\n";
        return kExitBadInput;
    }
    if (files.size() > 1) {
        Err() << "send: hanya satu berkas per pesan\n";
        return kExitBadInput;
    }
    const int port = PortOption(parser, QStringLiteral("port"), kDefaultPort, 1);
    if (port < 0) {
        Err() << "send: --port harus bilangan 1-65535\n";
        return kExitBadInput;
    }
    const bool fromStdin = files.isEmpty() || files.first() == QLatin1String("-");
    QString name = parser.value(QStringLiteral("name"));
    if (!parser.isSet(QStringLiteral("name"))) {
        if (fromStdin) {
            Err() << "send: --name wajib bila isi dibaca dari masukan standar\n";
            return kExitBadInput;
        }
        name = QFileInfo(files.first()).fileName();
    }

    QFile input;
    const QString source = fromStdin ? QStringLiteral("masukan standar") : files.first();
    const bool opened = fromStdin ? input.open(stdin, QIODevice::ReadOnly)
                                  : (input.setFileName(files.first()), input.open(QIODevice::ReadOnly));
    // A read that fails partway must not send what came before it.
    const QByteArray body = opened ? input.readAll() : QByteArray();
    if (!opened || input.error() != QFileDevice::NoError) {
        Err() << "send: " << source << " tidak dapat dibaca: " << input.errorString() << "\n";
        return kExitFailure;
    }
    // Only the file's own name goes out, never the folders before it.
    const QByteArray nameBytes = karsidan::net::OutgoingFileName(name);
    if (body.size() + nameBytes.size() + 3 > Receiver::kMaxMessageBytes) {
        Err() << "send: pesan lebih dari " << Receiver::kMaxMessageBytes << " byte; penerima akan menolaknya\n";
        return kExitBadInput;
    }

    Sender sender(port);
    int code = -1;
    QObject::connect(&sender, &Sender::Failed, [&code](const QString& reason) {
        Err() << Sender::ErrorText() << ": " << reason << Qt::endl;
        code = kExitFailure;
        QCoreApplication::exit(code);
    });
    QObject::connect(&sender, &Sender::SendFinished, [&code] {
        code = kExitOk;
        QCoreApplication::exit(code);
    });
    sender.CheckIP(parser.value(QStringLiteral("to")).trimmed(), port);
    if (code < 0)
        sender.SendMessage(ComposeMessage(nameBytes, body));
    if (code < 0)
        QCoreApplication::exec();
    return code;
}
