#include "codepage/CodePage.h"

#include "codepage/Utf8Sequence.h"

#include <array>
#include <cstdio>

namespace karsidan {
namespace {

// 0x80..0x9F of Windows-1252; the unassigned five keep their C1 value.
// clang-format off
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

std::string Describe(char32_t c)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string shown;
    if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF) {
        // Echo the character itself as UTF-8 so the user recognises it.
        if (c < 0x80) {
            shown += static_cast<char>(c);
        } else if (c < 0x800) {
            shown += static_cast<char>(0xC0 | (c >> 6));
            shown += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            shown += static_cast<char>(0xE0 | (c >> 12));
            shown += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            shown += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            shown += static_cast<char>(0xF0 | (c >> 18));
            shown += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            shown += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            shown += static_cast<char>(0x80 | (c & 0x3F));
        }
        return "\"" + shown + "\" (" + code + ")";
    }
    return code;
}

const unsigned char* Bytes(std::string_view text) noexcept
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The character of the well-formed sequence at the start of text, or
// nothing when it is malformed or cut short.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& length) noexcept
{
    length = detail::Utf8SequenceLength(Bytes(text)[0]);
    if (length == 0 || text.size() < length)
        return std::nullopt;
    return detail::DecodeUtf8Sequence(Bytes(text), length);
}

unsigned char ToByteOrThrow(char32_t c, std::size_t position)
{
    if (auto b = UnicodeToByte(c))
        return *b;
    throw UnmappableCharacterError(c, position);
}

} // namespace

UnmappableCharacterError::UnmappableCharacterError(char32_t character, std::size_t position)
    : std::invalid_argument("Karakter " + Describe(character) + " pada posisi " + std::to_string(position + 1)
                            + " tidak dapat ditulis dalam kode halaman Windows-1252"),
      character_(character), position_(position)
{ }

char32_t ByteToUnicode(unsigned char byte) noexcept
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> UnicodeToByte(char32_t c) noexcept
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string Utf8ToCodePage(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t index = 0;
    for (std::size_t i = 0; i < utf8.size(); ++index) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        const auto c = NextCharacter(utf8.substr(i), length);
        if (!c)
            throw std::invalid_argument("Teks UTF-8 tidak sah pada byte ke-" + std::to_string(i + 1));
        out += static_cast<char>(ToByteOrThrow(*c, index));
        i += length;
    }
    return out;
}

std::string Utf16ToCodePage(std::u16string_view utf16)
{
    std::string out;
    out.resize(utf16.size());
    std::size_t n = 0;
    std::size_t index = 0;
    for (std::size_t i = 0; i < utf16.size(); ++i, ++index) {
        char32_t c = utf16[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out[n++] = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 >= utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF)
                throw std::invalid_argument("Teks UTF-16 tidak sah: surrogat tanpa pasangan pada posisi "
                                            + std::to_string(index + 1));
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        out[n++] = static_cast<char>(ToByteOrThrow(c, index));
    }
    out.resize(n);
    return out;
}

std::string CodePageToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const char32_t c = ByteToUnicode(static_cast<unsigned char>(ch));
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string CodePageToUtf16(std::string_view bytes)
{
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char16_t>(ByteToUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

bool IsValidUtf8(std::string_view bytes) noexcept
{
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = 0;
        if (!NextCharacter(bytes.substr(i), length))
            return false;
        i += length;
    }
    return true;
}

} // namespace karsidan
