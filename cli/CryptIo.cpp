#include "cli/CryptIo.h"

#include <cerrno>
#include <cstring>

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
            throw CryptIoError("Gagal menulis keluaran: " + IoErrorText(errno));
        } else if (written == 0) {
            throw CryptIoError("Gagal menulis keluaran");
        }
    }
}

void PrintOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    WriteCryptOutput(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string IoErrorText(int error)
{
    switch (error) {
    case EPIPE:
        return "pembaca sudah menutup pipa";
    case ENOSPC:
        return "disk penuh";
    case EDQUOT:
        return "kuota disk habis";
    case EFBIG:
        return "berkas melebihi batas ukuran";
    case EROFS:
        return "sistem berkas hanya dapat dibaca";
    case EACCES:
    case EPERM:
        return "akses ditolak";
    case EIO:
        return "kesalahan perangkat (EIO)";
    case EBADF:
        return "deskriptor tertutup";
    default:
        return std::strerror(error);
    }
}
