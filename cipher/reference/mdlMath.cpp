#include "cipher/reference/mdlMath.h"

#include "cipher/hex/HexDigit.h"
#include "cipher/padding/Padding.h"

#include <stdexcept>

namespace karsidan {
namespace {

constexpr std::string_view kDigits = "0123456789ABCDEF";
constexpr const char* kPatterns[16] = {
    "0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
    "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111",
};

} // namespace

std::string HexDigitToBits(std::string_view digit)
{
    if (digit.size() != 1)
        return {};
    const int v = HexDigitValue(digit.front());
    return v < 0 ? std::string() : std::string(kPatterns[v]);
}

std::string BitsToHexDigit(std::string_view group)
{
    for (int v = 0; v < 16; ++v)
        if (group == kPatterns[v])
            return std::string(1, kDigits[v]);
    return {};
}

std::string HexToBits(std::string_view hex)
{
    hex = TrimSpaces(hex);
    std::string out;
    out.reserve(hex.size() * 4);
    for (const char c : hex)
        out += HexDigitToBits(std::string_view(&c, 1));
    return out;
}

std::string BitsToHex(std::string_view bits)
{
    bits = TrimSpaces(bits);
    std::string out;
    out.reserve(bits.size() / 4);
    for (std::size_t i = 0; i + 4 <= bits.size(); i += 4)
        out += BitsToHexDigit(bits.substr(i, 4));
    return out;
}

std::string XorBits(std::string_view a, std::string_view b)
{
    if (b.size() < a.size())
        throw std::invalid_argument("XorBits: operand kedua lebih pendek");
    std::string out(a.size(), '0');
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i];
        const char y = b[i];
        if (x < '0' || x > '9' || y < '0' || y > '9')
            throw std::invalid_argument("XorBits: bukan angka");
        // Digits other than 0 and 1 are read as numbers, as a bit-wise XOR
        // of their values would; only the lowest bit reaches a bit string.
        out[i] = static_cast<char>('0' + (((x - '0') ^ (y - '0')) & 1));
    }
    return out;
}

std::int32_t BitWeight(std::string_view c, int place)
{
    if (c != "1")
        return 0;
    if (place < 0 || place > 30)
        throw std::overflow_error("BitWeight: nilai terlalu besar");
    return std::int32_t{1} << place;
}

std::string BitsToDecimal(std::string_view bits)
{
    std::int64_t sum = 0;
    const std::size_t n = bits.size();
    for (std::size_t i = n; i >= 1; --i) {
        const std::size_t place = n - i;
        if (bits[i - 1] != '1')
            continue;
        if (place > 30)
            throw std::overflow_error("BitsToDecimal: nilai terlalu besar");
        sum += BitWeight(bits.substr(i - 1, 1), static_cast<int>(place));
    }
    return std::to_string(sum);
}

std::string DecimalToBits(std::string_view decimal, int width)
{
    if (decimal.empty() || decimal.size() > 9 || decimal.find_first_not_of("0123456789") != std::string_view::npos)
        throw std::invalid_argument("DecimalToBits: bukan bilangan");
    long value = std::stol(std::string(decimal));
    std::string out;
    do {
        out.insert(out.begin(), static_cast<char>('0' + value % 2));
        value /= 2;
    } while (value != 0);
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
    return out;
}

std::string CharToBits(char c)
{
    const auto code = static_cast<unsigned char>(c);
    const char pair[2] = {kDigits[code >> 4], kDigits[code & 15]};
    return HexToBits(std::string_view(pair, 2));
}

std::string TextToBits(std::string_view text)
{
    text = TrimSpaces(text);
    std::string out;
    out.reserve(text.size() * 8);
    for (const char c : text)
        out += CharToBits(c);
    return out;
}

std::string BitsToText(std::string_view bits)
{
    bits = TrimSpaces(bits);
    std::string out;
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        const int code = std::stoi(BitsToDecimal(bits.substr(i, 8)));
        if (code != ' ')
            out += static_cast<char>(code);
    }
    return out;
}

std::string HexToText(std::string_view hex)
{
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto pair = hex.substr(i, 2);
        if (pair == "20")
            out += ' ';
        else
            out += BitsToText(HexToBits(pair));
    }
    return out;
}

} // namespace karsidan
