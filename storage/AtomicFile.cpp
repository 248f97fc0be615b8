#include "storage/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <random>

namespace karsidan::storage {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

std::string RandomSuffix()
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random = [] {
        std::random_device device;
        return std::mt19937_64{std::uint64_t(device()) << 32 ^ device()};
    }();
    std::string suffix(10, '0');
    for (auto& c : suffix)
        c = kChars[random() % (sizeof(kChars) - 1)];
    return suffix;
}

// /proc/<pid>/fd/<n> and the like name open descriptors (/dev/stdout ends
// there); their links do not name paths that could be replaced.
bool NamesADescriptor(const std::string& realFolder)
{
    return realFolder == "/proc" || realFolder.starts_with("/proc/");
}

std::string BaseOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ParseDescriptor(const std::string& name, int* fd)
{
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *fd = std::stoi(name);
    return true;
}

} // namespace

AtomicFile::AtomicFile(std::string path, Mode mode, Names names, FileOps& ops)
    : ops_(ops), path_(std::move(path)), mode_(mode), names_(names), target_(path_)
{ }

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

// Follows links from path_ to what they finally name: a regular or missing
// file to replace or create (target), or something written as it stands.
int AtomicFile::Resolve(std::string* target, bool* inPlace)
{
    std::string current = path_;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        FileInfo info;
        if (const int code = ops_.Inspect(current, &info); code != 0)
            return code;
        switch (info.kind) {
        case FileKind::Missing:
        case FileKind::Regular: *target = current; return 0;
        case FileKind::CharacterDevice:
        case FileKind::Fifo:
            *target = current;
            *inPlace = true;
            return 0;
        case FileKind::Folder: return EISDIR;
        case FileKind::Other: return ENODEV;
        case FileKind::Link: break;
        }
        std::string folder;
        if (const int code = ops_.RealFolder(FolderOf(current), &folder); code != 0)
            return code;
        if (NamesADescriptor(folder)) {
            *target = current;
            *inPlace = true;
            return 0;
        }
        std::string next;
        if (const int code = ops_.ReadLink(current, &next); code != 0)
            return code;
        if (next.empty())
            return ENOENT;
        current = next.front() == '/' ? next : (folder == "/" ? "" : folder) + "/" + next;
    }
    return ELOOP;
}

bool AtomicFile::OpenInPlace(const std::string& target)
{
    std::string folder;
    const bool descriptor = ops_.RealFolder(FolderOf(target), &folder) == 0 && NamesADescriptor(folder);
    int own = -1;
    // One of this process's own (/dev/stdout): that very descriptor, which
    // may be written even where reopening what it names is not allowed.
    const int code = descriptor && folder == ops_.OwnDescriptorFolder() && ParseDescriptor(BaseOf(target), &own)
        ? ops_.Duplicate(own, &fd_)
        : ops_.OpenExisting(target, waitForReader_, &fd_);
    if (code != 0) {
        fd_ = -1;
        return Fail(code);
    }
    inPlace_ = true;
    FileInfo info;
    if (const int failed = ops_.InspectOpen(fd_, &info); failed != 0)
        return Fail(failed);
    // Swapped for a plain file since it was looked at: appending to that
    // would be wrong, replacing it unasked too.
    if (!descriptor && info.kind != FileKind::CharacterDevice && info.kind != FileKind::Fifo)
        return Fail(EAGAIN);
    return true;
}

bool AtomicFile::Open()
{
    if (Failed())
        return false;
    if (fd_ >= 0 || committed_)
        return Fail(EBADF);
    bool inPlace = false;
    target_ = path_;
    if (names_ == Names::Followed && mode_ == Mode::Replace) {
        if (const int code = Resolve(&target_, &inPlace); code != 0)
            return Fail(code);
    }
    if (inPlace)
        return OpenInPlace(target_);

    FileInfo old;
    const bool replacing = mode_ == Mode::Replace && ops_.Inspect(target_, &old) == 0 && old.kind == FileKind::Regular;
    // Private until it takes the old file's rights; otherwise 0666 less the
    // umask, as any new file gets.
    const unsigned mode = replacing || fixedMode_ ? 0600 : 0666;
    const std::string folder = FolderOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = folder + "/" + kTemporaryPrefix + RandomSuffix() + ".part";
        const int code = ops_.CreateNew(temporary_, mode, &fd_);
        if (code == 0)
            return true;
        fd_ = -1;
        if (code != EEXIST) {
            temporary_.clear();
            return Fail(code);
        }
    }
    temporary_.clear();
    return Fail(EEXIST);
}

