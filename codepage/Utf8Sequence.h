#pragma once
// The one scalar UTF-8 decoder: the whole-text conversion and the stream
// both take their characters from here, so the two agree on every byte.

#include <cstddef>
#include <optional>

namespace karsidan::detail {

// Bytes of the sequence a lead byte begins: 1 for ASCII, 2 to 4, or 0 for
// a byte that begins none (a continuation, C0, C1, F5 and above).
constexpr std::size_t Utf8SequenceLength(unsigned char lead) noexcept
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The character of a whole sequence of that length (as its lead byte
// gives it), or nothing when it is malformed: a bad continuation, an
// overlong form, a surrogate, or beyond U+10FFFF. Overlong forms must not
// slip through as plain ASCII.
constexpr std::optional<char32_t> DecodeUtf8Sequence(const unsigned char* s, std::size_t length) noexcept
{
    constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t c = s[0] & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (s[k] & 0x3F);
    }
    if (c < kMin[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    return c;
}

} // namespace karsidan::detail
