#pragma once
// Where a crypt command writes: standard output, or a file named by
// -o/--output through the program's one atomic writer, so that a run that
// fails (a refused input, a full disk) leaves no file and an older file of
// that name as it was. A link is followed to its file; a device or a FIFO
// is written as it stands, like standard output.

#include "storage/AtomicFile.h"

#include <memory>
#include <string>
#include <string_view>

class CryptOutput {
public:
    // path empty or "-": standard output. A file is opened at once, so an
    // unwritable folder is reported before any input is read. Throws
    // CryptIoError.
    explicit CryptOutput(const std::string& path);

    // Throws CryptIoError ("Gagal menulis ...").
    void Write(std::string_view bytes);
    // Puts the file in place; nothing for standard output.
    void Commit();
    // True for a file put in place at Commit: nothing written before a
    // failure is ever seen. Not for standard output, nor for a device or
    // FIFO that -o names, which see each byte as it is written.
    bool HeldBack() const noexcept { return file_ != nullptr && !file_->WritesInPlace(); }

private:
    [[noreturn]] void Failed() const;

    std::unique_ptr<karsidan::storage::AtomicFile> file_; // null: standard output
};
