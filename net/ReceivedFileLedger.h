#pragma once
// Which files in the receiving folder this program stored from the network,
// so that a later message may replace those and nothing else. The list is a
// hidden file in the folder (no peer can name it, see SafeFileName) and
// survives a restart. Each entry holds the file's inode, size and change
// time as they were when it was stored: once anyone else writes the file
// (Simpan renames a new file into place, an editor changes it), it no
// longer matches and is the user's again.

#include <QString>

#include <string>
#include <vector>

namespace karsidan::net {

class ReceivedFileLedger {
public:
    static constexpr char kFileName[] = ".karsidan-diterima";

    struct Identity {
        unsigned long long inode = 0;
        long long size = 0;
        long long changedNs = 0; // last change of contents (mtime)
        bool operator==(const Identity&) const = default;
    };

    explicit ReceivedFileLedger(const QString& folder);

    // True when folder/name is a regular file that this program stored and
    // nobody has changed since.
    bool IsOurs(const QString& name) const;

    // Records folder/name as stored with the given identity, and forgets
    // entries whose files are gone or changed. Returns an empty string, or
    // why the list could not be written (the file then counts as the
    // user's, which is the safe side).
    QString Record(const QString& name, const Identity& stored) const;

    // The identity of a file (not following a symbolic link); false when
    // it is no regular file.
    static bool IdentityOf(const std::string& path, Identity* identity);

private:
    struct Entry {
        Identity identity;
        QString name;
    };
    std::vector<Entry> Read() const;
    bool Matches(const Entry& entry) const;
    std::string PathOf(const QString& name) const;

    QString folder_;
};

} // namespace karsidan::net
