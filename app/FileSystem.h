#pragma once
// The small file-system helper through which files are written and read. Failures come back as values with a readable
// reason.
#include <QByteArray>
#include <QString>

namespace karsidan {

class FileSystem {
public:
    // Replaces the file's whole content with bytes, or leaves the file as it
    // was when anything fails, with no temporary file left (storage/AtomicFile).
    bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr) const;

    bool ReadFile(const QString& path, QByteArray& bytes, QString* error = nullptr) const;
};

} // namespace karsidan
