#include "cli/platform/Environment.h"

#include "storage/WindowsText.h"

#include <cstdlib>

namespace platform {

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    std::wstring wide;
    if (!karsidan::storage::WideFromUtf8(name, &wide))
        return std::nullopt;
    if (const wchar_t* value = ::_wgetenv(wide.c_str()))
        return karsidan::storage::Utf8FromWide(value);
    return std::nullopt;
}

} // namespace platform
