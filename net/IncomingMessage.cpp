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
// Bytes at the end of a piece that may begin a separator.
constexpr qsizetype kEdge = kSeparator.size() - 1;
constexpr qint64 kCopyBlock = 1 << 20;

std::string_view View(QByteArrayView bytes) { return {bytes.data(), std::size_t(bytes.size())}; }

QString WriteError(const storage::AtomicFile& file)
{
    return QStringLiteral("gagal menulis: %1").arg(QString::fromStdString(file.Error()));
}

} // namespace

IncomingMessage::IncomingMessage(const QString& folder, ReceivedFileLedger& ledger) : folder_(folder), ledger_(ledger)
{ }

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

// Keeps the part of the name after its last "\" or "/", which is all that
// SafeFileName looks at, and only so much of it that a name too long for a
// file stays too long.
void IncomingMessage::FollowName(QByteArrayView bytes)
{
    const qsizetype cut = std::max(bytes.lastIndexOf('/'), bytes.lastIndexOf('\\'));
    if (cut >= 0) {
        namePart_.clear();
        bytes = bytes.sliced(cut + 1);
    }
    const qsizetype room = std::max<qsizetype>(0, kMaxFileNameLength + 1 - namePart_.size());
    namePart_.append(bytes.first(std::min(room, bytes.size())));
}

QString IncomingMessage::AppendHead(QByteArrayView bytes)
{
    headSize_ += bytes.size();
    if (!headFile_ && head_.size() + bytes.size() <= kMaxHeldBytes) {
        head_.append(bytes);
        return {};
    }
    if (!headFile_) {
        // Too long for memory: the head so far and the rest go to disk.
        QString error;
        headFile_ = NewSpool(&error);
        if (!headFile_)
            return error;
        if (!headFile_->Write(View(head_)))
            return WriteError(*headFile_);
        head_ = QByteArray();
    }
    return headFile_->Write(View(bytes)) ? QString() : WriteError(*headFile_);
}

QString IncomingMessage::Append(QByteArrayView bytes)
{
    size_ += bytes.size();
    if (nameFound_)
        return Spool(bytes);
    // Still looking for the first separator; it may begin in the last bytes
    // of the piece before. at counts from those carried bytes.
    const QByteArray carried(headCarry_, headCarried_);
    qsizetype at = QByteArray(carried).append(bytes.first(std::min(bytes.size(), kEdge))).indexOf(kSeparator);
    if (const qsizetype in = bytes.indexOf(kSeparator); at < 0 && in >= 0)
        at = carried.size() + in;
    // The bytes known to belong to the name; the last ones may yet begin
    // the separator.
    const qsizetype known = at >= 0 ? at : carried.size() + bytes.size() - kEdge;
    FollowName(QByteArrayView(carried).first(std::clamp<qsizetype>(known, 0, carried.size())));
    if (known > carried.size())
        FollowName(bytes.first(known - carried.size()));
    if (at < 0) {
        const QByteArray last = QByteArray(carried).append(bytes.last(std::min(bytes.size(), kEdge))).right(kEdge);
        headCarried_ = last.size();
        std::copy(last.begin(), last.end(), headCarry_);
        return AppendHead(bytes);
    }
    nameFound_ = true;
    const qsizetype headEnd = at - carried.size() + kSeparator.size();
    if (const QString error = AppendHead(bytes.first(headEnd)); !error.isEmpty())
        return error;
    return Spool(bytes.sliced(headEnd));
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
    if (!nameFound_)
        return head_.size();
    // Two separators: the tail is copied behind the head.
    return HasName() ? 0 : head_.size() + size_ - headSize_;
}

// The head as a file, written out now if it was held in memory.
std::unique_ptr<storage::AtomicFile> IncomingMessage::HeadOnDisk(QString* error)
{
    if (!headFile_) {
        headFile_ = NewSpool(error);
        if (!headFile_)
            return nullptr;
        if (!headFile_->Write(View(head_))) {
            *error = WriteError(*headFile_);
            return nullptr;
        }
        head_ = QByteArray();
    }
    return std::move(headFile_);
}

// Two separators or more: the content is the whole data after all, the
// head followed by the spooled rest.
std::unique_ptr<storage::AtomicFile> IncomingMessage::WholeData(QString* error)
{
    auto whole = HeadOnDisk(error);
    if (!whole)
        return nullptr;
    QFile spooled(QString::fromStdString(tail_->TemporaryPath()));
    bool ok = spooled.open(QIODevice::ReadOnly);
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
    const QString requested = hasName ? FromWireBytes(namePart_) : (currentName ? currentName() : QString());
    QString error;
    std::unique_ptr<storage::AtomicFile> content;
    if (!nameFound_)
        content = HeadOnDisk(&error); // no separator: the whole data is the content
    else if (hasName)
        content = std::move(tail_);
    else
        content = WholeData(&error);
    tail_.reset();
    headFile_.reset();
    if (!content || !error.isEmpty())
        return {QString(), error};
    const PlacedFile placed = PlaceReceivedFile(*content, folder_, StoredFileName(requested), ledger_);
    return {placed.name, placed.error};
}

} // namespace karsidan::net
