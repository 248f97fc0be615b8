// The file operations as Win32 calls, for the Windows build: UTF-8 names
// through the wide calls, errors as the errno values Linux gives for the
// same fault. Windows has no owners, modes or links in the POSIX sense:
// Inspect reports what a link names, a device name (NUL, CON) is a
// character device, and a name Windows cannot hold (a trailing dot,
// "nul.txt") is EINVAL before any call sees it.

#include "storage/NativeFileOps.h"

#include "storage/WindowsErrors.h"
#include "storage/WindowsNames.h"
#include "storage/WindowsText.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace karsidan::storage {

namespace {

// WriteFile takes a 32-bit count.
constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;

HANDLE HandleOf(int fd)
{
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle == -1 || handle == -2 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(handle);
}

// A UTF-8 name for the wide calls, or EINVAL for one Windows cannot hold.
int NameFor(const std::string& path, std::wstring* wide, WindowsName* kind = nullptr)
{
    const WindowsName name = ClassifyWindowsPath(path);
    if (kind)
        *kind = name;
    if (name == WindowsName::Invalid)
        return EINVAL;
    return WidePath(path, wide);
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A rename's error as Linux words it: onto a folder is EISDIR there.
int RenameFailed(const std::wstring& to)
{
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED && IsFolder(to))
        return EISDIR;
    return ErrnoFromWindows(error);
}

} // namespace

int NativeFileOps::Inspect(const std::string& path, FileInfo* info)
{
    *info = {};
    std::wstring wide;
    WindowsName name = WindowsName::Ordinary;
    if (const int code = NameFor(path, &wide, &name))
        return code;
    if (name == WindowsName::Device) {
        info->kind = FileKind::CharacterDevice;
        info->mode = 0666;
        return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        const int code = LastErrno();
        return code == ENOENT ? 0 : code;
    }
    info->kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    info->mode = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return 0;
}

int NativeFileOps::InspectOpen(int fd, FileInfo* info)
{
    *info = {};
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    switch (::GetFileType(handle)) {
    case FILE_TYPE_CHAR: info->kind = FileKind::CharacterDevice; return 0;
    case FILE_TYPE_PIPE: info->kind = FileKind::Fifo; return 0;
    case FILE_TYPE_DISK: break;
    default: info->kind = FileKind::Other; return 0;
    }
    FILE_BASIC_INFO about{};
    if (!::GetFileInformationByHandleEx(handle, FileBasicInfo, &about, sizeof about))
        return LastErrno();
    info->kind = (about.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    info->mode = (about.FileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return 0;
}

// Inspect never reports a link, so nothing asks for one's target.
int NativeFileOps::ReadLink(const std::string&, std::string*) { return EINVAL; }

int NativeFileOps::RealFolder(const std::string& folder, std::string* real)
{
    std::wstring wide;
    if (const int code = WidePath(folder, &wide))
        return code;
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return LastErrno();
    std::wstring full(size, L'\0');
    const DWORD n = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size)
        return LastErrno();
    full.resize(n);
    *real = Utf8FromWide(full);
    return 0;
}

int NativeFileOps::CreateNew(const std::string& path, unsigned, int* fd)
{
    std::wstring wide;
    if (const int code = NameFor(path, &wide))
        return code;
    // Shared for deleting, so that it can be renamed into place while open;
    // not inherited by programs this one starts.
    return DescriptorOfHandle(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
                              _O_WRONLY, fd);
}

// A pipe's name opens only while its server listens, so there is no
// reader to wait for.
int NativeFileOps::OpenExisting(const std::string& path, bool, int* fd)
{
    std::wstring wide;
    if (const int code = NameFor(path, &wide))
        return code;
    return DescriptorOfHandle(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                              _O_WRONLY | _O_APPEND, fd);
}

int NativeFileOps::Duplicate(int fd, int* copy)
{
    *copy = ::_dup(fd);
    return *copy < 0 ? errno : 0;
}

int NativeFileOps::Write(int fd, const char* bytes, std::size_t size, std::size_t* written)
{
    *written = 0;
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    DWORD n = 0;
    if (!::WriteFile(handle, bytes, static_cast<DWORD>(std::min(size, kMostAtOnce)), &n, nullptr))
        return LastErrno();
    *written = n;
    return 0;
}

int NativeFileOps::Sync(int fd)
{
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE)
        return EBADF;
    // Devices have nothing to flush, and flushing a pipe waits for its
    // reader: EINVAL, as fsync says for both on Linux.
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return EINVAL;
    return ::FlushFileBuffers(handle) ? 0 : LastErrno();
}

int NativeFileOps::Close(int fd) { return ::_close(fd) == 0 ? 0 : errno; }

// A new file takes the folder's inherited access rules; there is no owner
// or mode to hand over.
int NativeFileOps::ChangeOwner(int, unsigned, unsigned) { return 0; }
int NativeFileOps::ChangeGroup(int, unsigned) { return 0; }
int NativeFileOps::ChangeMode(int, unsigned) { return 0; }
unsigned NativeFileOps::EffectiveOwner() { return 0; }
std::string NativeFileOps::OwnDescriptorFolder() { return {}; }

// Both names of a rename as wide paths, and what the target names.
static int RenameNames(const std::string& from, const std::string& to, std::wstring* source, std::wstring* target,
                       WindowsName* name)
{
    if (const int code = WidePath(from, source))
        return code;
    return NameFor(to, target, name);
}

int NativeFileOps::Rename(const std::string& from, const std::string& to)
{
    std::wstring source;
    std::wstring target;
    WindowsName name = WindowsName::Ordinary;
    if (const int code = RenameNames(from, to, &source, &target, &name))
        return code;
    // A device cannot be replaced by a file.
    if (name == WindowsName::Device)
        return EINVAL;
    // Write-through: the rename is on the disk when the call returns, which
    // is what syncing the folder does on Linux.
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return RenameFailed(target);
    return 0;
}

int NativeFileOps::RenameNoReplace(const std::string& from, const std::string& to)
{
    std::wstring source;
    std::wstring target;
    WindowsName name = WindowsName::Ordinary;
    if (const int code = RenameNames(from, to, &source, &target, &name))
        return code;
    if (name == WindowsName::Device)
        return EEXIST;
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && IsFolder(target))
            return EEXIST;
        return ErrnoFromWindows(error);
    }
    return 0;
}

int NativeFileOps::Remove(const std::string& path)
{
    std::wstring wide;
    if (const int code = WidePath(path, &wide))
        return code;
    return ::DeleteFileW(wide.c_str()) ? 0 : LastErrno();
}

// The renames are written through already.
int NativeFileOps::SyncFolder(const std::string&) { return 0; }

FileOps& SystemFileOps()
{
    static NativeFileOps ops;
    return ops;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        // "C:name" is in the current folder of drive C.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "." : ".";
    if (slash == 0)
        return path.substr(0, 1);
    // "C:\name" is in the root of drive C.
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

} // namespace karsidan::storage
