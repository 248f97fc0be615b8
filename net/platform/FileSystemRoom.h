#pragma once
// What a folder's file system has left: bytes, and inodes (files), without
// which a save fails as "disk penuh" however many bytes are left. Plain
// C++ for the Windows build too: POSIX in FileSystemRoomPosix.cpp (statvfs),
// Windows in FileSystemRoomWin.cpp (GetDiskFreeSpaceExW).

#include <cstdint>
#include <string>

namespace karsidan::net::platform {

struct FileSystemRoom {
    std::int64_t freeBytes = -1;
    std::int64_t freeInodes = 0;
    // 0 where the file system does not count inodes (btrfs, NTFS).
    std::int64_t totalInodes = 0;
};

// The room on the file system of folder (a UTF-8 path); false when it
// cannot be asked.
bool RoomOf(const std::string& folder, FileSystemRoom* room);

// Inodes to keep free on a file system with so many: 1 % of them, and at
// least 1,000.
std::int64_t InodeFloor(std::int64_t totalInodes);

// Whether one more file still leaves the inode floor free; always true where
// inodes are not counted.
bool RoomForOneMoreFile(const FileSystemRoom& room);

} // namespace karsidan::net::platform
