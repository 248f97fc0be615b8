#include "cli/CryptIo.h"

#include "cli/platform/Descriptors.h"
#include "storage/AtomicFile.h"

#include <cerrno>

void WriteCryptOutput(std::string_view bytes)
{
    while (!bytes.empty()) {
        std::size_t written = 0;
        const int error = platform::WriteSome(platform::kStandardOutput, bytes, &written);
        if (error == EBADF)
            throw CryptIoError("Gagal menulis keluaran: keluaran standar tertutup");
        if (error != 0)
            throw CryptIoError("Gagal menulis keluaran: " + karsidan::storage::ReasonFor(error));
        bytes.remove_prefix(written);
    }
}
