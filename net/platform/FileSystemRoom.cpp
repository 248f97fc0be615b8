#include "net/platform/FileSystemRoom.h"

#include <algorithm>

namespace karsidan::net::platform {

std::int64_t InodeFloor(std::int64_t totalInodes) { return std::max<std::int64_t>(totalInodes / 100, 1000); }

bool RoomForOneMoreFile(const FileSystemRoom& room)
{
    return room.totalInodes <= 0 || room.freeInodes - 1 >= InodeFloor(room.totalInodes);
}

} // namespace karsidan::net::platform
