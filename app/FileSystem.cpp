#include "app/FileSystem.h"

#include "storage/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace karsidan {

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool FileSystem::FileExists(const QString& path) const { return !path.isEmpty() && QFileInfo(path).isFile(); }

bool FileSystem::DeleteFile(const QString& path, bool force, QString* error) const
{
    QFile file(path);
    if (force && !QFileInfo(path).isWritable())
        file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    if (file.remove())
        return true;
    SetError(error, file.errorString());
    return false;
}

bool FileSystem::WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) const
{
    using storage::AtomicFile;
    AtomicFile file(QFile::encodeName(path).toStdString(), AtomicFile::Mode::Replace, AtomicFile::Names::Followed);
    // A FIFO nobody reads must not freeze the window.
    file.WaitForReader(false);
    if (file.Open() && file.Write(std::string_view(bytes.constData(), std::size_t(bytes.size()))) && file.Commit())
        return true;
    SetError(error, QString::fromStdString(file.Error()));
    return false;
}

bool FileSystem::ReadFile(const QString& path, QByteArray& bytes, QString* error) const
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        SetError(error, QStringLiteral("Ini sebuah folder, bukan berkas"));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace karsidan
