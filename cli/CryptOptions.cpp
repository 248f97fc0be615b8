#include "cli/CryptOptions.h"

#include "cli/CryptIo.h"

#include "codepage/CodePage.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <stdexcept>

namespace {

QString HelpText(const QString& command, bool decrypt)
{
    QString text;
    QTextStream out(&text);
    out << "Pemakaian: karsidan-cli " << command << " -1 KUNCI1 -2 KUNCI2 -3 KUNCI3 [--raw] [BERKAS]\n\n";
    if (decrypt)
        out << "Mendekripsi teks sandi (angka heksadesimal, huruf besar atau kecil, spasi dan\n"
               "baris baru boleh) dari BERKAS atau masukan standar, lalu mencetak teksnya\n"
               "tanpa tambahan apa pun. Kunci diberikan dalam urutan kotak jendela (pertama,\n"
               "kedua, ketiga); urutan kebalikannya untuk dekripsi diatur sendiri.\n";
    else
        out << "Mengenkripsi BERKAS atau masukan standar dengan Triple DES (tiga kunci, EDE,\n"
               "ECB) dan mencetak teks sandi heksadesimal huruf besar diikuti satu baris baru.\n"
               "Spasi di awal dan akhir teks tidak ikut dienkripsi.\n";
    out << "\nOpsi:\n"
           "  -1, --key1 KUNCI   kunci pertama (tanpa opsi: variabel lingkungan KARSIDAN_KEY1)\n"
           "  -2, --key2 KUNCI   kunci kedua   (tanpa opsi: KARSIDAN_KEY2)\n"
           "  -3, --key3 KUNCI   kunci ketiga  (tanpa opsi: KARSIDAN_KEY3)\n"
           "      --raw          teks dilewatkan sebagai byte apa adanya, tanpa konversi UTF-8\n"
           "  -h, --help         menampilkan bantuan ini\n"
           "  -v, --version      menampilkan versi\n"
           "\nKunci dan teks ditulis dalam UTF-8 dan diubah ke kode halaman Windows-1252.\n"
           "Kunci paling banyak 8 karakter (spasi di awal dan akhir diabaikan); kunci yang\n"
           "lebih pendek dilengkapi dengan karakter \xC2\xB7. Memakai variabel lingkungan\n"
           "menjaga kunci tidak terlihat di daftar proses.\n"
           "\nKode keluar: 0 berhasil, 1 kegagalan baca/tulis, 2 masukan tidak sah (kunci\n"
           "kosong atau lebih dari 8 karakter, karakter di luar Windows-1252, bukan teks sandi).\n";
    return text;
}

// Key texts in box order, as UTF-8: from the options when given, else the
// environment (whose bytes go to the key object unchecked, so malformed
// UTF-8 is named as such).
karsidan::TripleDesKeys KeysFrom(const QCommandLineParser& parser)
{
    std::array<QByteArray, 3> keys;
    for (int number = 1; number <= 3; ++number) {
        const QString option = "key" + QString::number(number);
        keys[number - 1] = parser.isSet(option) ? parser.value(option).toUtf8()
                                                : qgetenv(("KARSIDAN_KEY" + std::to_string(number)).c_str());
    }
    const auto view = [](const QByteArray& b) { return std::string_view(b.constData(), std::size_t(b.size())); };
    return karsidan::TripleDesKeys::FromUtf8(view(keys[0]), view(keys[1]), view(keys[2]));
}

} // namespace

CryptParseResult ParseCryptOptions(const QStringList& args, bool decrypt)
{
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption key1({"1", "key1"}, {}, "KUNCI");
    const QCommandLineOption key2({"2", "key2"}, {}, "KUNCI");
    const QCommandLineOption key3({"3", "key3"}, {}, "KUNCI");
    const QCommandLineOption raw(QStringLiteral("raw"));
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    parser.addOptions({key1, key2, key3, raw, help, version});
    parser.addPositionalArgument("BERKAS", {});

    const QString command = args.value(0);
    if (!parser.parse(args)) {
        const QStringList unknown = parser.unknownOptionNames();
        QString reason = parser.errorText();
        if (!unknown.isEmpty())
            reason = QStringLiteral("opsi tidak dikenal: ") + unknown.join(QStringLiteral(", "));
        else if (reason.startsWith(QLatin1String("Missing value")))
            reason = QStringLiteral("opsi tanpa nilai: ") + reason.section(QLatin1Char('\''), 1, 1);
        err << command << ": " << reason << "\n"
            << "Lihat: karsidan-cli " << command << " --help\n";
        return {std::nullopt, 2};
    }
    if (parser.isSet(help)) {
        PrintOut(HelpText(command, decrypt));
        return {std::nullopt, 0};
    }
    if (parser.isSet(version)) {
        PrintOut(QStringLiteral("karsidan-cli " KARSIDAN_VERSION "\n"));
        return {std::nullopt, 0};
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        err << command << ": paling banyak satu berkas, diberikan " << files.size() << "\n";
        return {std::nullopt, 2};
    }

    CryptOptions options;
    options.raw = parser.isSet(raw);
    options.file = files.value(0);
    try {
        options.keys = KeysFrom(parser);
    } catch (const std::invalid_argument& e) {
        err << command << ": " << QString::fromUtf8(e.what()) << "\n";
        return {std::nullopt, 2};
    }
    return {std::move(options), 0};
}
