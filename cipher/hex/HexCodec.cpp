#include "cipher/hex/HexCodec.h"

#include "cipher/hex/HexDigit.h"
#include "cipher/hex/HexKernels.h"
#include "cpu/CpuFeatures.h"

#include <array>
#include <cstdint>

namespace karsidan::bitslice {

namespace {

// Upper-case digit of a nibble by arithmetic, not a table: the digits are
// written from the cipher's output before it leaves the engine, where no
// address may depend on the bytes.
inline char Digit(unsigned nibble) noexcept
{
    // '0' + n, and 7 more from 10 on: (9 - n) borrows into the high bits.
    return static_cast<char>('0' + nibble + (((9u - nibble) >> 8) & 7u));
}

} // namespace

namespace detail {

void EncodeHexScalar(const unsigned char* bytes, std::size_t n, char* out)
{
    for (std::size_t i = 0; i < n; ++i) {
        out[2 * i] = Digit(bytes[i] >> 4);
        out[2 * i + 1] = Digit(bytes[i] & 15u);
    }
}

HexDecodeState DecodeHexScalar(const char* text, std::size_t size, unsigned char* out, HexDecodeState state)
{
    for (std::size_t i = 0; i < size; ++i) {
        const int v = HexDigitValue(text[i]);
        if (v < 0)
            continue;
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
    if (level != Level::Portable && cpu::Detected().avx2) {
        detail::EncodeHexAvx2(bytes, n, out);
        return;
    }
#endif
    (void)level;
    detail::EncodeHexScalar(bytes, n, out);
}

void EncodeHex(const unsigned char* bytes, std::size_t n, char* out) { EncodeHex(bytes, n, out, BestLevel()); }

std::size_t DecodeHex(std::string_view text, unsigned char* out, Level level)
{
#if defined(__x86_64__)
    if (level != Level::Portable && cpu::Detected().avx2) {
        return detail::DecodeHexAvx2(text.data(), text.size(), out);
    }
#endif
    (void)level;
    return detail::DecodeHexScalar(text.data(), text.size(), out, {}).digits;
}

std::size_t DecodeHex(std::string_view text, unsigned char* out) { return DecodeHex(text, out, BestLevel()); }

} // namespace karsidan::bitslice
