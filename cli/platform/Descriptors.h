#pragma once
// The descriptor calls of karsidan-cli: POSIX in DescriptorsPosix.cpp,
// Win32 in DescriptorsWin.cpp. Descriptors are the C runtime's numbers on
// both (0, 1, 2 are the standard ones). Every call returns 0 or an errno
// value, the same value for the same fault on both systems, so the
// messages match; interrupted calls are retried inside.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace platform {

inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// A file by its UTF-8 name, for reading: binary, not passed to programs
// this one starts. A folder opens (Inspect tells).
int OpenForReading(const std::string& path, int* fd);
int Close(int fd);

// Up to into.size() bytes; *got is 0 only at the end (a pipe whose writer
// has gone included).
int ReadSome(int fd, std::span<char> into, std::size_t* got);
// The same at a 64-bit offset from the file's start. POSIX leaves the
// position alone; Windows moves it, so callers seek before reading on.
int ReadAt(int fd, std::span<char> into, unsigned long long offset, std::size_t* got);
// Writes some of the bytes, waiting while a non-blocking descriptor is
// full. EPIPE when the reader has gone, EBADF for a descriptor that is
// closed or open only for reading.
int WriteSome(int fd, std::string_view bytes, std::size_t* written);

struct DescriptorInfo {
    bool folder = false;
    bool regular = false; // a file on a disk, which can be read twice
    long long size = 0; // regular files only
};
int Inspect(int fd, DescriptorInfo* info);
int Position(int fd, long long* at);
int Seek(int fd, long long at);

} // namespace platform
