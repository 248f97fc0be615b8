#include "cli/NetLauncher.h"

#include "storage/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

constexpr char kHelperName[] = "karsidan-cli-net";

// The folder of this program, through /proc where there is one.
std::string OwnFolder(const char* self)
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string full;
    if (n > 0) {
        full.assign(path, static_cast<std::size_t>(n));
    } else if (char* resolved = ::realpath(self, nullptr)) {
        full = resolved;
        std::free(resolved);
    } else {
        full = self;
    }
    const auto slash = full.find_last_of('/');
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

} // namespace

std::vector<std::string> NetHelperCandidates(const char* self)
{
    const std::string folder = OwnFolder(self);
    return {folder + "/" + kHelperName, folder + "/" KARSIDAN_LIBEXEC_FROM_BIN "/" + kHelperName};
}

int RunNetHelper(const char* self, const std::vector<std::string>& args)
{
    const std::vector<std::string> candidates = NetHelperCandidates(self);
    int error = ENOENT;
    for (const std::string& helper : candidates) {
        if (::access(helper.c_str(), X_OK) != 0)
            continue;
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(helper.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(helper.c_str(), argv.data());
        error = errno;
    }
    std::string message = "karsidan-cli " + args.front() + ": program bantu " + kHelperName
        + " tidak dapat dijalankan ("
        + (error == ENOENT ? std::string("tidak ada") : karsidan::storage::ReasonFor(error)) + "); dicari di:\n";
    for (const std::string& helper : candidates)
        message += "  " + helper + "\n";
    std::fputs(message.c_str(), stderr);
    return 1;
}
