#include "net/platform/FileSystemRoom.h"

#include "storage/WindowsText.h"

#include <windows.h>

namespace karsidan::net::platform {

bool RoomOf(const std::string& folder, FileSystemRoom* room)
{
    std::wstring wide;
    if (storage::WidePath(folder, &wide) != 0)
        return false;
    // Free to this user (quotas included), as statvfs's f_bavail.
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr))
        return false;
    room->freeBytes = static_cast<std::int64_t>(available.QuadPart);
    // NTFS has no fixed number of files to run out of.
    room->freeInodes = 0;
    room->totalInodes = 0;
    return true;
}

} // namespace karsidan::net::platform
