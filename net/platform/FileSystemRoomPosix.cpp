#include "net/platform/FileSystemRoom.h"

#include <sys/statvfs.h>

namespace karsidan::net::platform {

bool RoomOf(const std::string& folder, FileSystemRoom* room)
{
    struct statvfs info { };
    if (::statvfs(folder.c_str(), &info) != 0)
        return false;
    room->freeBytes = static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
    room->freeInodes = static_cast<std::int64_t>(info.f_favail);
    room->totalInodes = static_cast<std::int64_t>(info.f_files);
    return true;
}

} // namespace karsidan::net::platform
