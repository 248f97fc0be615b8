#include "net/IncomingMessage.h"

#include "net/MessageFormat.h"
#include "net/ReceivedFileName.h"
#include "net/ReceivedFilePlacement.h"
#include "net/WireText.h"
#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace karsidan::net {

namespace {

constexpr QByteArrayView kSeparator(kMessageSeparator, sizeof(kMessageSeparator) - 1);
constexpr qint64 kCopyBlock = 1 << 20;

std::string_view View(QByteArrayView bytes) { return {bytes.data(), std::size_t(bytes.size())}; }

QString WriteError(const storage::AtomicFile& file)
{
    return QStringLiteral("gagal menulis: %1").arg(QString::fromStdString(file.Error()));
}

} // namespace

IncomingMessage::IncomingMessage(const QString& folder) : folder_(folder) { }

IncomingMessage::~IncomingMessage() = default;

std::unique_ptr<storage::AtomicFile> IncomingMessage::NewSpool(QString* error) const
{
    // The final name is chosen at the end; this one only places the
    // temporary file in the folder.
    auto file = std::make_unique<storage::AtomicFile>(
        QFile::encodeName(QDir(folder_).filePath(QString::fromLatin1(kFallbackFileName))).toStdString(),
        storage::AtomicFile::Mode::NoReplace);
    if (!file->Open()) {
        *error = QStringLiteral("berkas sementara tidak dapat dibuat: %1").arg(QString::fromStdString(file->Error()));
        return nullptr;
    }
    return file;
}

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
        QString error;
        tail_ = NewSpool(&error);
        if (!tail_)
            return error;
    }
    if (bytes.isEmpty())
        return {};
    // A second separator, also one split between two pieces.
    if (!secondSeparator_) {
        QByteArray edge(carry_, carried_);
        edge.append(bytes.first(std::min<qsizetype>(bytes.size(), kSeparator.size() - 1)));
        secondSeparator_ = edge.contains(kSeparator) || bytes.contains(kSeparator);
        const QByteArray last
            = QByteArray(carry_, carried_).append(bytes.last(std::min<qsizetype>(bytes.size(), 2))).right(2);
        carried_ = last.size();
        std::copy(last.begin(), last.end(), carry_);
    }
    if (!tail_->Write(View(bytes)))
        return WriteError(*tail_);
    return {};
}

qint64 IncomingMessage::BytesLeftToWrite() const
{
    if (!tail_)
        return head_.size();
    return HasName() ? 0 : size_;
}

// Two separators or more: the content is the whole data after all, the
// name part in memory followed by the spooled rest.
std::unique_ptr<storage::AtomicFile> IncomingMessage::WholeData(QString* error) const
{
    auto whole = NewSpool(error);
    if (!whole)
        return nullptr;
    QFile spooled(QString::fromStdString(tail_->TemporaryPath()));
    bool ok = whole->Write(View(head_)) && spooled.open(QIODevice::ReadOnly);
    while (ok && !spooled.atEnd()) {
        const QByteArray block = spooled.read(kCopyBlock);
        ok = !block.isEmpty() && whole->Write(View(block));
    }
    if (!ok) {
        *error = whole->Failed() ? WriteError(*whole)
                                 : QStringLiteral("berkas sementara tidak terbaca: %1").arg(spooled.errorString());
        return nullptr;
    }
    return whole;
}

IncomingMessage::Stored IncomingMessage::Store(const std::function<QString()>& currentName)
{
    const bool hasName = HasName();
    const QString requested = hasName ? FromWireBytes(head_.left(nameLength_))
                                      : (currentName ? currentName() : QString());
    QString error;
    std::unique_ptr<storage::AtomicFile> content;
    if (!tail_) {
        // No separator: the whole data is in memory and is the content.
        content = NewSpool(&error);
        if (content && !content->Write(View(head_)))
            error = WriteError(*content);
    } else if (hasName) {
        content = std::move(tail_);
    } else {
        content = WholeData(&error);
    }
    tail_.reset();
    if (!content || !error.isEmpty())
        return {QString(), error};
    const PlacedFile placed = PlaceReceivedFile(*content, folder_, StoredFileName(requested));
    return {placed.name, placed.error};
}

} // namespace karsidan::net
