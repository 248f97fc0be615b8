#include "cli/NetCommands.h"

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

#include "storage/AtomicFile.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Help and the lines of "receive", through the checked writer, so that a
// closed or broken output is an error and not a silent loss.
void PrintOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    WriteCryptOutput(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Parses args (args[0] is the sub-command) with -h/--help of our own, so
// that no English text of Qt's shows. Returns -1 to go on, else the exit
// code (help shown, or the arguments were wrong).
int Parse(QCommandLineParser& parser, const QStringList& args, const QString& help)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    const QString command = args.value(0);
    if (!parser.parse(args)) {
        const QStringList unknown = parser.unknownOptionNames();
        QString reason;
        if (!unknown.isEmpty())
            reason = QStringLiteral("opsi tidak dikenal: ") + unknown.join(QStringLiteral(", "));
        else if (parser.errorText().startsWith(QLatin1String("Missing value")))
            reason = QStringLiteral("opsi tanpa nilai: ") + parser.errorText().section(QLatin1Char('\''), 1, 1);
        else if (parser.errorText().startsWith(QLatin1String("Unexpected value")))
            reason = QStringLiteral("opsi tidak memakai nilai: ") + parser.errorText().section(QLatin1Char('\''), 1, 1);
        else
            reason = QStringLiteral("argumen tidak sah");
        Err() << command << ": " << reason << "\nLihat: karsidan-cli " << command << " --help\n";
        return kExitBadInput;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        try {
            PrintOut(help);
        } catch (const CryptIoError& error) {
            Err() << command << ": " << QString::fromUtf8(error.what()) << Qt::endl;
            return kExitFailure;
        }
        return kExitOk;
    }
    return -1;
}

QString ReceiveHelp()
{
    return QStringLiteral("Pemakaian: karsidan-cli receive [--port N] [--folder FOLDER] [--address ALAMAT]\n\n"
                          "Menerima pesan dari salinan KARSIDAN lain dan menyimpan setiap pesan sebagai\n"
                          "berkas. Mencetak satu baris (jalur berkas) untuk setiap berkas yang disimpan.\n"
                          "Berhenti dengan kode 0 pada SIGINT atau SIGTERM, dengan kode 1 bila baris itu\n"
                          "tidak dapat ditulis (berkasnya tetap tersimpan).\n\n"
                          "Pengirim diberi tahu tanpa byte tambahan: sambungan ditutup dengan benar\n"
                          "setelah pesan tersimpan di disk, dan diputus (reset) bila pesan ditolak atau\n"
                          "tidak dapat disimpan.\n\n"
                          "Opsi:\n"
                          "      --port N          port yang didengarkan (bawaan %1, 0: port bebas)\n"
                          "      --folder FOLDER   folder penyimpanan (bawaan: folder kerja)\n"
                          "      --address ALAMAT  alamat IPv4 yang didengarkan (bawaan: semua, 0.0.0.0)\n"
                          "  -h, --help            menampilkan bantuan ini\n\n"
                          "Variabel lingkungan: tidak ada.\n\n"
                          "Kode keluar: 0 berhenti atas permintaan, 1 port tidak dapat dibuka, folder\n"
                          "tidak ada atau keluaran tidak dapat ditulis, 2 opsi salah.\n")
        .arg(kDefaultPort);
}

