#include "cipher/padding/Padding.h"

#include "cipher/consttime/ConstantTime.h"

namespace karsidan {

std::size_t PaddingLength(const unsigned char* lastBlock) noexcept
{
    std::uint32_t run = ~0u; // still inside the run of padding bytes
    std::uint32_t count = 0;
    for (int i = 7; i >= 1; --i) {
        run &= ct::Equal(lastBlock[i], kPadByte);
        count += run & 1u;
    }
    return ct::Declassify(std::size_t{count});
}

std::string_view TrimSpaces(std::string_view text) noexcept
{
    while (!text.empty() && ct::Declassify(text.front() == ' '))
        text.remove_prefix(1);
    while (!text.empty() && ct::Declassify(text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

} // namespace karsidan
