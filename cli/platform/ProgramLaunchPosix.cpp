#include "cli/platform/ProgramLaunch.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <unistd.h>

namespace platform {

std::string OwnFolder(const char* argv0)
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string full;
    if (n > 0) {
        full.assign(path, static_cast<std::size_t>(n));
    } else if (char* resolved = ::realpath(argv0, nullptr)) {
        full = resolved;
        std::free(resolved);
    } else {
        full = argv0;
    }
    const auto slash = full.find_last_of('/');
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

std::string ProgramIn(const std::string& folder, const std::string& name) { return folder + "/" + name; }

int RunProgram(const std::string& program, const std::vector<std::string>& args, int*)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    return errno;
}

} // namespace platform
