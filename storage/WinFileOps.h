#pragma once
// The file operations as Win32 calls, for the Windows build: UTF-8 names
// through the wide calls, errors as the errno values Linux gives for the
// same fault. Windows has no owners, modes or links in the POSIX sense:
// Inspect reports what a link names, a device name (NUL, CON) is a
// character device, and a name Windows cannot hold (a trailing dot,
// "nul.txt") is EINVAL before any call sees it.

#include "storage/FileOps.h"

namespace karsidan::storage {

class WinFileOps : public FileOps {
public:
    int Inspect(const std::string& path, FileInfo* info) override;
    int InspectOpen(int fd, FileInfo* info) override;
    int ReadLink(const std::string& path, std::string* target) override;
    int RealFolder(const std::string& folder, std::string* real) override;
    int CreateNew(const std::string& path, unsigned mode, int* fd) override;
    int OpenExisting(const std::string& path, bool waitForReader, int* fd) override;
    int Duplicate(int fd, int* copy) override;
    int Write(int fd, const char* bytes, std::size_t size, std::size_t* written) override;
    int Sync(int fd) override;
    int Close(int fd) override;
    int ChangeOwner(int fd, unsigned owner, unsigned group) override;
    int ChangeGroup(int fd, unsigned group) override;
    int ChangeMode(int fd, unsigned mode) override;
    unsigned EffectiveOwner() override;
    std::string OwnDescriptorFolder() override;
    int Rename(const std::string& from, const std::string& to) override;
    int RenameNoReplace(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SyncFolder(const std::string& folder) override;
};

} // namespace karsidan::storage
