#include "cli/CryptIo.h"

#include "storage/AtomicFile.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

void WriteCryptOutput(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A non-blocking descriptor inherited from the caller: wait.
            pollfd ready{STDOUT_FILENO, POLLOUT, 0};
            (void)poll(&ready, 1, -1);
        } else if (written < 0 && errno == EBADF) {
            throw CryptIoError("Gagal menulis keluaran: keluaran standar tertutup");
        } else if (written < 0 && errno != EINTR) {
            throw CryptIoError("Gagal menulis keluaran: " + karsidan::storage::ReasonFor(errno));
        } else if (written == 0) {
            throw CryptIoError("Gagal menulis keluaran");
        }
    }
}
