#include "net/ReceivedFileLedger.h"

#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QtDebug>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace karsidan::net {

namespace {

// Lines appended beyond twice the entries before the list is written anew.
constexpr long long kSlackLines = 64;

long long Nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

QString Reason(int code) { return QString::fromStdString(storage::ReasonFor(code)); }

// Why a list with this status is not one only this user could have
// written, or an empty string.
QString Distrust(const struct stat& info)
{
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("bukan berkas biasa");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("milik pengguna lain");
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("dapat ditulis pengguna lain");
    if (info.st_size > ReceivedFileLedger::kMaxBytes)
        return QStringLiteral("lebih dari %1 byte").arg(ReceivedFileLedger::kMaxBytes);
    return {};
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray Line(const QString& name, const ReceivedFileLedger::Identity& identity)
{
    return QByteArray::number(identity.inode) + ' ' + QByteArray::number(identity.size) + ' '
        + QByteArray::number(identity.changedNs) + ' ' + name.toUtf8() + '\n';
}

} // namespace

ReceivedFileLedger::ReceivedFileLedger(const QString& folder)
    : folder_(folder), listPath_(PathOf(QString::fromLatin1(kFileName)))
{ }

std::string ReceivedFileLedger::PathOf(const QString& name) const
{
    return QFile::encodeName(QDir(folder_).filePath(name)).toStdString();
}

bool ReceivedFileLedger::IdentityOf(const std::string& path, Identity* identity)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    identity->inode = info.st_ino;
    identity->size = info.st_size;
    identity->changedNs = Nanoseconds(info.st_ctim);
    return true;
}

// Brings the entries in line with the list on disk: nothing to do while
// only this object wrote it, read again when anything else did.
void ReceivedFileLedger::Refresh()
{
    // Non-blocking, so a FIFO under this name cannot hold the receiver.
    const int fd = ::open(listPath_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT) {
            state_ = State::Missing;
            entries_.clear();
            lines_ = 0;
            seen_ = {};
            reported_ = {};
            return;
        }
        Ignore({}, code == ELOOP ? QStringLiteral("tautan simbolik") : Reason(code));
        return;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        Ignore({}, Reason(code));
        return;
    }
    const Seen seen{info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim)};
    if (const QString distrust = Distrust(info); !distrust.isEmpty()) {
        ::close(fd);
        Ignore(seen, distrust);
        return;
    }
    if (state_ != State::Trusted || !(seen == seen_))
        Load(fd, seen);
    ::close(fd);
}

void ReceivedFileLedger::Ignore(const Seen& seen, const QString& reason)
{
    state_ = State::Ignored;
    entries_.clear();
    lines_ = 0;
    seen_ = seen;
    // Once for each list found, not for every look at it.
    if (reported_ && *reported_ == seen)
        return;
    reported_ = seen;
    qWarning().noquote() << QStringLiteral("karsidan: %1 diabaikan (%2); tidak ada berkas diterima yang boleh diganti")
                                .arg(QFile::decodeName(listPath_.c_str()), reason);
}

// One line per file: inode, size, ctime, then the name in UTF-8 (a stored
// name never holds a line break). A later line for a name wins.
void ReceivedFileLedger::Load(int fd, const Seen& seen)
{
    QByteArray text(kMaxBytes + 1, Qt::Uninitialized);
    qsizetype length = 0;
    while (length < text.size()) {
        const ssize_t n = ::read(fd, text.data() + length, std::size_t(text.size() - length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            Ignore(seen, Reason(errno));
            return;
        }
        if (n == 0)
            break;
        length += n;
    }
    if (length > kMaxBytes) {
        Ignore(seen, QStringLiteral("lebih dari %1 byte").arg(kMaxBytes));
        return;
    }
    text.truncate(length);
    entries_.clear();
    lines_ = 0;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        const qsizetype third = second < 0 ? -1 : line.indexOf(' ', second + 1);
        if (third < 0)
            continue; // a damaged line protects its file, never exposes it
        bool ok[3] = {};
        Identity identity;
        identity.inode = line.left(first).toULongLong(&ok[0]);
        identity.size = line.mid(first + 1, second - first - 1).toLongLong(&ok[1]);
        identity.changedNs = line.mid(second + 1, third - second - 1).toLongLong(&ok[2]);
        const QString name = QString::fromUtf8(line.mid(third + 1));
        if (ok[0] && ok[1] && ok[2] && !name.isEmpty()) {
            entries_.insert(name, identity);
            ++lines_;
        }
    }
    state_ = State::Trusted;
    seen_ = seen;
    reported_ = {};
    DropVanished();
    stale_ = entries_.size() < lines_;
}

