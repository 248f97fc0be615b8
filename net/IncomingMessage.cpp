#include "net/IncomingMessage.h"

#include "net/AtomicFileWriter.h"
#include "net/MessageFormat.h"
#include "net/ReceivedFileName.h"
#include "net/WireText.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>

namespace karsidan::net {

namespace {

constexpr QByteArrayView kSeparator(kMessageSeparator, sizeof(kMessageSeparator) - 1);
constexpr qint64 kCopyBlock = 1 << 20;

} // namespace

IncomingMessage::IncomingMessage(const QString& folder) : folder_(folder) {}

IncomingMessage::~IncomingMessage() = default;

QString IncomingMessage::Append(QByteArrayView bytes)
{
    size_ += bytes.size();
    if (nameLength_ >= 0)
        return Spool(bytes);
    // Still looking for the first separator; it may straddle two pieces.
    const qsizetype from = std::max<qsizetype>(0, head_.size() - (kSeparator.size() - 1));
    head_.append(bytes);
    const qsizetype at = QByteArrayView(head_).indexOf(kSeparator, from);
    if (at < 0)
        return {};
    nameLength_ = at;
    const QByteArray rest = head_.mid(at + kSeparator.size());
    head_.truncate(at + kSeparator.size());
    return Spool(rest);
}

QString IncomingMessage::Spool(QByteArrayView bytes)
{
    if (!tail_) {
        tail_ = std::make_unique<QTemporaryFile>(TemporaryFileTemplate(folder_));
        if (!tail_->open())
            return QStringLiteral("berkas sementara tidak dapat dibuat: %1").arg(tail_->errorString());
    }
    if (bytes.isEmpty())
        return {};
    // A second separator, also one split between two pieces.
    if (!secondSeparator_) {
        QByteArray edge(carry_, carried_);
        edge.append(bytes.first(std::min<qsizetype>(bytes.size(), kSeparator.size() - 1)));
        secondSeparator_ = edge.contains(kSeparator) || bytes.contains(kSeparator);
        const QByteArray last = QByteArray(carry_, carried_)
                                    .append(bytes.last(std::min<qsizetype>(bytes.size(), 2)))
                                    .right(2);
        carried_ = last.size();
        std::copy(last.begin(), last.end(), carry_);
    }
    if (tail_->write(bytes.data(), bytes.size()) != bytes.size())
        return QStringLiteral("gagal menulis: %1").arg(tail_->errorString());
    return {};
}

IncomingMessage::Stored IncomingMessage::Store(const std::function<QString()>& currentName)
{
    const bool hasName = nameLength_ >= 0 && !secondSeparator_;
    const QString requested = hasName ? FromWireBytes(head_.left(nameLength_))
                                      : (currentName ? currentName() : QString());
    const QString name = StoredFileName(requested);

    QString error;
    if (!tail_) {
        // No separator: the whole data is in memory and is the content.
        error = WriteFileAtomically(folder_, name, head_);
    } else if (hasName) {
        error = tail_->flush() ? ReplaceWithTemporary(*tail_, folder_, name) : tail_->errorString();
    } else {
        // Two separators or more: the content is the whole data after all.
        QTemporaryFile whole(TemporaryFileTemplate(folder_));
        bool ok = whole.open() && whole.write(head_) == head_.size() && tail_->flush() && tail_->seek(0);
        QByteArray block;
        while (ok && !tail_->atEnd()) {
            block = tail_->read(kCopyBlock);
            ok = !block.isEmpty() && whole.write(block) == block.size();
        }
        error = ok && whole.flush() ? ReplaceWithTemporary(whole, folder_, name)
                                    : QStringLiteral("gagal menulis: %1").arg(whole.errorString());
    }
    tail_.reset();
    if (!error.isEmpty())
        return {QString(), error};
    return {name, QString()};
}

} // namespace karsidan::net