QString SendHelp()
{
    return QStringLiteral("Pemakaian: karsidan-cli send --to ALAMAT [--port N] [--name NAMA] [BERKAS]\n\n"
                          "Mengirim satu pesan (NAMA | isi BERKAS atau masukan standar) ke salinan\n"
                          "KARSIDAN lain. Isi dikirim apa adanya, biasanya teks sandi dari encrypt.\n\n"
                          "Setelah byte terakhir, menunggu jawaban penerima: penerima menutup sambungan\n"
                          "dengan benar bila pesan sudah tersimpan di disk, dan memutusnya (reset) bila\n"
                          "menolak pesan. Waktu tunggu: 30 detik ditambah 1 detik per 256 KiB pesan.\n\n"
                          "Opsi:\n"
                          "      --to ALAMAT   alamat IPv4 penerima (wajib)\n"
                          "      --port N      port penerima (bawaan %1)\n"
                          "      --name NAMA   nama berkas dalam pesan (bawaan: nama BERKAS; wajib untuk\n"
                          "                    masukan standar). Hanya bagian terakhir jalur yang\n"
                          "                    dikirim; karakter di luar Windows-1252 dan \"|\" menjadi \"_\"\n"
                          "  -h, --help        menampilkan bantuan ini\n\n"
                          "Variabel lingkungan: tidak ada.\n\n"
                          "Kode keluar: 0 pesan tersimpan di penerima, 1 berkas tidak dapat dibaca,\n"
                          "sambungan gagal, penerima menolak pesan atau tidak menjawab pada waktunya\n"
                          "(alasannya di galat standar), 2 opsi salah atau pesan terlalu besar.\n")
        .arg(kDefaultPort);
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

// What `send` was asked to do, once its options are checked.
struct SendRequest {
    QString to;
    int port = kDefaultPort;
    QString name;
    QString file; // empty: standard input
};

// Checks the options of `send`; returns the exit code on a mistake.
std::optional<int> ReadSendRequest(const QCommandLineParser& parser, SendRequest& request)
{
    const QStringList files = parser.positionalArguments();
    request.to = parser.value(QStringLiteral("to")).trimmed();
    if (request.to.isEmpty()) {
        Err() << "send: --to ALAMAT wajib\n";
        return kExitBadInput;
    }
    if (files.size() > 1) {
        Err() << "send: hanya satu berkas per pesan\n";
        return kExitBadInput;
    }
    request.port = PortOption(parser, QStringLiteral("port"), kDefaultPort, 1);
    if (request.port < 0) {
        Err() << "send: --port harus bilangan 1-65535\n";
        return kExitBadInput;
    }
    if (!files.isEmpty() && files.first() != QLatin1String("-"))
        request.file = files.first();
    request.name = parser.value(QStringLiteral("name"));
    if (!parser.isSet(QStringLiteral("name"))) {
        if (request.file.isEmpty()) {
            Err() << "send: --name wajib bila isi dibaca dari masukan standar\n";
            return kExitBadInput;
        }
        request.name = QFileInfo(request.file).fileName();
    }
    return std::nullopt;
}

// Opens the file, or standard input for an empty path; returns errno.
int OpenInput(const QString& file, QFile& input)
{
    if (file.isEmpty())
        return input.open(stdin, QIODevice::ReadOnly) ? 0 : EBADF;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat info { };
    int error = 0;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!input.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        error = EIO;
    if (error != 0)
        ::close(fd);
    return error;
}

// The whole content to send; a read that fails partway sends nothing.
std::optional<QByteArray> ReadBody(const QString& file)
{
    const QString what = file.isEmpty() ? QStringLiteral("masukan standar") : file;
    QFile input;
    if (const int error = OpenInput(file, input); error != 0) {
        Err() << "send: " << what
              << " tidak dapat dibaca: " << QString::fromStdString(karsidan::storage::ReadReasonFor(error)) << "\n";
        return std::nullopt;
    }
    QByteArray body = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        Err() << "send: " << what << " tidak dapat dibaca: " << input.errorString() << "\n";
        return std::nullopt;
    }
    return body;
}

// Sends one message and waits for the receiver's answer: 0 only once it
// has closed in order, that is, stored the message.
int Deliver(const SendRequest& request, const QByteArray& message)
{
    Sender sender(request.port);
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
    sender.CheckIP(request.to, request.port);
    if (code < 0)
        sender.SendMessage(message);
    if (code < 0)
        QCoreApplication::exec();
    return code;
}

} // namespace

int RunReceive(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("port"), QString(), QStringLiteral("N")});
    parser.addOption({QStringLiteral("folder"), QString(), QStringLiteral("FOLDER")});
    parser.addOption({QStringLiteral("address"), QString(), QStringLiteral("ALAMAT")});
    if (const int code = Parse(parser, args, ReceiveHelp()); code >= 0)
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
    Err() << "Menerima pesan di port " << receiver.LocalPort() << ", menyimpan ke " << QDir::toNativeSeparators(folder)
          << Qt::endl;
    QObject::connect(&stopSignals, &NetStopSignals::StopRequested, [] { QCoreApplication::exit(kExitOk); });
    const int code = QCoreApplication::exec();
    receiver.StopListening();
    return code;
}

int RunSend(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("to"), QString(), QStringLiteral("ALAMAT")});
    parser.addOption({QStringLiteral("port"), QString(), QStringLiteral("N")});
    parser.addOption({QStringLiteral("name"), QString(), QStringLiteral("NAMA")});
    if (const int code = Parse(parser, args, SendHelp()); code >= 0)
        return code;
    SendRequest request;
    if (const auto code = ReadSendRequest(parser, request))
        return *code;
    const std::optional<QByteArray> body = ReadBody(request.file);
    if (!body)
        return kExitFailure;
    // Only the file's own name goes out, never the folders before it.
    const QByteArray message = ComposeMessage(karsidan::net::OutgoingFileName(request.name), *body);
    if (message.size() > Receiver::kMaxMessageBytes) {
        Err() << "send: pesan lebih dari " << Receiver::kMaxMessageBytes << " byte; penerima akan menolaknya\n";
        return kExitBadInput;
    }
    return Deliver(request, message);
}
