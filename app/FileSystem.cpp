#include "app/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace karsidan {

namespace {

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool FileSystem::FileExists(const QString& path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

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

bool FileSystem::WriteFileAtomically(const QString& path, const QByteArray& bytes,
                                     QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        SetError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
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
