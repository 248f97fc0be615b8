#pragma once
// One message as it arrives on a connection, split by the message rules
// without holding it in memory: the bytes up to the first separator stay
// in memory while they are few and go to a temporary file of their own
// beyond that; everything after the separator goes straight to a temporary
// file in the target folder, which Store then gives its name. Of the name
// only its last part is kept, and of that no more than a file name can
// hold, so a name of many megabytes costs no memory either.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

namespace karsidan::storage {
class AtomicFile;
} // namespace karsidan::storage

namespace karsidan::net {

class ReceivedFileLedger;

class IncomingMessage {
public:
    // Bytes before the first separator held in memory at most.
    static constexpr qsizetype kMaxHeldBytes = 64 * 1024;

    // ledger: the folder's list of received files, which outlives this.
    IncomingMessage(const QString& folder, ReceivedFileLedger& ledger);
    ~IncomingMessage(); // an unstored message leaves nothing behind
    IncomingMessage(const IncomingMessage&) = delete;
    IncomingMessage& operator=(const IncomingMessage&) = delete;

    // Returns an empty string, or why the bytes could not be kept.
    QString Append(QByteArrayView bytes);

    qint64 Size() const { return size_; }
    // Bytes held in memory (the part before the first separator, while
    // short).
    qint64 HeldInMemory() const { return head_.size(); }
    // Bytes that Store will still write to the disk (the rest is there).
    qint64 BytesLeftToWrite() const;

    struct Stored {
        QString name; // file name actually written, empty on failure
        QString error; // why nothing was written
    };
    // Stores the content under the received name, or currentName() when the
    // message carries none, made safe; see PlaceReceivedFile for names that
    // are taken or refused. An empty error means the file is on the disk
    // (synced, then renamed into place).
    Stored Store(const std::function<QString()>& currentName);

private:
    bool HasName() const { return nameFound_ && !secondSeparator_; }
    void FollowName(QByteArrayView bytes);
    QString AppendHead(QByteArrayView bytes);
    QString Spool(QByteArrayView bytes);
    std::unique_ptr<storage::AtomicFile> NewSpool(QString* error) const;
    std::unique_ptr<storage::AtomicFile> HeadOnDisk(QString* error);
    std::unique_ptr<storage::AtomicFile> WholeData(QString* error);

    QString folder_;
    ReceivedFileLedger& ledger_;
    // Up to and including the first separator: in head_ while short, then
    // all of it in headFile_.
    QByteArray head_;
    std::unique_ptr<storage::AtomicFile> headFile_;
    qint64 headSize_ = 0;
    char headCarry_[2] = {}; // last bytes of the head, for a split separator
    qsizetype headCarried_ = 0;
    QByteArray namePart_; // after the name's last "\" or "/", cut beyond a file name's length
    bool nameFound_ = false; // the first separator was seen
    std::unique_ptr<storage::AtomicFile> tail_; // bytes after the first separator
    char carry_[2] = {}; // last bytes of the tail, for a split separator
    qsizetype carried_ = 0;
    bool secondSeparator_ = false;
    qint64 size_ = 0;
};

} // namespace karsidan::net
