#pragma once
// A question on the controlling terminal (/dev/tty), answered without
// echo, whatever standard input and output are: a pipe of text in, a
// cipher text out.

#include <optional>
#include <string>

// The line typed, without its line break; std::nullopt when the process
// has no terminal. The echo comes back also when a signal ends the
// program during the question. Throws CryptIoError when the terminal
// fails midway.
std::optional<std::string> PromptSecret(const std::string& prompt);
