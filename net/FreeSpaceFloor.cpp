#include "net/FreeSpaceFloor.h"

#include "net/platform/FileSystemRoom.h"

#include <QFile>

namespace karsidan::net {

qint64 FreeBytesOf(const QString& folder)
{
    platform::FileSystemRoom room;
    if (!platform::RoomOf(QFile::encodeName(folder).toStdString(), &room))
        return -1;
    return room.freeBytes;
}

qint64 InodeFloor(qint64 totalInodes) { return platform::InodeFloor(totalInodes); }

QString InodeRefusal(const QString& folder)
{
    platform::FileSystemRoom room;
    if (!platform::RoomOf(QFile::encodeName(folder).toStdString(), &room) || platform::RoomForOneMoreFile(room))
        return {};
    return QStringLiteral("inode bebas tinggal %1; paling sedikit %2 harus tetap bebas")
        .arg(room.freeInodes)
        .arg(InodeFloor(room.totalInodes));
}

} // namespace karsidan::net
