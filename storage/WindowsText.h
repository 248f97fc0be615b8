#pragma once
// Windows only: the program speaks UTF-8 everywhere; the system's wide
// calls take UTF-16. Conversions in both directions.

#include <string>
#include <string_view>

namespace karsidan::storage {

// False for text that is not UTF-8 (a name the system could not hold).
bool WideFromUtf8(std::string_view utf8, std::wstring* wide);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

// A path for the wide calls: UTF-16 with backslashes. Returns 0 or EINVAL
// (not UTF-8, an embedded NUL).
int WidePath(const std::string& path, std::wstring* wide);

} // namespace karsidan::storage
