#pragma once
// The small file-system helper through which files are written, tested and
// deleted. Failures come back as values with a readable reason.
#include <QByteArray>
#include <QString>

namespace karsidan {

class FileSystem {
public:
    // True for an existing file; a folder of that name does not count.
    bool FileExists(const QString& path) const;

    // Deletes a file; with force, a read-only file as well.
    bool DeleteFile(const QString& path, bool force, QString* error = nullptr) const;

    // Replaces the file's whole content with bytes, or leaves the file as it
    // was when anything fails, with no temporary file left (storage/AtomicFile).
    bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr) const;

    bool ReadFile(const QString& path, QByteArray& bytes, QString* error = nullptr) const;
};

} // namespace karsidan
