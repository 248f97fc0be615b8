#include "codepage/ControlBytes.h"

namespace karsidan {

std::size_t FindControlByte(std::string_view bytes, AsciiLevel level) noexcept
{
    return detail::FindControlFor(level)(bytes.data(), bytes.size());
}

} // namespace karsidan
