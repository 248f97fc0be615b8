// karsidan-cli: encrypt and decrypt here, in plain C++, so that a run
// starts at once; send and receive are handed to the Qt helper
// karsidan-cli-net, as git hands sub-commands to its helpers.
#include "cli/Commands.h"
#include "cli/NetLauncher.h"

#include <cstdio>
#include <string>
#include <vector>

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
    "Opsi:\n"
    "  -h, --help      menampilkan bantuan ini\n"
    "  -v, --version   menampilkan versi\n"
    "\n"
    "  karsidan-cli PERINTAH --help   menjelaskan opsi, variabel lingkungan dan\n"
    "                                 kode keluar perintah itu\n"
    "\n"
    "Variabel lingkungan: KARSIDAN_KEY1, KARSIDAN_KEY2, KARSIDAN_KEY3 (kunci\n"
    "encrypt dan decrypt).\n"
    "\n"
    "Kode keluar: 0 berhasil, 1 kegagalan masukan/keluaran atau sambungan,\n"
    "2 masukan tidak sah (kunci kosong, kunci lebih dari 8 karakter, karakter\n"
    "di luar kode halaman Windows-1252, bukan teks sandi, opsi salah).\n";

} // namespace

int main(int argc, char** argv)
{
    // Standard descriptors are made sure of here, before anything else.

    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version" || command == "-v") {
        std::fputs("karsidan-cli " KARSIDAN_VERSION "\n", stdout);
        return 0;
    }
    if (command == "encrypt")
        return RunEncrypt(args);
    if (command == "decrypt")
        return RunDecrypt(args);
    if (command == "send" || command == "receive")
        return RunNetHelper(argv[0], args);
    std::fputs(("karsidan-cli: perintah tidak dikenal: " + command + "\n\n").c_str(), stderr);
    std::fputs(kUsage, stderr);
    return 2;
}
