#include "cli/platform/ProgramLaunch.h"

#include "cli/platform/WindowsCommandLine.h"
#include "storage/WindowsErrors.h"
#include "storage/WindowsText.h"

#include <cerrno>

#include <io.h>
#include <windows.h>

namespace platform {

namespace {

// The standard handle for the program, made inheritable.
HANDLE Passed(int fd)
{
    const intptr_t handle = ::_get_osfhandle(fd);
    if (handle == -1 || handle == -2)
        return nullptr;
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    ::SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return h;
}

} // namespace

std::string OwnFolder(const char* argv0)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            path.clear();
            break;
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string full = path.empty() ? std::string(argv0) : karsidan::storage::Utf8FromWide(path);
    const auto slash = full.find_last_of("\\/");
    return slash == std::string::npos ? "." : full.substr(0, slash);
}

std::string ProgramIn(const std::string& folder, const std::string& name) { return folder + "\\" + name + ".exe"; }

int RunProgram(const std::string& program, const std::vector<std::string>& args, int* exitCode)
{
    std::wstring application;
    if (const int error = karsidan::storage::WidePath(program, &application))
        return error;
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::wstring line;
    if (!karsidan::storage::WideFromUtf8(WindowsCommandLine(all), &line))
        return EINVAL;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Passed(0);
    startup.hStdOutput = Passed(1);
    startup.hStdError = Passed(2);
    PROCESS_INFORMATION process{};
    // Only the three standard handles are inheritable here: every file
    // this program opens is opened without inheritance.
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return karsidan::storage::LastErrno();
    ::CloseHandle(process.hThread);
    // Ctrl-C reaches both programs of the console; the other one decides
    // what it means, and its exit code is passed on.
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    *exitCode = static_cast<int>(code);
    return 0;
}

} // namespace platform
