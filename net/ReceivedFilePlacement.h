#pragma once
// Gives a received message, already written to a temporary file, its final
// name in the receiving folder. It replaces only a file that this program
// itself stored from the network (see ReceivedFileLedger); a name taken by
// anything else gets a free variant ("laporan (2).txt"), and a name the file
// system refuses (too long, a folder, not valid there) becomes "pesan.txt"
// or its free variant, so a message is never lost for its name.

#include <QString>

namespace karsidan::storage {
class AtomicFile;
} // namespace karsidan::storage

namespace karsidan::net {

class ReceivedFileLedger;

struct PlacedFile {
    QString name; // the name stored under, empty on failure
    QString error; // why nothing was stored (Indonesian)
};

// wanted: a name that SafeFileName accepts, or the fallback name. ledger:
// the folder's list of received files, which learns the stored file.
PlacedFile PlaceReceivedFile(storage::AtomicFile& file, const QString& folder, const QString& wanted,
                             ReceivedFileLedger& ledger);

} // namespace karsidan::net
