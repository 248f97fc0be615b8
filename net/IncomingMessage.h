#pragma once
// One message as it arrives on a connection, split by the message rules
// without holding the body in memory: the bytes up to the first separator
// stay in memory (they hold the name), everything after it goes straight
// to a temporary file in the target folder, which Store then renames into
// place. A large cipher text is thus never copied through memory twice.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QTemporaryFile;

namespace karsidan::net {

class IncomingMessage {
public:
    explicit IncomingMessage(const QString& folder);
    ~IncomingMessage();
    IncomingMessage(const IncomingMessage&) = delete;
    IncomingMessage& operator=(const IncomingMessage&) = delete;

    // Returns an empty string, or why the bytes could not be kept.
    QString Append(QByteArrayView bytes);

    qint64 Size() const { return size_; }
    // Bytes held in memory (the part before the first separator).
    qint64 HeldInMemory() const { return head_.size(); }

    struct Stored {
        QString name;   // file name actually written, empty on failure
        QString error;  // why nothing was written
    };
    // Writes the content under the stored file name: the received name, or
    // currentName() when the message carries none, made safe.
    Stored Store(const std::function<QString()>& currentName);

private:
    QString Spool(QByteArrayView bytes);

    QString folder_;
    QByteArray head_;                      // up to and including the first separator
    qsizetype nameLength_ = -1;            // set once the first separator is seen
    std::unique_ptr<QTemporaryFile> tail_; // bytes after the first separator
    char carry_[2] = {};                   // last bytes of the tail, for a split separator
    qsizetype carried_ = 0;
    bool secondSeparator_ = false;
    qint64 size_ = 0;
};

} // namespace karsidan::net