// Forgets entries whose names are gone from the folder or name another
// inode now: one pass over the folder, no look at each file.
void ReceivedFileLedger::DropVanished()
{
    if (entries_.isEmpty())
        return;
    DIR* dir = ::opendir(QFile::encodeName(folder_).constData());
    if (!dir)
        return; // the entries still need a matching file to count
    QHash<QString, unsigned long long> present;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (entries_.contains(name))
            present.insert(name, entry->d_ino);
    }
    ::closedir(dir);
    for (auto it = entries_.begin(); it != entries_.end();) {
        const auto found = present.constFind(it.key());
        if (found == present.cend() || found.value() != it.value().inode)
            it = entries_.erase(it);
        else
            ++it;
    }
}

bool ReceivedFileLedger::IsOurs(const QString& name)
{
    Refresh();
    const auto found = entries_.find(name);
    if (found == entries_.end())
        return false;
    Identity now;
    if (IdentityOf(PathOf(name), &now) && now == found.value())
        return true;
    // Gone or the user's now; its line goes when the list is compacted.
    entries_.erase(found);
    return false;
}

QString ReceivedFileLedger::Record(const QString& name, const Identity& stored)
{
    Refresh();
    const bool trusted = state_ == State::Trusted;
    entries_.insert(name, stored);
    // Appending must not take the list past what a start will read.
    const bool fits = seen_.size + Line(name, stored).size() <= kMaxBytes;
    if (trusted && !stale_ && fits && lines_ < 2 * entries_.size() + kSlackLines && Append(name, stored))
        return {};
    return Rewrite(name);
}

// One line added at the end, when the list is still the one last seen.
bool ReceivedFileLedger::Append(const QString& name, const Identity& stored)
{
    const int fd = ::open(listPath_.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info { };
    bool ok = ::fstat(fd, &info) == 0 && Distrust(info).isEmpty()
        && Seen{info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim)} == seen_;
    ok = ok && WriteAll(fd, Line(name, stored)) && ::fstat(fd, &info) == 0;
    ::close(fd);
    if (!ok) {
        seen_ = {}; // read it again before trusting it
        return false;
    }
    seen_ = {info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim)};
    ++lines_;
    return true;
}

// The whole list anew, mode 0600, renamed over whatever had the name (a
// link or a FIFO there is replaced, never followed or opened). first: the
// entry that must be in it; others are left out when the list would grow
// past kMaxBytes.
QString ReceivedFileLedger::Rewrite(const QString& first)
{
    DropVanished();
    QByteArray text;
    if (const auto found = entries_.constFind(first); found != entries_.cend())
        text = Line(first, found.value());
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it.key() == first) {
            ++it;
            continue;
        }
        const QByteArray line = Line(it.key(), it.value());
        if (text.size() + line.size() > kMaxBytes) {
            it = entries_.erase(it); // counts as the user's from now on
            continue;
        }
        text += line;
        ++it;
    }
    storage::AtomicFile file(listPath_, storage::AtomicFile::Mode::Replace, storage::AtomicFile::Names::Entry);
    file.SetMode(0600);
    struct stat info { };
    if (!file.Open() || !file.Write(std::string_view(text.constData(), std::size_t(text.size()))) || !file.Commit()) {
        seen_ = {}; // read it again before trusting it
        return QString::fromStdString(file.Error());
    }
    if (::lstat(listPath_.c_str(), &info) != 0) {
        seen_ = {};
        return {};
    }
    state_ = State::Trusted;
    seen_ = {info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim)};
    reported_ = {};
    lines_ = entries_.size();
    stale_ = false;
    return {};
}

} // namespace karsidan::net
