#include "storage/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace karsidan::storage {

namespace {

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomSuffix()
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^ (std::uint64_t(::getpid()) << 32)};
    std::string suffix(10, '0');
    for (auto& c : suffix)
        c = kChars[random() % (sizeof(kChars) - 1)];
    return suffix;
}

// Renames without replacing: renameat2 where the file system supports it,
// otherwise a hard link (which fails on an existing name) and an unlink.
int RenameNoReplace(const std::string& from, const std::string& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

// Makes the rename itself durable; a folder that cannot be synced (some
// file systems refuse) leaves the file in place all the same.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::AtomicFile(std::string path, Mode mode) : path_(std::move(path)), mode_(mode) { }

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(int code)
{
    if (errorCode_ == 0) {
        errorCode_ = code ? code : EIO;
        error_ = ReasonFor(errorCode_);
    }
    Discard();
    return false;
}

bool AtomicFile::Open()
{
    if (Failed())
        return false;
    const std::string folder = FolderOf(path_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = folder + "/" + kTemporaryPrefix + RandomSuffix() + ".part";
        // 0666 less the umask, as any new file gets.
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            break;
        if (errno != EEXIST) {
            const int code = errno;
            temporary_.clear();
            return Fail(code);
        }
    }
    if (fd_ < 0) {
        temporary_.clear();
        return Fail(EEXIST);
    }
    // A replaced file keeps its rights.
    struct stat old { };
    if (mode_ == Mode::Replace && ::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd_, old.st_mode & 07777);
    return true;
}

bool AtomicFile::Write(std::string_view bytes)
{
    if (Failed() || fd_ < 0)
        return Failed() ? false : Fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(errno);
        }
        if (n == 0)
            return Fail(EIO);
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool AtomicFile::Seal()
{
    if (Failed() || fd_ < 0)
        return Failed() ? false : Fail(EBADF);
    // Delayed allocation can report a full disk only here.
    if (::fsync(fd_) != 0 && errno != EINVAL)
        return Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return Fail(errno);
    return true;
}

bool AtomicFile::Commit()
{
    if (!Seal())
        return false;
    if (mode_ == Mode::Replace) {
        if (::rename(temporary_.c_str(), path_.c_str()) != 0)
            return Fail(errno);
    } else if (const int code = RenameNoReplace(temporary_, path_); code != 0) {
        return Fail(code);
    }
    committed_ = true;
    SyncFolder(FolderOf(path_));
    return true;
}

bool AtomicFile::CommitAs(std::string path)
{
    path_ = std::move(path);
    return Commit();
}

int AtomicFile::TryCommitAs(const std::string& path, Mode mode)
{
    if (committed_)
        return EBADF;
    // Sealed by an earlier try: only the rename is left.
    if (fd_ >= 0 && !Seal())
        return errorCode_;
    if (Failed() || temporary_.empty())
        return Failed() ? errorCode_ : EBADF;
    int code = 0;
    if (mode == Mode::Replace)
        code = ::rename(temporary_.c_str(), path.c_str()) == 0 ? 0 : errno;
    else
        code = RenameNoReplace(temporary_, path);
    if (code != 0)
        return code;
    path_ = path;
    committed_ = true;
    SyncFolder(FolderOf(path_));
    return 0;
}

void AtomicFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, AtomicFile::Mode mode)
{
    AtomicFile file(path, mode);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return {};
    return file.Error();
}

std::string ReadReasonFor(int errorCode)
{
    switch (errorCode) {
    case ENOENT: return "berkas tidak ada";
    case EISDIR: return "itu folder, bukan berkas";
    default: return ReasonFor(errorCode);
    }
}

std::string ReasonFor(int errorCode)
{
    switch (errorCode) {
    case 0: return {};
    case ENOSPC: return "disk penuh";
    case EDQUOT: return "kuota disk habis";
    case EFBIG: return "berkas melebihi batas ukuran";
    case EACCES:
    case EPERM: return "izin ditolak";
    case EROFS: return "sistem berkas hanya-baca";
    case ENOENT: return "folder tidak ada";
    case ENOTDIR: return "bagian jalur bukan folder";
    case EISDIR: return "ada folder dengan nama itu";
    case ENAMETOOLONG: return "nama terlalu panjang";
    case EEXIST: return "berkas dengan nama itu sudah ada";
    case EIO: return "kesalahan baca/tulis pada perangkat";
    case EMFILE:
    case ENFILE: return "terlalu banyak berkas terbuka";
    case EPIPE: return "pembaca sudah menutup pipa";
    case EBADF: return "deskriptor berkas tertutup";
    case EINVAL: return "nama tidak sah di sistem berkas ini";
    case ELOOP: return "terlalu banyak tautan simbolik";
    default: return "kesalahan sistem nomor " + std::to_string(errorCode);
    }
}

} // namespace karsidan::storage
