// Code-page bytes to UTF-8 64 bytes at a time with AVX-512 (BW, VBMI,
// VBMI2): the upper half looked up in tables of 128 bytes, each byte given
// a slot for every byte of its UTF-8 form, and the slots that hold one
// packed with a compress. CR LF folds to LF in the same step, and the same
// lookup says whether a block holds a control byte, so the decrypted text
// is read once. A block of ASCII goes out as it came.
// Compiled with the AVX-512 flags; called only once the processor is known
// to support them.
#if defined(__x86_64__)

#include "codepage/AsciiRuns.h"

#include <immintrin.h>

#include <array>
#include <cstdint>

namespace karsidan::detail {
namespace {

using Mask = std::uint64_t;

// By the low seven bits of a byte: the UTF-8 form of the upper-half byte,
// and flags for both halves.
constexpr unsigned char kLowControl = 1; // the byte below 0x80 is a control
constexpr unsigned char kHighControl = 2; // the byte of 0x80 and above is one
constexpr unsigned char kThreeBytes = 4; // the upper-half byte takes three

struct Tables {
    alignas(64) std::array<unsigned char, 128> first{};
    alignas(64) std::array<unsigned char, 128> second{};
    alignas(64) std::array<unsigned char, 128> third{};
    alignas(64) std::array<unsigned char, 128> flags{};
};

const Tables& TablesOf(const Utf8Bytes* high)
{
    static const Tables tables = [high] {
        Tables t;
        for (unsigned k = 0; k < 128; ++k) {
            t.first[k] = static_cast<unsigned char>(high[k].bytes[0]);
            t.second[k] = static_cast<unsigned char>(high[k].bytes[1]);
            t.third[k] = static_cast<unsigned char>(high[k].bytes[2]);
            t.flags[k] = static_cast<unsigned char>(
                (IsControlByte(static_cast<unsigned char>(k)) ? kLowControl : 0)
                | (IsControlByte(static_cast<unsigned char>(0x80 | k)) ? kHighControl : 0)
                | (high[k].length == 3 ? kThreeBytes : 0));
        }
        return t;
    }();
    return tables;
}

// A table of 128 bytes in two registers; looked up by the low seven bits.
struct Table128 {
    __m512i low;
    __m512i high;
    explicit Table128(const std::array<unsigned char, 128>& t)
        : low(_mm512_load_si512(t.data())), high(_mm512_load_si512(t.data() + 64))
    { }
    [[gnu::always_inline]] __m512i operator[](__m512i v) const { return _mm512_permutex2var_epi8(low, v, high); }
};

[[gnu::always_inline]] inline __m512i Bytes(unsigned char b) { return _mm512_set1_epi8(static_cast<char>(b)); }

// Slot s of the output vectors of a block: the byte s / width of the
// block, its UTF-8 byte s % width. The index picks the first byte from a
// and the second from b in permutex2var(a, index, b); its low six bits
// are the byte's lane.
struct Slots {
    __m512i index[3]; // as many as the width uses
    __m512i part[3]; // 1, 2 or 4: the flag of the slot's UTF-8 byte
    Mask last[3]; // slots of a third byte
};

Slots SlotsOf(unsigned width)
{
    alignas(64) std::array<std::array<unsigned char, 64>, 3> index{}, part{};
    Slots s;
    for (unsigned v = 0; v < 3; ++v) {
        s.index[v] = _mm512_setzero_si512();
        s.part[v] = _mm512_setzero_si512();
        s.last[v] = 0;
    }
    for (unsigned v = 0; v < width; ++v) {
        for (unsigned lane = 0; lane < 64; ++lane) {
            const unsigned slot = 64 * v + lane;
            const unsigned byte = slot / width;
            const unsigned which = slot % width;
            index[v][lane] = static_cast<unsigned char>(byte + (which == 1 ? 64 : 0));
            part[v][lane] = static_cast<unsigned char>(1u << which);
            if (which == 2)
                s.last[v] |= Mask{1} << lane;
        }
        s.index[v] = _mm512_load_si512(index[v].data());
        s.part[v] = _mm512_load_si512(part[v].data());
    }
    return s;
}

} // namespace

std::size_t CodePageToUtf8Avx512(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                                 bool& control, const Utf8Bytes* high)
{
    const Tables& tables = TablesOf(high);
    const Table128 first(tables.first), second(tables.second), third(tables.third), flags(tables.flags);
    static const Slots two = SlotsOf(2);
    static const Slots three = SlotsOf(3);
    Mask controls = 0;
    std::size_t i = 0;
    std::size_t o = 0;
    // A CR at a block's last lane looks at the byte after it: always there.
    // Each block's stores end within 3 bytes per byte read so far, however
    // few of their lanes hold output.
    while (i + 64 < n) {
        const __m512i v = _mm512_loadu_si512(in + i);
        const Mask upper = _mm512_movepi8_mask(v);
        const __m512i flag = flags[v];
        controls |= _mm512_test_epi8_mask(flag, _mm512_mask_mov_epi8(Bytes(kLowControl), upper, Bytes(kHighControl)));
        Mask dropped = 0;
        if (windowText) {
            const Mask lf = _mm512_cmpeq_epi8_mask(v, Bytes('\n'));
            const Mask lfNext = (lf >> 1) | (Mask{in[i + 64] == '\n'} << 63);
            dropped = _mm512_cmpeq_epi8_mask(v, Bytes('\r')) & lfNext;
        }
        const Mask kept = ~dropped;
        if (upper == 0) {
            if (dropped == 0) {
                _mm512_storeu_si512(out + o, v);
                o += 64;
            } else {
                _mm512_storeu_si512(out + o, _mm512_maskz_compress_epi8(kept, v));
                o += 64 - static_cast<unsigned>(__builtin_popcountll(dropped));
            }
            i += 64;
            continue;
        }
        // Per byte, which of its slots hold a UTF-8 byte: 1 the first, 2 the
        // second, 4 the third.
        const Mask longer = upper & _mm512_test_epi8_mask(flag, Bytes(kThreeBytes));
        const __m512i lead = _mm512_mask_mov_epi8(v, upper, first[v]);
        const __m512i follow = second[v];
        const __m512i used = _mm512_or_si512(
            _mm512_maskz_mov_epi8(kept, Bytes(1)),
            _mm512_or_si512(_mm512_maskz_mov_epi8(upper, Bytes(2)), _mm512_maskz_mov_epi8(longer, Bytes(4))));
        if (longer == 0) {
            for (unsigned k = 0; k < 2; ++k) {
                const __m512i slots = _mm512_permutex2var_epi8(lead, two.index[k], follow);
                const Mask keep = _mm512_test_epi8_mask(_mm512_permutex2var_epi8(used, two.index[k], used),
                                                        two.part[k]);
                _mm512_storeu_si512(out + o, _mm512_maskz_compress_epi8(keep, slots));
                o += static_cast<unsigned>(__builtin_popcountll(keep));
            }
        } else {
            const __m512i tail = third[v];
            for (unsigned k = 0; k < 3; ++k) {
                __m512i slots = _mm512_permutex2var_epi8(lead, three.index[k], follow);
                slots = _mm512_mask_permutexvar_epi8(slots, three.last[k], three.index[k], tail);
                const Mask keep = _mm512_test_epi8_mask(_mm512_permutex2var_epi8(used, three.index[k], used),
                                                        three.part[k]);
                _mm512_storeu_si512(out + o, _mm512_maskz_compress_epi8(keep, slots));
                o += static_cast<unsigned>(__builtin_popcountll(keep));
            }
        }
        i += 64;
    }
    if (controls != 0)
        control = true;
    produced = o;
    return i;
}

} // namespace karsidan::detail

#endif
