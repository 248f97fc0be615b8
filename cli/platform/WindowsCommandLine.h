#pragma once
// A Windows command line from separate arguments, quoted so that the C
// runtime's parser (and CommandLineToArgvW) gives back exactly those
// arguments: spaces, tabs, quotes and the backslashes before them. Plain
// string work, tested on every system.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::string QuoteWindowsArgument(std::string_view argument);
// The arguments joined by spaces, each quoted where it needs it.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

} // namespace platform
