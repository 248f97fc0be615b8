#include "net/ReceivedFileLedger.h"

#include "storage/AtomicFile.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace karsidan::net {

ReceivedFileLedger::ReceivedFileLedger(const QString& folder) : folder_(folder) { }

std::string ReceivedFileLedger::PathOf(const QString& name) const
{
    return QFile::encodeName(QDir(folder_).filePath(name)).toStdString();
}

bool ReceivedFileLedger::IdentityOf(const std::string& path, Identity* identity)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    identity->inode = info.st_ino;
    identity->size = info.st_size;
    identity->changedNs = static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return true;
}

// One line per file: inode, size, change time, then the name in UTF-8 (a
// stored name never holds a line break).
std::vector<ReceivedFileLedger::Entry> ReceivedFileLedger::Read() const
{
    std::vector<Entry> entries;
    QFile file(QString::fromStdString(PathOf(QString::fromLatin1(kFileName))));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(4096);
        if (line.endsWith('\n'))
            line.chop(1);
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 4)
            continue; // a damaged line protects its file, never exposes it
        Entry entry;
        bool ok[3] = {};
        entry.identity.inode = fields[0].toULongLong(&ok[0]);
        entry.identity.size = fields[1].toLongLong(&ok[1]);
        entry.identity.changedNs = fields[2].toLongLong(&ok[2]);
        entry.name = QString::fromUtf8(line.mid(fields[0].size() + fields[1].size() + fields[2].size() + 3));
        if (ok[0] && ok[1] && ok[2] && !entry.name.isEmpty())
            entries.push_back(entry);
    }
    return entries;
}

bool ReceivedFileLedger::Matches(const Entry& entry) const
{
    Identity now;
    return IdentityOf(PathOf(entry.name), &now) && now == entry.identity;
}

bool ReceivedFileLedger::IsOurs(const QString& name) const
{
    for (const Entry& entry : Read())
        if (entry.name == name && Matches(entry))
            return true;
    return false;
}

QString ReceivedFileLedger::Record(const QString& name, const Identity& stored) const
{
    QByteArray text;
    const auto line = [&text](const Identity& identity, const QString& fileName) {
        text += QByteArray::number(identity.inode) + ' ' + QByteArray::number(identity.size) + ' '
            + QByteArray::number(identity.changedNs) + ' ' + fileName.toUtf8() + '\n';
    };
    for (const Entry& entry : Read())
        if (entry.name != name && Matches(entry))
            line(entry.identity, entry.name);
    line(stored, name);
    const std::string error = storage::WriteFileAtomically(PathOf(QString::fromLatin1(kFileName)),
                                                           std::string_view(text.constData(), text.size()));
    return QString::fromStdString(error);
}

} // namespace karsidan::net
