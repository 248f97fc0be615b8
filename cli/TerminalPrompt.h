#pragma once
// A question on the user's terminal, answered without echo, whatever
// standard input and output are: a pipe of text in, a cipher text out.
// POSIX asks on /dev/tty (platform/TerminalPromptPosix.cpp), Windows on the
// console, CONIN$ and CONOUT$ (platform/TerminalPromptWin.cpp).

#include <optional>
#include <string>

// The line typed (UTF-8), without its line break; std::nullopt when the
// process has no terminal. The echo comes back also when a signal (Ctrl-C,
// a closed console window) ends the program during the question. Throws
// CryptIoError when the terminal fails midway.
std::optional<std::string> PromptSecret(const std::string& prompt);
