#include "cli/CryptInput.h"

#include "cli/CryptIo.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

CryptInput::CryptInput(const QString& file)
    : name_(file.isEmpty() ? QStringLiteral("masukan standar") : file)
{
    bool opened;
    // Unbuffered: every byte is read with read(2) on the handle below.
    if (file.isEmpty() || file == QLatin1String("-")) {
        opened = file_.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered);
    } else {
        file_.setFileName(file);
        opened = file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!opened)
        throw CryptIoError(("Tidak dapat membuka " + name_ + ": " + file_.errorString()).toStdString());
    fd_ = file_.handle();
    struct stat info {};
    if (fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t at = lseek(fd_, 0, SEEK_CUR);
        if (at >= 0)
            start_ = at;
    }
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

std::string CryptInput::ReadAll()
{
    constexpr std::size_t kStep = 1 << 20;
    std::string data;
    struct stat info {};
    if (Rereadable() && fstat(fd_, &info) == 0 && info.st_size > start_)
        data.reserve(static_cast<std::size_t>(info.st_size - start_) + kStep);
    for (;;) {
        const std::size_t used = data.size();
        data.resize(used + kStep);
        const std::size_t got = ReadSome({data.data() + used, kStep});
        data.resize(used + got);
        if (got == 0)
            return data;
    }
}

void CryptInput::Rewind()
{
    if (lseek(fd_, static_cast<off_t>(start_), SEEK_SET) < 0)
        ReadFailed(errno);
}

void CryptInput::ReadFailed(int error) const
{
    throw CryptIoError(("Gagal membaca " + name_ + ": ").toStdString() + IoErrorText(error));
}
