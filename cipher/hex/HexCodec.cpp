#include "cipher/hex/HexCodec.h"

#include "cipher/hex/HexKernels.h"

#include <array>
#include <cstdint>

namespace karsidan::bitslice {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Digit value, or -1 for every character the reading skips.
constexpr std::array<std::int8_t, 256> MakeDigitValues()
{
    std::array<std::int8_t, 256> v{};
    for (auto& x : v) x = -1;
    for (int c = '0'; c <= '9'; ++c) v[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) v[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return v;
}

constexpr auto kDigitValues = MakeDigitValues();

} // namespace

namespace detail {

void EncodeHexScalar(const unsigned char* bytes, std::size_t n, char* out)
{
    for (std::size_t i = 0; i < n; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 15];
    }
}

HexDecodeState DecodeHexScalar(const char* text, std::size_t size, unsigned char* out,
                               HexDecodeState state)
{
    for (std::size_t i = 0; i < size; ++i) {
        const int v = kDigitValues[static_cast<unsigned char>(text[i])];
        if (v < 0) continue;
        if (state.digits % 2 == 0) {
            out[state.digits / 2] = static_cast<unsigned char>(v << 4);
        } else {
            out[state.digits / 2] = static_cast<unsigned char>(out[state.digits / 2] | v);
        }
        ++state.digits;
    }
    return state;
}

} // namespace detail

void EncodeHex(const unsigned char* bytes, std::size_t n, char* out, Level level)
{
#if defined(__x86_64__)
    if (level != Level::Portable && IsSupported(Level::Avx2)) {
        detail::EncodeHexAvx2(bytes, n, out);
        return;
    }
#endif
    (void)level;
    detail::EncodeHexScalar(bytes, n, out);
}

void EncodeHex(const unsigned char* bytes, std::size_t n, char* out)
{
    EncodeHex(bytes, n, out, BestLevel());
}

std::size_t DecodeHex(std::string_view text, unsigned char* out, Level level)
{
#if defined(__x86_64__)
    if (level != Level::Portable && IsSupported(Level::Avx2)) {
        return detail::DecodeHexAvx2(text.data(), text.size(), out);
    }
#endif
    (void)level;
    return detail::DecodeHexScalar(text.data(), text.size(), out, {}).digits;
}

std::size_t DecodeHex(std::string_view text, unsigned char* out)
{
    return DecodeHex(text, out, BestLevel());
}

} // namespace karsidan::bitslice
