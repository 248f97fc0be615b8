#pragma once
// The input of the crypt commands: a file or standard input, read through
// the descriptor calls (cli/platform/Descriptors.h) into the caller's
// buffer, so a stream reuses its own. Files of any size, on Windows too.

#include "cli/HeldInput.h"

#include <cstddef>
#include <span>
#include <string>

class CryptInput {
public:
    // Opens FILE, or standard input when file is empty or "-". Throws
    // CryptIoError ("Tidak dapat membuka ...").
    explicit CryptInput(const std::string& file);
    ~CryptInput();
    CryptInput(const CryptInput&) = delete;
    CryptInput& operator=(const CryptInput&) = delete;

    // Reads what is there, up to into.size() bytes; 0 only at the end. A
    // pipe may give less than asked. Throws CryptIoError ("Gagal membaca ...").
    std::size_t ReadSome(std::span<char> into);
    // Everything from here to the end, in memory.
    HeldInput ReadAll();

    // Reads up to into.size() bytes at offset `at` from where reading began;
    // 0 only at the end. Safe from several threads at once; on Windows it
    // moves the position, so Rewind() before reading on. Only when Rereadable(). Throws as
    // ReadSome.
    std::size_t ReadAt(std::span<char> into, unsigned long long at) const;

    // Bytes from here to the end of a regular file; -1 for anything else.
    long long Size() const noexcept;

    // True for a regular file, which can be read twice.
    bool Rereadable() const noexcept { return start_ >= 0; }
    // Back to where reading began; only when Rereadable().
    void Rewind();

    // The file name for messages ("masukan standar" for standard input).
    const std::string& name() const noexcept { return name_; }

private:
    [[noreturn]] void ReadFailed(int error) const;

    std::string name_;
    int fd_ = -1;
    bool owned_ = false;
    long long start_ = -1; // offset reading began at, -1 when not rereadable
};
