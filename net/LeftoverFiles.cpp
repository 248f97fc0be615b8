#include "net/LeftoverFiles.h"

#include "storage/AtomicFile.h"

#include <QFile>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace karsidan::net {

int RemoveLeftoverFiles(const QString& folder, long long startedNs)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(storage::kTemporaryPrefix) || !name.ends_with(".part"))
            continue;
        struct stat info { };
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const long long modifiedNs = static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        // Another user's, a link or anything but a plain file stays; so does
        // one written since the start, which a writer may still hold.
        if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || modifiedNs >= startedNs)
            continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

} // namespace karsidan::net
