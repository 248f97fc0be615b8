#pragma once
// The hexadecimal codec's scalar steps and its AVX2 build.

#include <cstddef>

namespace karsidan::bitslice::detail {

struct HexDecodeState {
    std::size_t digits = 0; // digits read so far; out[digits / 2] is the next byte
};

void EncodeHexScalar(const unsigned char* bytes, std::size_t n, char* out);
HexDecodeState DecodeHexScalar(const char* text, std::size_t size, unsigned char* out, HexDecodeState state);

#if defined(__x86_64__)
void EncodeHexAvx2(const unsigned char* bytes, std::size_t n, char* out);
std::size_t DecodeHexAvx2(const char* text, std::size_t size, unsigned char* out);
#endif

} // namespace karsidan::bitslice::detail
