#pragma once
// The program's one way to write a file: the bytes go to a temporary file
// beside the target, every write, the flush and the sync are checked, and
// only then is the temporary renamed into place. On any failure the target
// is as it was and the temporary file is gone. Plain C++, no Qt, so the
// window, the receiver and the command line all share it; the system calls
// themselves live behind FileOps.
//
// What a name is taken to mean, Names:
// - Entry (the default): the name's own entry in its folder. A link or a
//   device there is replaced by the new file, never followed or written
//   through; a writer that owns the folder (the receiver) uses this.
// - Followed: the name as a user means it (-o, the window's Save). A
//   symbolic link is followed and the file it names is replaced, the link
//   stays; a character device or a FIFO (/dev/null, a named pipe) is opened
//   and written as it stands, never replaced, and a FIFO blocks until it has
//   a reader, as a shell's redirection does. /dev/stdout and the other names
//   of this process's descriptors write to the descriptor itself.
// A new file gets the mode the umask gives. A replaced regular file keeps,
// when Followed, its mode, its group and, where the writer may set it
// (root), its owner; when an Entry, only its mode, and only when it is the
// writer's own. SetMode overrides both.

#include "storage/FileOps.h"

#include <optional>
#include <string>
#include <string_view>

namespace karsidan::storage {

// Prefix of every temporary file, so a folder scan can tell them apart.
inline constexpr char kTemporaryPrefix[] = ".karsidan-";

class AtomicFile {
public:
    enum class Mode {
        Replace, // an existing file of that name is replaced
        NoReplace, // an existing file of that name is an error (EEXIST)
    };
    enum class Names { Entry, Followed };

    explicit AtomicFile(std::string path, Mode mode = Mode::Replace, Names names = Names::Entry,
                        FileOps& ops = SystemFileOps());
    ~AtomicFile(); // discards whatever was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Each returns false after a failure; Error() then says why. Calls after
    // a failure do nothing and keep the first reason.
    bool Open();
    bool Write(std::string_view bytes);
    bool Commit();
    // Commits under another name in the same folder, for a writer that
    // learns the final name only after the bytes (a received message). The
    // name is always taken as an entry (Names::Entry).
    bool CommitAs(std::string path);
    // For a writer that must try names until one is free: the same as
    // CommitAs with its own mode, except that a failed rename (the name is
    // taken, too long, a folder, ...) returns its errno and keeps the
    // written temporary for the next try. Returns 0 once committed, or the
    // errno of a failed write or sync (the temporary is then gone).
    int TryCommitAs(const std::string& path, Mode mode);
    void Discard();
    // Before Open: a FIFO with no reader fails at once ("perangkat atau
    // pembacanya tidak ada") instead of waiting for one, for a caller that
    // must not freeze (the window).
    void WaitForReader(bool wait) { waitForReader_ = wait; }
    // Before Open: the file gets exactly this mode (0600 for a file only its
    // writer may read or change), whatever the umask or a replaced file had.
    void SetMode(unsigned mode) { fixedMode_ = mode; }

    const std::string& Path() const { return path_; }
    const std::string& TemporaryPath() const { return temporary_; }
    // True when Open found a device or FIFO to write as it stands: nothing
    // is held back, and a failure may leave part of the bytes written.
    bool WritesInPlace() const { return inPlace_; }
    bool Failed() const { return errorCode_ != 0; }
    const std::string& Error() const { return error_; }

private:
    bool Fail(int code);
    int Resolve(std::string* target, bool* inPlace);
    bool OpenInPlace(const std::string& target);
    void KeepRightsOf(const std::string& replaced);
    int Place(const std::string& path, Mode mode);

    FileOps& ops_;
    std::string path_;
    Mode mode_;
    Names names_;
    std::string target_; // what Commit renames onto: path_, or the file a link names
    std::string temporary_;
    int fd_ = -1;
    bool inPlace_ = false;
    bool waitForReader_ = true;
    std::optional<unsigned> fixedMode_;
    bool synced_ = false;
    bool committed_ = false;
    int errorCode_ = 0;
    std::string error_;
};

// A whole buffer in one call. Returns an empty string on success, otherwise
// the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes,
                                AtomicFile::Mode mode = AtomicFile::Mode::Replace,
                                AtomicFile::Names names = AtomicFile::Names::Entry);

// An errno value in the program's language ("disk penuh" for ENOSPC).
std::string ReasonFor(int errorCode);
// The same for a file being read, where a missing name is the file itself.
std::string ReadReasonFor(int errorCode);

} // namespace karsidan::storage
