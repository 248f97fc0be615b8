#pragma once
// Sub-commands of karsidan-cli. Each gets the arguments after the program
// name (args[0] is the sub-command) and returns the process exit code:
// 0 success, 1 I/O or connection failure, 2 bad input.

#include <string>
#include <vector>

int RunEncrypt(const std::vector<std::string>& args);
int RunDecrypt(const std::vector<std::string>& args);
