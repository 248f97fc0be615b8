// karsidan-cli: encrypt and decrypt here, in plain C++, so that a run
// starts at once; send and receive are handed to the Qt helper
// karsidan-cli-net, as git hands sub-commands to its helpers.
#include "cli/CliMain.h"

#include "cli/Commands.h"
#include "cli/CryptIo.h"
#include "cli/NetLauncher.h"
#include "cli/StandardDescriptors.h"
#include "cli/platform/Descriptors.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "Pemakaian: karsidan-cli PERINTAH [OPSI]...\n"
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

// Help and version through the checked writer: exit code 1 when they
// cannot be written.
int PrintOrFail(const char* text)
{
    try {
        WriteCryptOutput(text);
    } catch (const CryptIoError& error) {
        std::fputs((std::string("karsidan-cli: ") + error.what() + "\n").c_str(), stderr);
        return 1;
    }
    return 0;
}

} // namespace

int CliMain(int argc, char** argv)
{
    // Before anything opens a descriptor of its own: a closed 0, 1 or 2
    // gets the null device, so no file is ever written through "standard
    // output".
    if (!GuardStandardDescriptors()) {
        const std::string message = std::string("karsidan-cli: ") + kNullDevice
            + " tidak dapat dibuka untuk deskriptor standar yang tertutup\n";
        std::size_t written = 0;
        platform::WriteSome(platform::kStandardError, message, &written);
        return 1;
    }

    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& command = args.front();
    if (command == "--help" || command == "-h")
        return PrintOrFail(kUsage);
    if (command == "--version" || command == "-v")
        return PrintOrFail("karsidan-cli " KARSIDAN_VERSION "\n");
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
