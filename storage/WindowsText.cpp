#include "storage/WindowsText.h"

#include <cerrno>
#include <windows.h>

namespace karsidan::storage {

bool WideFromUtf8(std::string_view utf8, std::wstring* wide)
{
    wide->clear();
    if (utf8.empty())
        return true;
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0)
        return false;
    wide->resize(static_cast<std::size_t>(n));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide->data(), n) == n;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

int WidePath(const std::string& path, std::wstring* wide)
{
    if (path.find('\0') != std::string::npos || !WideFromUtf8(path, wide))
        return EINVAL;
    for (wchar_t& c : *wide)
        if (c == L'/')
            c = L'\\';
    return 0;
}

} // namespace karsidan::storage
