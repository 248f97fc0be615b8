#include "cli/platform/Environment.h"

#include <cstdlib>

namespace platform {

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    return std::nullopt;
}

} // namespace platform
