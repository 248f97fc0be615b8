#pragma once
// Finding this program's folder and handing the process to another
// program: POSIX in ProgramLaunchPosix.cpp, Windows in
// ProgramLaunchWin.cpp.

#include <string>
#include <vector>

namespace platform {

// The folder of this program's own file (through /proc on Linux, the
// module's file name on Windows; argv0 only where neither answers), with
// no separator at the end.
std::string OwnFolder(const char* argv0);
// The program `name` in `folder`: "folder/name" on POSIX,
// "folder\name.exe" on Windows.
std::string ProgramIn(const std::string& folder, const std::string& name);

// Runs `program` with args as its arguments after its own name, and the
// same standard input, output and error. POSIX replaces this process
// (execv), so that signals and the exit code are the other program's; it
// returns only on failure. Windows starts the program, waits for it while
// leaving Ctrl-C to it, and puts its exit code into *exitCode. Returns 0
// or an errno value (ENOENT: no such program).
int RunProgram(const std::string& program, const std::vector<std::string>& args, int* exitCode);

} // namespace platform
