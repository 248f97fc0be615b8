#include "cli/CryptInput.h"

#include "cli/CryptIo.h"
#include "cli/platform/Descriptors.h"
#include "storage/AtomicFile.h"

#include <cerrno>

CryptInput::CryptInput(const std::string& file) : name_(file.empty() || file == "-" ? "masukan standar" : file)
{
    if (file.empty() || file == "-") {
        fd_ = platform::kStandardInput;
    } else {
        if (const int error = platform::OpenForReading(file, &fd_))
            throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(error));
        owned_ = true;
    }
    platform::DescriptorInfo info;
    if (const int error = platform::Inspect(fd_, &info))
        throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(error));
    if (info.folder)
        throw CryptIoError("Tidak dapat membuka " + name_ + ": " + karsidan::storage::ReadReasonFor(EISDIR));
    if (long long at = 0; info.regular && platform::Position(fd_, &at) == 0)
        start_ = at;
}

CryptInput::~CryptInput()
{
    if (owned_)
        platform::Close(fd_);
}

std::size_t CryptInput::ReadSome(std::span<char> into)
{
    std::size_t got = 0;
    if (const int error = platform::ReadSome(fd_, into, &got))
        ReadFailed(error);
    return got;
}

std::size_t CryptInput::ReadAt(std::span<char> into, unsigned long long at) const
{
    std::size_t got = 0;
    if (const int error = platform::ReadAt(fd_, into, static_cast<unsigned long long>(start_) + at, &got))
        ReadFailed(error);
    return got;
}

HeldInput CryptInput::ReadAll()
{
    HeldInput held;
    if (const long long size = Size(); size > 0)
        held.Reserve(static_cast<std::size_t>(size) + 1);
    for (;;) {
        const std::size_t got = ReadSome(held.Room());
        if (got == 0)
            return held;
        held.Grow(got);
    }
}

long long CryptInput::Size() const noexcept
{
    platform::DescriptorInfo info;
    if (!Rereadable() || platform::Inspect(fd_, &info) != 0)
        return -1;
    return info.size > start_ ? info.size - start_ : 0;
}

void CryptInput::Rewind()
{
    if (const int error = platform::Seek(fd_, start_))
        ReadFailed(error);
}

void CryptInput::ReadFailed(int error) const
{
    throw CryptIoError("Gagal membaca " + name_ + ": " + karsidan::storage::ReadReasonFor(error));
}
