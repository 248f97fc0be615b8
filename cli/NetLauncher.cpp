#include "cli/NetLauncher.h"

#include "cli/platform/ProgramLaunch.h"
#include "storage/AtomicFile.h"

#include <cerrno>
#include <cstdio>

namespace {

constexpr char kHelperName[] = "karsidan-cli-net";

} // namespace

std::vector<std::string> NetHelperCandidates(const char* self)
{
    const std::string folder = platform::OwnFolder(self);
    return {platform::ProgramIn(folder, kHelperName),
            platform::ProgramIn(folder + "/" KARSIDAN_LIBEXEC_FROM_BIN, kHelperName)};
}

int RunNetHelper(const char* self, const std::vector<std::string>& args)
{
    const std::vector<std::string> candidates = NetHelperCandidates(self);
    int error = ENOENT;
    for (const std::string& helper : candidates) {
        int exitCode = 1;
        const int failed = platform::RunProgram(helper, args, &exitCode);
        if (failed == 0)
            return exitCode;
        // A missing first place says less than why a present one failed.
        if (failed != ENOENT)
            error = failed;
    }
    std::string message = "karsidan-cli " + args.front() + ": program bantu " + kHelperName
        + " tidak dapat dijalankan ("
        + (error == ENOENT ? std::string("tidak ada") : karsidan::storage::ReasonFor(error)) + "); dicari di:\n";
    for (const std::string& helper : candidates)
        message += "  " + helper + "\n";
    std::fputs(message.c_str(), stderr);
    return 1;
}
