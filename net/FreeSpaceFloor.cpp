#include "net/FreeSpaceFloor.h"

#include <QFile>

#include <algorithm>
#include <sys/statvfs.h>

namespace karsidan::net {

qint64 FreeBytesOf(const QString& folder)
{
    struct statvfs info { };
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}

qint64 InodeFloor(qint64 totalInodes) { return std::max<qint64>(totalInodes / 100, 1000); }

QString InodeRefusal(const QString& folder)
{
    struct statvfs info { };
    // Some file systems (btrfs) have no fixed number of inodes and say 0.
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0 || info.f_files == 0)
        return {};
    const qint64 free = static_cast<qint64>(info.f_favail);
    const qint64 floor = InodeFloor(static_cast<qint64>(info.f_files));
    if (free - 1 >= floor)
        return {};
    return QStringLiteral("inode bebas tinggal %1; paling sedikit %2 harus tetap bebas").arg(free).arg(floor);
}

} // namespace karsidan::net
