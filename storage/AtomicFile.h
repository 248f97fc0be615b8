#pragma once
// The program's one way to write a file: the bytes go to a temporary file
// beside the target, every write, the flush and the sync are checked, and
// only then is the temporary renamed into place. On any failure the target
// is as it was and the temporary file is gone. Plain C++ over POSIX, so the
// window, the receiver and the command line all share it.

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

    explicit AtomicFile(std::string path, Mode mode = Mode::Replace);
    ~AtomicFile(); // discards whatever was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Each returns false after a failure; Error() then says why. Calls after
    // a failure do nothing and keep the first reason.
    bool Open();
    bool Write(std::string_view bytes);
    bool Commit();
    // Commits under another name in the same folder, for a writer that
    // learns the final name only after the bytes (a received message).
    bool CommitAs(std::string path);
    // For a writer that must try names until one is free: the same as
    // CommitAs with its own mode, except that a failed rename (the name is
    // taken, too long, a folder, ...) returns its errno and keeps the
    // written temporary for the next try. Returns 0 once committed, or the
    // errno of a failed write or sync (the temporary is then gone).
    int TryCommitAs(const std::string& path, Mode mode);
    void Discard();

    const std::string& Path() const { return path_; }
    const std::string& TemporaryPath() const { return temporary_; }
    bool Failed() const { return errorCode_ != 0; }
    const std::string& Error() const { return error_; }

private:
    bool Fail(int code);
    bool Seal();

    std::string path_;
    Mode mode_;
    std::string temporary_;
    int fd_ = -1;
    bool committed_ = false;
    int errorCode_ = 0;
    std::string error_;
};

// A whole buffer in one call. Returns an empty string on success, otherwise
// the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes,
                                AtomicFile::Mode mode = AtomicFile::Mode::Replace);

// An errno value in the program's language ("disk penuh" for ENOSPC).
std::string ReasonFor(int errorCode);
// The same for a file being read, where a missing name is the file itself.
std::string ReadReasonFor(int errorCode);

} // namespace karsidan::storage
