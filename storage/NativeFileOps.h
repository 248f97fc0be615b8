#pragma once
// The file operations as this system's own calls: PosixFileOps.cpp on
// Linux, WinFileOps.cpp on Windows, the only places in storage/ that make
// them. Test doubles that fail some calls derive from it and make the rest
// for real on either system.

#include "storage/FileOps.h"

namespace karsidan::storage {

class NativeFileOps : public FileOps {
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
