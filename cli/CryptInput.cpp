#include "cli/CryptInput.h"

#include "cli/CryptIo.h"
#include "storage/AtomicFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CryptInput::CryptInput(const std::string& file) : name_(file.empty() || file == "-" ? "masukan standar" : file)
{
    if (file.empty() || file == "-") {
        fd_ = STDIN_FILENO;
    } else {
        fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(errno));
        owned_ = true;
    }
    struct stat info { };
    if (fstat(fd_, &info) != 0)
        throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(errno));
    if (S_ISDIR(info.st_mode))
        throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(EISDIR));
    if (S_ISREG(info.st_mode)) {
        const off_t at = lseek(fd_, 0, SEEK_CUR);
        if (at >= 0)
            start_ = at;
    }
}

CryptInput::~CryptInput()
{
    if (owned_)
        ::close(fd_);
}

std::size_t CryptInput::ReadSome(std::span<char> into)
{
    for (;;) {
        const ssize_t got = read(fd_, into.data(), into.size());
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            ReadFailed(errno);
    }
}

std::size_t CryptInput::ReadAt(std::span<char> into, unsigned long long at) const
{
    for (;;) {
        const ssize_t got = pread(fd_, into.data(), into.size(),
                                  static_cast<off_t>(start_ + static_cast<long long>(at)));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            ReadFailed(errno);
    }
}

HeldInput CryptInput::ReadAll()
{
    HeldInput held;
    struct stat info { };
    if (Rereadable() && fstat(fd_, &info) == 0 && info.st_size > start_)
        held.Reserve(static_cast<std::size_t>(info.st_size - start_) + 1);
    for (;;) {
        const std::size_t got = ReadSome(held.Room());
        if (got == 0)
            return held;
        held.Grow(got);
    }
}

long long CryptInput::Size() const noexcept
{
    struct stat info { };
    if (!Rereadable() || fstat(fd_, &info) != 0)
        return -1;
    return info.st_size > start_ ? info.st_size - start_ : 0;
}

void CryptInput::Rewind()
{
    if (lseek(fd_, static_cast<off_t>(start_), SEEK_SET) < 0)
        ReadFailed(errno);
}

void CryptInput::ReadFailed(int error) const
{
    throw CryptIoError("Gagal membaca " + name_ + ": " + karsidan::storage::ReadReasonFor(error));
}
