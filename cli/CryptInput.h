#pragma once
// The input of the crypt commands: a file or standard input, read with
// read(2) into the caller's buffer, so a stream reuses its own.

#include <QFile>
#include <QString>

#include <cstddef>
#include <span>
#include <string>

class CryptInput {
public:
    // Opens FILE, or standard input when file is empty or "-". Throws
    // CryptIoError ("Tidak dapat membuka ...").
    explicit CryptInput(const QString& file);

    // Reads what is there, up to into.size() bytes; 0 only at the end. A
    // pipe may give less than asked. Throws CryptIoError ("Gagal membaca ...").
    std::size_t ReadSome(std::span<char> into);
    // Everything from here to the end.
    std::string ReadAll();

    // True for a regular file, which can be read twice.
    bool Rereadable() const noexcept { return start_ >= 0; }
    // Back to where reading began; only when Rereadable().
    void Rewind();

    // The file name for messages ("masukan standar" for standard input).
    const QString& name() const noexcept { return name_; }

private:
    [[noreturn]] void ReadFailed(int error) const;

    QFile file_;
    QString name_;
    int fd_ = -1;
    long long start_ = -1; // offset reading began at, -1 when not rereadable
};
