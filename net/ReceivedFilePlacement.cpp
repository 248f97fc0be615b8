#include "net/ReceivedFilePlacement.h"

#include "net/ReceivedFileLedger.h"
#include "net/ReceivedFileName.h"
#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QtDebug>

#include <cerrno>
#include <sys/stat.h>

namespace karsidan::net {

namespace {

// Free variants tried per name before giving up on it.
constexpr int kMaxVariants = 100;

bool IsFolder(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Errors that say "not this name", as opposed to "not here at all" (a full
// disk, no rights).
bool NameRefused(int code)
{
    return code == ENAMETOOLONG || code == EISDIR || code == ENOTDIR || code == EINVAL || code == EILSEQ;
}

} // namespace

PlacedFile PlaceReceivedFile(storage::AtomicFile& file, const QString& folder, const QString& wanted,
                             ReceivedFileLedger& ledger)
{
    using storage::AtomicFile;
    const auto pathOf = [&folder](const QString& name) {
        return QFile::encodeName(QDir(folder).filePath(name)).toStdString();
    };

    QString base = wanted;
    bool fallback = wanted == QLatin1String(kFallbackFileName);
    for (int n = 1; n <= kMaxVariants; ++n) {
        const QString name = n == 1 ? base : NumberedFileName(base, n);
        const std::string path = pathOf(name);
        int code = 0;
        if (IsFolder(path)) {
            code = EISDIR;
        } else {
            const AtomicFile::Mode mode = ledger.IsOurs(name) ? AtomicFile::Mode::Replace : AtomicFile::Mode::NoReplace;
            code = file.TryCommitAs(path, mode);
        }
        if (code == 0) {
            ReceivedFileLedger::Identity identity;
            const QString note = ReceivedFileLedger::IdentityOf(path, &identity)
                ? ledger.Record(name, identity)
                : QStringLiteral("berkas tidak ditemukan lagi");
            // The file is stored all the same; it only counts as the user's.
            if (!note.isEmpty())
                qWarning().noquote() << "karsidan: daftar berkas diterima tidak diperbarui:" << note;
            return {name, QString()};
        }
        if (file.Failed())
            return {QString(), QString::fromStdString(file.Error())};
        if (code == EEXIST)
            continue;
        if (NameRefused(code) && !fallback) {
            base = QString::fromLatin1(kFallbackFileName);
            fallback = true;
            n = 0;
            continue;
        }
        return {QString(), QStringLiteral("%1: %2").arg(name, QString::fromStdString(storage::ReasonFor(code)))};
    }
    return {QString(), QStringLiteral("tidak ada nama bebas untuk %1").arg(base)};
}

} // namespace karsidan::net
