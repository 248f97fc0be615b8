#pragma once
// The one reading of a hexadecimal digit: '0'-'9' and 'A'-'F' only. Lower
// case and every other character are not digits. Cipher texts are public,
// so a table indexed by their characters gives nothing away.

#include <array>
#include <cstdint>

namespace karsidan {

namespace detail {
constexpr std::array<std::int8_t, 256> MakeHexDigitTable()
{
    std::array<std::int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i)
        t['A' + i] = static_cast<std::int8_t>(10 + i);
    return t;
}
inline constexpr auto kHexDigitValue = MakeHexDigitTable();
} // namespace detail

// Value of an upper-case hex digit, or -1.
constexpr int HexDigitValue(char c) noexcept { return detail::kHexDigitValue[static_cast<unsigned char>(c)]; }

} // namespace karsidan
