#include "cli/CryptOptions.h"

#include "cli/ArgumentList.h"
#include "cli/CryptIo.h"

#include <cstdio>
#include <stdexcept>

namespace {

void Print(std::FILE* to, const std::string& text) { std::fputs(text.c_str(), to); }

// Help and version on standard output: a failed write is exit code 1.
CryptParseResult PrintChecked(const std::string& command, const std::string& text)
{
    try {
        WriteCryptOutput(text);
    } catch (const CryptIoError& e) {
        Print(stderr, command + ": " + e.what() + "\n");
        return {std::nullopt, 1};
    }
    return {std::nullopt, 0};
}

} // namespace

std::string CryptHelpText(const std::string& command, bool decrypt)
{
    std::string text = "Pemakaian: karsidan-cli " + command
        + " [-1 KUNCI1 -2 KUNCI2 -3 KUNCI3] [--keys-file BERKAS] [--raw] [-o KELUARAN] [BERKAS]\n\n";
    if (decrypt)
        text += "Mendekripsi teks sandi (angka heksadesimal, huruf besar atau kecil, spasi dan\n"
                "baris baru boleh) dari BERKAS atau masukan standar, lalu mencetak teksnya\n"
                "tanpa tambahan apa pun. Kunci diberikan dalam urutan kotak jendela (pertama,\n"
                "kedua, ketiga); urutan kebalikannya untuk dekripsi diatur sendiri.\n"
                "Hasil yang tidak tampak seperti teks (ada byte kendali selain tab, CR dan LF)\n"
                "diberi peringatan \"kunci salah?\" di keluaran galat.\n";
    else
        text += "Mengenkripsi BERKAS atau masukan standar dengan Triple DES (tiga kunci, EDE,\n"
                "ECB) dan mencetak teks sandi heksadesimal huruf besar diikuti satu baris baru.\n"
                "Spasi di awal dan akhir teks tidak ikut dienkripsi.\n";
    text += "\nOpsi:\n"
            "  -1, --key1 KUNCI       kunci pertama\n"
            "  -2, --key2 KUNCI       kunci kedua\n"
            "  -3, --key3 KUNCI       kunci ketiga\n"
            "      --keys-file BERKAS tiga kunci dari BERKAS, satu per baris (pertama,\n"
            "                         kedua, ketiga), tidak terlihat di daftar proses;\n"
            "                         boleh pipa, misalnya <(pass kunci)\n"
            "      --raw              byte apa adanya: tanpa konversi UTF-8 dan tanpa\n"
            "                         mengubah baris baru\n"
            "  -o, --output BERKAS    tulis ke BERKAS (\"-\": keluaran standar); bila gagal,\n"
            "                         tidak ada berkas yang tertinggal. Tautan simbolik\n"
            "                         diikuti; perangkat dan FIFO (/dev/null, /dev/stdout)\n"
            "                         ditulis langsung, tidak diganti\n"
            "  -h, --help             menampilkan bantuan ini\n"
            "  -v, --version          menampilkan versi\n"
            "\nKunci yang tidak diberikan sebagai opsi diambil dari --keys-file, lalu dari\n"
            "variabel lingkungan, lalu ditanyakan di terminal tanpa gema (\"Kunci Pertama: \").\n"
            "Tanpa terminal, kunci yang tidak ada adalah galat.\n"
            "\nVariabel lingkungan:\n"
            "  KARSIDAN_KEY1, KARSIDAN_KEY2, KARSIDAN_KEY3   kunci pertama, kedua, ketiga\n"
            "\nTeks dan kunci ditulis dalam UTF-8 dan diubah ke kode halaman Windows-1252.\n"
            "Seperti di jendela, setiap baris baru (LF, CR LF, CR) dienkripsi sebagai CR LF;\n"
            "setelah dekripsi CR LF menjadi LF lagi. Dengan --raw byte tidak diubah.\n"
            "Kunci paling banyak 8 karakter (spasi di awal dan akhir diabaikan); kunci yang\n"
            "lebih pendek dilengkapi dengan karakter \xC2\xB7. Kunci pertama = kedua atau\n"
            "kedua = ketiga (DES tunggal) dan pertama = ketiga (dua kunci) diberi peringatan.\n"
            "\nKode keluar: 0 berhasil, 1 kegagalan baca/tulis (juga berkas kunci yang tidak\n"
            "dapat dibaca), 2 masukan tidak sah (kunci kosong, lebih dari 8 karakter atau\n"
            "dengan karakter kendali, karakter di luar Windows-1252, UTF-8 tidak sah, bukan\n"
            "teks sandi, opsi salah).\n";
    return text;
}

CryptParseResult ParseCryptOptions(const std::vector<std::string>& args, bool decrypt)
{
    const std::string command = args.at(0);
    auto refuse = [&](const std::string& reason, bool hint) {
        Print(stderr, command + ": " + reason + "\n");
        if (hint)
            Print(stderr, "Lihat: karsidan-cli " + command + " --help\n");
        return CryptParseResult{std::nullopt, 2};
    };
    std::optional<ArgumentList> list;
    try {
        list.emplace(args,
                     std::vector<ArgumentList::Option>{
                         {{"1", "key1"}, true},
                         {{"2", "key2"}, true},
                         {{"3", "key3"}, true},
                         {{"keys-file"}, true},
                         {{"o", "output"}, true},
                         {{"raw"}, false},
                         {{"h", "help"}, false},
                         {{"v", "version"}, false},
                     });
    } catch (const ArgumentList::Error& e) {
        return refuse(e.what(), true);
    }
    if (list->IsSet("h")) {
        return PrintChecked(command, CryptHelpText(command, decrypt));
    }
    if (list->IsSet("v")) {
        return PrintChecked(command, std::string("karsidan-cli ") + KARSIDAN_VERSION + "\n");
    }
    const auto& files = list->Positional();
    if (files.size() > 1)
        return refuse("paling banyak satu berkas, diberikan " + std::to_string(files.size()), false);

    CryptOptions options;
    options.raw = list->IsSet("raw");
    options.file = files.empty() ? std::string() : files.front();
    options.output = list->Value("o").value_or(std::string());
    if (list->IsSet("o") && options.output.empty())
        return refuse("-o/--output perlu nama berkas", false);
    KeyArguments sources;
    sources.options = {list->Value("1"), list->Value("2"), list->Value("3")};
    sources.keysFile = list->Value("keys-file");
    try {
        // The key object holds the rules: blank, not in the code page, too long.
        const std::array<std::string, 3> texts = ReadKeyTexts(sources);
        options.keys = karsidan::TripleDesKeys::FromUtf8(texts[0], texts[1], texts[2]);
    } catch (const std::invalid_argument& e) {
        return refuse(e.what(), false);
    } catch (const CryptIoError& e) {
        Print(stderr, command + ": " + e.what() + "\n");
        return {std::nullopt, 1};
    }
    return {std::move(options), 0};
}
