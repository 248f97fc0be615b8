#pragma once
// The file-system calls the atomic writer makes, behind one small interface:
// the system's own in NativeFileOps, and in tests a double that fails the
// calls a real disk rarely fails (a sync that reports EIO). Every call
// returns 0 or an errno value; nothing here throws.

#include <cstddef>
#include <string>

namespace karsidan::storage {

enum class FileKind {
    Missing,
    Regular,
    Folder,
    Link,
    CharacterDevice,
    Fifo,
    Other, // block device, socket
};

struct FileInfo {
    FileKind kind = FileKind::Missing;
    unsigned mode = 0; // permission bits, with set-id and sticky bits
    unsigned owner = 0;
    unsigned group = 0;
};

class FileOps {
public:
    virtual ~FileOps() = default;

    // The entry itself, a link not followed. A missing entry is kind
    // Missing and returns 0.
    virtual int Inspect(const std::string& path, FileInfo* info) = 0;
    virtual int InspectOpen(int fd, FileInfo* info) = 0;
    virtual int ReadLink(const std::string& path, std::string* target) = 0;
    // The folder's absolute path with every link resolved.
    virtual int RealFolder(const std::string& folder, std::string* real) = 0;

    // A new file that must not exist yet; mode less the umask.
    virtual int CreateNew(const std::string& path, unsigned mode, int* fd) = 0;
    // An existing file or device written as it stands (appending, never
    // truncating), links followed. A FIFO without a reader waits for one,
    // or fails at once with ENXIO.
    virtual int OpenExisting(const std::string& path, bool waitForReader, int* fd) = 0;
    // A descriptor of this process, shared with whoever else holds it.
    virtual int Duplicate(int fd, int* copy) = 0;
    // Writes some of the bytes; *written says how many.
    virtual int Write(int fd, const char* bytes, std::size_t size, std::size_t* written) = 0;
    virtual int Sync(int fd) = 0;
    virtual int Close(int fd) = 0;
    virtual int ChangeOwner(int fd, unsigned owner, unsigned group) = 0;
    virtual int ChangeGroup(int fd, unsigned group) = 0;
    virtual int ChangeMode(int fd, unsigned mode) = 0;
    virtual unsigned EffectiveOwner() = 0;
    // The folder in which /proc lists this process's descriptors.
    virtual std::string OwnDescriptorFolder() = 0;

    // Replaces an entry at to (never following a link there).
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    // EEXIST when to exists in any form.
    virtual int RenameNoReplace(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    // Makes a rename in the folder durable.
    virtual int SyncFolder(const std::string& folder) = 0;
};

// The system's calls, shared by every writer in the process
// (NativeFileOps).
FileOps& SystemFileOps();

// The folder part of a path as the system reads it ("." for a bare name):
// Windows also splits at backslashes.
std::string FolderOf(const std::string& path);

} // namespace karsidan::storage
