#include "cli/Commands.h"

#include "cli/CryptIo.h"
#include "cli/StandardDescriptors.h"

#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

namespace {

const char* const kUsage =
    "Pemakaian: karsidan-cli PERINTAH [OPSI]...\n"
    "\n"
    "Triple DES (tiga kunci, EDE, ECB) dan pengiriman pesan KARSIDAN.\n"
    "\n"
    "Perintah:\n"
    "  encrypt   enkripsi berkas atau masukan standar menjadi teks heksadesimal\n"
    "  decrypt   dekripsi teks heksadesimal kembali menjadi teks\n"
    "  send      kirim satu pesan ke salinan KARSIDAN lain\n"
    "  receive   terima pesan dan simpan sebagai berkas\n"
    "\n"
    "  karsidan-cli PERINTAH --help   menjelaskan opsi perintah itu\n"
    "  karsidan-cli --version         menampilkan versi\n"
    "\n"
    "Kode keluar: 0 berhasil, 1 kegagalan masukan/keluaran atau sambungan,\n"
    "2 masukan tidak sah (kunci kosong, kunci lebih dari 8 karakter, karakter\n"
    "di luar kode halaman Windows-1252, bukan teks sandi).\n";

} // namespace

namespace {

int Dispatch(QStringList args)
{
    args.removeFirst();
    QTextStream err(stderr);
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    const QString command = args.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        PrintOut(QString::fromUtf8(kUsage));
        return 0;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        PrintOut(QStringLiteral("karsidan-cli " KARSIDAN_VERSION "\n"));
        return 0;
    }
    if (command == QLatin1String("encrypt"))
        return RunEncrypt(args);
    if (command == QLatin1String("decrypt"))
        return RunDecrypt(args);
    if (command == QLatin1String("send"))
        return RunSend(args);
    if (command == QLatin1String("receive"))
        return RunReceive(args);
    err << "Perintah tidak dikenal: " << command << "\n\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Before the application object opens descriptors of its own.
    if (!GuardStandardDescriptors()) {
        const char message[] = "karsidan-cli: /dev/null tidak dapat dibuka untuk deskriptor standar yang tertutup\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
        return 1;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("karsidan-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KARSIDAN_VERSION));
    try {
        return Dispatch(QCoreApplication::arguments());
    } catch (const CryptIoError& error) {
        // Help and version texts that could not be written.
        QTextStream(stderr) << "karsidan-cli: " << QString::fromUtf8(error.what()) << "\n";
        return 1;
    }
}