bool AtomicFile::Write(std::string_view bytes)
{
    if (Failed() || fd_ < 0)
        return Failed() ? false : Fail(EBADF);
    while (!bytes.empty()) {
        std::size_t n = 0;
        if (const int code = ops_.Write(fd_, bytes.data(), bytes.size(), &n); code != 0) {
            if (code == EINTR)
                continue;
            return Fail(code);
        }
        if (n == 0)
            return Fail(EIO);
        bytes.remove_prefix(std::min(n, bytes.size()));
    }
    return true;
}

// The file being replaced lends its rights to the temporary: for a file
// the user named, owner and group where allowed (only root may give a file
// away), then the mode, which a change of owner would clear the set-id bits
// of. An entry lends only its mode, and only when it is the writer's own: in
// a folder others may write, their file must not pass its owner or its
// rights to the writer's.
void AtomicFile::KeepRightsOf(const std::string& replaced)
{
    FileInfo old;
    FileInfo fresh;
    if (ops_.Inspect(replaced, &old) != 0 || old.kind != FileKind::Regular || ops_.InspectOpen(fd_, &fresh) != 0)
        return;
    if (names_ == Names::Entry) {
        if (old.owner == ops_.EffectiveOwner())
            ops_.ChangeMode(fd_, old.mode);
        return;
    }
    if ((old.owner != fresh.owner || old.group != fresh.group) && ops_.ChangeOwner(fd_, old.owner, old.group) != 0
        && old.group != fresh.group)
        ops_.ChangeGroup(fd_, old.group);
    ops_.ChangeMode(fd_, old.mode);
}

// Syncs once, then renames the temporary onto path. A failed sync fails the
// whole file; a failed rename returns its errno and keeps the temporary.
int AtomicFile::Place(const std::string& path, Mode mode)
{
    if (committed_ || inPlace_)
        return EBADF;
    if (Failed() || fd_ < 0 || temporary_.empty())
        return Failed() ? errorCode_ : EBADF;
    if (!synced_) {
        // Delayed allocation can report a full disk only here.
        if (const int code = ops_.Sync(fd_); code != 0 && code != EINVAL) {
            Fail(code);
            return errorCode_;
        }
        synced_ = true;
    }
    if (fixedMode_)
        ops_.ChangeMode(fd_, *fixedMode_);
    else if (mode == Mode::Replace)
        KeepRightsOf(path);
    const int code = mode == Mode::Replace ? ops_.Rename(temporary_, path) : ops_.RenameNoReplace(temporary_, path);
    if (code != 0)
        return code;
    committed_ = true;
    // The sync has already reported what a close could.
    ops_.Close(fd_);
    fd_ = -1;
    // A folder that cannot be synced (some file systems refuse) leaves the
    // file in place all the same.
    ops_.SyncFolder(FolderOf(path));
    return 0;
}

bool AtomicFile::Commit()
{
    if (Failed())
        return false;
    if (inPlace_) {
        if (fd_ < 0)
            return Fail(EBADF);
        // Devices and pipes have nothing to sync and say so with EINVAL.
        if (const int code = ops_.Sync(fd_); code != 0 && code != EINVAL && code != ENOTSUP)
            return Fail(code);
        const int fd = fd_;
        fd_ = -1;
        if (const int code = ops_.Close(fd); code != 0 && code != EINTR)
            return Fail(code);
        committed_ = true;
        return true;
    }
    if (const int code = Place(target_, mode_); code != 0)
        return Fail(code);
    return true;
}

bool AtomicFile::CommitAs(std::string path)
{
    if (inPlace_)
        return Fail(EBADF);
    path_ = std::move(path);
    target_ = path_;
    return Commit();
}

int AtomicFile::TryCommitAs(const std::string& path, Mode mode)
{
    const int code = Place(path, mode);
    if (code == 0) {
        path_ = path;
        target_ = path;
    }
    return code;
}

void AtomicFile::Discard()
{
    if (fd_ >= 0) {
        ops_.Close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !inPlace_ && !temporary_.empty()) {
        ops_.Remove(temporary_);
        temporary_.clear();
    }
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, AtomicFile::Mode mode,
                                AtomicFile::Names names)
{
    AtomicFile file(path, mode, names);
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
#ifdef EDQUOT // not on Windows
    case EDQUOT: return "kuota disk habis";
#endif
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
    case ENODEV: return "bukan berkas, perangkat karakter atau FIFO";
    case ENXIO: return "perangkat atau pembacanya tidak ada";
    case EAGAIN: return "berkas berubah saat dibuka";
    default: return "kesalahan sistem nomor " + std::to_string(errorCode);
    }
}

} // namespace karsidan::storage
