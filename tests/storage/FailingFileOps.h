#pragma once
// The system's file calls, except the ones a test chooses to fail: for the
// failures a real disk rarely shows on demand (a sync that reports EIO).

#include "storage/NativeFileOps.h"

#include <map>

namespace karsidan::storage {

class FailingFileOps : public NativeFileOps {
public:
    enum class Call { CreateNew, Write, Sync, Close, Rename, RenameNoReplace };

    // Every later call of that kind fails with code, without being made.
    void Fail(Call call, int code) { failures_[call] = code; }
    int Calls(Call call) const { return calls_.count(call) ? calls_.at(call) : 0; }

    int CreateNew(const std::string& path, unsigned mode, int* fd) override
    {
        if (const int code = Chosen(Call::CreateNew))
            return code;
        return NativeFileOps::CreateNew(path, mode, fd);
    }
    int Write(int fd, const char* bytes, std::size_t size, std::size_t* written) override
    {
        if (const int code = Chosen(Call::Write))
            return code;
        return NativeFileOps::Write(fd, bytes, size, written);
    }
    int Sync(int fd) override
    {
        if (const int code = Chosen(Call::Sync))
            return code;
        return NativeFileOps::Sync(fd);
    }
    int Close(int fd) override
    {
        // The descriptor is released all the same, as close(2) does.
        const int code = Chosen(Call::Close);
        const int real = NativeFileOps::Close(fd);
        return code != 0 ? code : real;
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        if (const int code = Chosen(Call::Rename))
            return code;
        return NativeFileOps::Rename(from, to);
    }
    int RenameNoReplace(const std::string& from, const std::string& to) override
    {
        if (const int code = Chosen(Call::RenameNoReplace))
            return code;
        return NativeFileOps::RenameNoReplace(from, to);
    }

private:
    int Chosen(Call call)
    {
        ++calls_[call];
        const auto found = failures_.find(call);
        return found == failures_.end() ? 0 : found->second;
    }

    std::map<Call, int> failures_;
    std::map<Call, int> calls_;
};

} // namespace karsidan::storage
