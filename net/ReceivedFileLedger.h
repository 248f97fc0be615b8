#pragma once
// Which files in the receiving folder this program stored from the network,
// so that a later message may replace those and nothing else. The list is a
// hidden file in the folder (no peer can name it, see SafeFileName) and
// survives a restart.
//
// Only a list that the receiving user alone can write counts: a regular
// file, owned by this user, writable by nobody else. Anything else under
// that name (another user's file in a shared folder, a link, a FIFO, a list
// too large to read at once) is ignored with one line on standard error,
// and then no file counts as received. The list is written mode 0600.
//
// Each entry holds the file's inode, size and change time (ctime, which no
// user can set) as they were when it was stored: once anyone writes,
// renames onto, links, chmods or chowns the file, it no longer matches and
// is the user's again.
//
// One list per receiver, kept in memory: a store appends a line, and the
// file is read again only when something else changed it. Entries whose
// files are gone are dropped whenever the list is read (at a start) and
// written anew: at the first store after a read that dropped any, and
// once appended lines outnumber twice the entries.

#include <QHash>
#include <QString>

#include <optional>
#include <string>

namespace karsidan::net {

class ReceivedFileLedger {
public:
    static constexpr char kFileName[] = ".karsidan-diterima";
    // A larger list is not ours to read (some 20,000 entries fit).
    static constexpr long long kMaxBytes = 1 << 20;

    struct Identity {
        unsigned long long inode = 0;
        long long size = 0;
        long long changedNs = 0; // ctime
        bool operator==(const Identity&) const = default;
    };

    explicit ReceivedFileLedger(const QString& folder);

    // True when folder/name is a regular file that this program stored and
    // nobody has changed since.
    bool IsOurs(const QString& name);

    // Records folder/name as stored with the given identity. Returns an
    // empty string, or why the list could not be written (the file then
    // counts as the user's, which is the safe side).
    QString Record(const QString& name, const Identity& stored);

    // The identity of a file (not following a symbolic link); false when
    // it is no regular file.
    static bool IdentityOf(const std::string& path, Identity* identity);

private:
    // The list file as last read or written here, to notice other writers.
    struct Seen {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = -1;
        long long modifiedNs = 0;
        bool operator==(const Seen&) const = default;
    };
    enum class State { Missing, Trusted, Ignored };

    void Refresh();
    void Ignore(const Seen& seen, const QString& reason);
    void Load(int fd, const Seen& seen);
    void DropVanished();
    bool Append(const QString& name, const Identity& stored);
    QString Rewrite(const QString& first);
    std::string PathOf(const QString& name) const;

    QString folder_;
    std::string listPath_;
    State state_ = State::Missing;
    Seen seen_;
    std::optional<Seen> reported_; // the ignored list already named on standard error
    QHash<QString, Identity> entries_;
    long long lines_ = 0; // lines in the file; more than entries after replacements
    bool stale_ = false; // the file names files that are gone
};

} // namespace karsidan::net
