#include "cipher/hex/CipherTextCheck.h"

#include "codepage/CodePage.h"

#include <cstdio>
#include <stdexcept>

namespace karsidan {
namespace {

bool IsWhiteSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Control characters are shown by code, others as themselves.
std::string Shown(std::string_view one)
{
    const auto c = static_cast<unsigned char>(one.front());
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0 && ByteToUnicode(c) == c)) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", c);
        return code;
    }
    return "\"" + CodePageToUtf8(one) + "\"";
}

} // namespace

std::string CheckCipherText(std::string_view text)
{
    std::string digits;
    digits.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            digits += static_cast<char>(c);
        } else if (c >= 'a' && c <= 'f') {
            digits += static_cast<char>(c - 'a' + 'A');
        } else if (!IsWhiteSpace(c)) {
            throw std::invalid_argument("Teks sandi hanya boleh berisi angka heksadesimal dan spasi; karakter "
                                        + Shown(text.substr(i, 1)) + " pada posisi " + std::to_string(i + 1)
                                        + " tidak sah");
        }
    }
    if (digits.size() % 16 != 0)
        throw std::invalid_argument("Jumlah angka heksadesimal (" + std::to_string(digits.size())
                                    + ") bukan kelipatan 16");
    return digits;
}

} // namespace karsidan
