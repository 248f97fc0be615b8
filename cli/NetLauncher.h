#pragma once
// Hands send and receive to the helper program karsidan-cli-net, which
// holds the network code of the window and loads Qt: beside this program
// in the build tree, in the libexec folder once installed.

#include <string>
#include <vector>

// Runs the helper with args (args[0] is the sub-command) and returns its
// exit code: on POSIX by becoming the helper, on Windows by waiting for it.
// Exit code 1 after a message when it cannot be started.
int RunNetHelper(const char* self, const std::vector<std::string>& args);

// Where the helper is looked for, in order.
std::vector<std::string> NetHelperCandidates(const char* self);
