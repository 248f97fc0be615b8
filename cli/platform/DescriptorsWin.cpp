#include "cli/platform/Descriptors.h"

#include "storage/WindowsErrors.h"
#include "storage/WindowsNames.h"
#include "storage/WindowsText.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

using karsidan::storage::LastErrno;

namespace platform {

namespace {

// ReadFile and WriteFile take a 32-bit count.
constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;

HANDLE HandleOf(int fd)
{
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle == -1 || handle == -2 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

} // namespace

int OpenForReading(const std::string& path, int* fd)
{
    *fd = -1;
    if (karsidan::storage::ClassifyWindowsPath(path) == karsidan::storage::WindowsName::Invalid)
        return EINVAL;
    std::wstring wide;
    if (const int error = karsidan::storage::WidePath(path, &wide))
        return error;
    // Backup semantics open a folder too, so that it is reported as one.
    const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return karsidan::storage::DescriptorOfHandle(handle, _O_RDONLY, fd);
}

int Close(int fd) { return ::_close(fd) == 0 ? 0 : errno; }

int ReadSome(int fd, std::span<char> into, std::size_t* got)
{
    *got = 0;
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    DWORD n = 0;
    if (!::ReadFile(handle, into.data(), static_cast<DWORD>(std::min(into.size(), kMostAtOnce)), &n, nullptr)) {
        const DWORD error = ::GetLastError();
        // The writer of a pipe has gone: the end, as on Linux.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
            return 0;
        return karsidan::storage::ErrnoFromWindows(error);
    }
    *got = n;
    return 0;
}

int ReadAt(int fd, std::span<char> into, unsigned long long offset, std::size_t* got)
{
    *got = 0;
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD n = 0;
    if (!::ReadFile(handle, into.data(), static_cast<DWORD>(std::min(into.size(), kMostAtOnce)), &n, &at)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF)
            return 0;
        return karsidan::storage::ErrnoFromWindows(error);
    }
    *got = n;
    return 0;
}

int WriteSome(int fd, std::string_view bytes, std::size_t* written)
{
    *written = 0;
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    if (bytes.empty())
        return 0;
    for (;;) {
        DWORD n = 0;
        if (!::WriteFile(handle, bytes.data(), static_cast<DWORD>(std::min(bytes.size(), kMostAtOnce)), &n, nullptr)) {
            const DWORD error = ::GetLastError();
            // Standard output opened read-only onto a closed one (NUL).
            if (error == ERROR_ACCESS_DENIED)
                return EBADF;
            return karsidan::storage::ErrnoFromWindows(error);
        }
        if (n > 0) {
            *written = n;
            return 0;
        }
        // A pipe in non-blocking mode that is full: wait.
        ::Sleep(1);
    }
}

int Inspect(int fd, DescriptorInfo* info)
{
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    *info = {};
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return 0;
    // The ...Ex form: the older call also asks for the volume, which a
    // standard handle over a pipe-like redirection need not have.
    FILE_STANDARD_INFO about{};
    if (!::GetFileInformationByHandleEx(handle, FileStandardInfo, &about, sizeof about))
        return LastErrno();
    info->folder = about.Directory != 0;
    info->regular = !info->folder;
    if (info->regular)
        info->size = about.EndOfFile.QuadPart;
    return 0;
}

int Position(int fd, long long* at)
{
    const HANDLE handle = HandleOf(fd);
    LARGE_INTEGER position{};
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    if (!::SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT))
        return LastErrno();
    *at = position.QuadPart;
    return 0;
}

int Seek(int fd, long long at)
{
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    LARGE_INTEGER to{};
    to.QuadPart = at;
    return ::SetFilePointerEx(handle, to, nullptr, FILE_BEGIN) ? 0 : LastErrno();
}

} // namespace platform
