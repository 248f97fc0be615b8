#pragma once
// One message as it arrives on a connection, split by the message rules
// without holding the body in memory: the bytes up to the first separator
// stay in memory (they hold the name), everything after it goes straight
// to a temporary file in the target folder, which Store then gives its
// name. A large cipher text is thus never copied through memory twice.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

namespace karsidan::storage {
class AtomicFile;
} // namespace karsidan::storage

namespace karsidan::net {

class IncomingMessage {
public:
    explicit IncomingMessage(const QString& folder);
    ~IncomingMessage(); // an unstored message leaves nothing behind
    IncomingMessage(const IncomingMessage&) = delete;
    IncomingMessage& operator=(const IncomingMessage&) = delete;

    // Returns an empty string, or why the bytes could not be kept.
    QString Append(QByteArrayView bytes);

    qint64 Size() const { return size_; }
    // Bytes held in memory (the part before the first separator).
    qint64 HeldInMemory() const { return head_.size(); }
    // Bytes that Store will still write to the disk (the rest is there).
    qint64 BytesLeftToWrite() const;

    struct Stored {
        QString name; // file name actually written, empty on failure
        QString error; // why nothing was written
    };
    // Stores the content under the received name, or currentName() when the
    // message carries none, made safe; see PlaceReceivedFile for names that
    // are taken or refused.
    Stored Store(const std::function<QString()>& currentName);

private:
    bool HasName() const { return nameLength_ >= 0 && !secondSeparator_; }
    QString Spool(QByteArrayView bytes);
    std::unique_ptr<storage::AtomicFile> NewSpool(QString* error) const;
    std::unique_ptr<storage::AtomicFile> WholeData(QString* error) const;

    QString folder_;
    QByteArray head_; // up to and including the first separator
    qsizetype nameLength_ = -1; // set once the first separator is seen
    std::unique_ptr<storage::AtomicFile> tail_; // bytes after the first separator
    char carry_[2] = {}; // last bytes of the tail, for a split separator
    qsizetype carried_ = 0;
    bool secondSeparator_ = false;
    qint64 size_ = 0;
};

} // namespace karsidan::net
