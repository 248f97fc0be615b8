#pragma once
// Environment variables as UTF-8 text: POSIX in EnvironmentPosix.cpp;
// Windows in EnvironmentWin.cpp, which reads the wide environment, since
// the narrow one is in the ANSI code page and loses what it cannot hold.

#include <optional>
#include <string>

namespace platform {

// std::nullopt when the variable is not set.
std::optional<std::string> EnvironmentValue(const std::string& name);

} // namespace platform
