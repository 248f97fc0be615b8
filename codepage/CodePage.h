#pragma once
// The single-byte code page (Windows-1252) in which texts, keys, files and
// network messages are carried: one byte per character. All 256 byte values
// map to distinct characters (the five unassigned ones to the C1 control of
// the same value), so bytes survive a round trip through text unchanged.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace karsidan {

// A character the code page cannot hold. Never replaced silently by "?".
class UnmappableCharacterError : public std::invalid_argument {
public:
    UnmappableCharacterError(char32_t character, std::size_t position);
    char32_t character() const noexcept { return character_; }
    // Index of the offending character, counted in characters of the input.
    std::size_t position() const noexcept { return position_; }

private:
    char32_t character_;
    std::size_t position_;
};

char32_t ByteToUnicode(unsigned char byte) noexcept;
std::optional<unsigned char> UnicodeToByte(char32_t character) noexcept;

// Text to code-page bytes. Throws UnmappableCharacterError, or
// std::invalid_argument for malformed UTF-8 / unpaired surrogates.
std::string Utf8ToCodePage(std::string_view utf8);
std::string Utf16ToCodePage(std::u16string_view utf16);

// Code-page bytes to text; never fails.
std::string CodePageToUtf8(std::string_view bytes);
std::u16string CodePageToUtf16(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (used to sniff files).
bool IsValidUtf8(std::string_view bytes) noexcept;

} // namespace karsidan
