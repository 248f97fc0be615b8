#include "net/AtomicFileWriter.h"

#include "net/ReceivedFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace karsidan::net {

QString TemporaryFileTemplate(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kTemporaryPrefix) + QStringLiteral("XXXXXX.part"));
}

QString WriteFileAtomically(const QString& folder, const QString& name, QByteArrayView data)
{
    const QDir dir(folder);
    if (!dir.exists())
        return QStringLiteral("folder %1 tidak ada").arg(QDir::toNativeSeparators(folder));

    QTemporaryFile temp(TemporaryFileTemplate(folder));
    if (!temp.open())
        return QStringLiteral("berkas sementara tidak dapat dibuat: %1").arg(temp.errorString());
    if (temp.write(data.data(), data.size()) != data.size() || !temp.flush())
        return QStringLiteral("gagal menulis: %1").arg(temp.errorString());
    return ReplaceWithTemporary(temp, folder, name);
}

QString ReplaceWithTemporary(QTemporaryFile& temp, const QString& folder, const QString& name)
{
    // Temporary files are private; a received file gets the usual rights.
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                        | QFile::ReadGroup | QFile::ReadOther);
    temp.close();

    // std::filesystem::rename replaces an existing target in one step (and
    // replaces a symbolic link itself rather than writing through it).
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temp.fileName().toStdU16String()),
                            std::filesystem::path(QDir(folder).filePath(name).toStdU16String()), error);
    if (error)
        return QStringLiteral("gagal mengganti %1: %2")
            .arg(name, QString::fromLocal8Bit(error.message()));
    temp.setAutoRemove(false);
    return {};
}

} // namespace karsidan::net
