// UTF-8 to the code page 64 bytes at a time with AVX-512 (BW, VBMI, VBMI2):
// the common characters (ASCII, line breaks, U+00A0-U+00FF and the code
// page's characters of the form E2 80 xx, the euro sign and the trade mark)
// are classified with masks, turned into their bytes in place and packed
// with one compress. A block stops before the first character it does not
// know, so the careful path sees it (and words any error) as before.
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

constexpr Mask Below(unsigned n) { return n >= 64 ? ~Mask{0} : (Mask{1} << n) - 1; }

// The highest bit of m at or below position `at`, or 0 when none is.
unsigned HighestAtOrBelow(Mask m, unsigned at)
{
    m &= Below(at + 1);
    return m == 0 ? 0 : 63u - static_cast<unsigned>(__builtin_clzll(m));
}

// Bytes of E2 80 xx (by xx - 0x80, 0 for none) and of E2 82 xx.
struct ThreeByteTables {
    alignas(64) std::array<unsigned char, 64> page80{};
    alignas(64) std::array<unsigned char, 64> page82{};
};

const ThreeByteTables& Tables(const unsigned char* byteOf)
{
    static const ThreeByteTables tables = [byteOf] {
        ThreeByteTables t;
        for (unsigned k = 0; k < 64; ++k) {
            t.page80[k] = byteOf[0x2000 + k];
            t.page82[k] = byteOf[0x2080 + k];
        }
        return t;
    }();
    return tables;
}

// What one block of 64 bytes converts: the prefix taken, the bytes kept
// (each character's last) with their values, and the line breaks to add.
struct Block {
    unsigned taken = 0;
    Mask keep = 0, addCr = 0, addLf = 0, cont = 0, cr = 0;
    __m512i values;
};

template <bool kValues>
Block Classify(__m512i v, bool windowText, bool afterCr, const ThreeByteTables& tables)
{
    Block b;
    const Mask hi = _mm512_movepi8_mask(v);
    const Mask lf = windowText ? _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n')) : 0;
    const Mask cr = windowText ? _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r')) : 0;
    const Mask cont = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, _mm512_set1_epi8(static_cast<char>(0xC0))),
                                             _mm512_set1_epi8(static_cast<char>(0x80)));
    const Mask c2 = _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(static_cast<char>(0xC2)));
    const Mask lead2 = c2 | _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(static_cast<char>(0xC3)));
    const Mask lead3 = _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(static_cast<char>(0xE2)));
    const Mask starts = ~cont;

    unsigned taken = 64;
    // Continuation bytes where the leads want them and nowhere else; at the
    // first that differs, stop before the character it belongs to.
    const Mask expected = (lead2 << 1) | (lead3 << 1) | (lead3 << 2);
    if (const Mask wrong = cont ^ expected)
        taken = HighestAtOrBelow(starts & Below(static_cast<unsigned>(__builtin_ctzll(wrong))), 63);

    // Leads of characters this block does not convert, U+0080-U+009F
    // (mostly not in the code page), a sequence the block cuts, and a CR
    // in the last lane, whose LF would go past the block's slots.
    Mask stop = hi & starts & ~lead2 & ~lead3;
    const Mask lowCont = cont & _mm512_cmplt_epu8_mask(v, _mm512_set1_epi8(static_cast<char>(0xA0)));
    stop |= c2 & (lowCont >> 1);
    stop |= (lead2 & (Mask{1} << 63)) | (lead3 & (Mask{3} << 62)) | (cr & (Mask{1} << 63));

    // The three-byte characters: the byte from the middle and the last.
    __m512i values = v;
    const Mask last3 = lead3 << 2;
    {
        const __m512i index_minus1 = _mm512_set_epi8(
            62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36,
            35, 34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8,
            7, 6, 5, 4, 3, 2, 1, 0, 0);
        const __m512i middle = _mm512_maskz_permutexvar_epi8(~Mask{0}, index_minus1, v);
        const Mask mid80 = _mm512_cmpeq_epi8_mask(middle, _mm512_set1_epi8(static_cast<char>(0x80)));
        const Mask mid82 = _mm512_cmpeq_epi8_mask(middle, _mm512_set1_epi8(static_cast<char>(0x82)));
        const Mask mid84 = _mm512_cmpeq_epi8_mask(middle, _mm512_set1_epi8(static_cast<char>(0x84)));
        // The last byte's low six bits index a table; bit 6 picks the second.
        const __m512i low = _mm512_and_si512(v, _mm512_set1_epi8(0x3F));
        const __m512i index = low;
        const __m512i picked = _mm512_permutex2var_epi8(
            _mm512_load_si512(tables.page80.data()),
            _mm512_mask_blend_epi8(mid82, index, _mm512_or_si512(index, _mm512_set1_epi8(0x40))),
            _mm512_load_si512(tables.page82.data()));
        // E2 84 A2, the trade mark, is the one character of its page.
        const Mask tradeMark = mid84 & _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(static_cast<char>(0xA2)));
        __m512i three = _mm512_maskz_mov_epi8((mid80 | mid82) & last3, picked);
        three = _mm512_mask_mov_epi8(three, tradeMark & last3, _mm512_set1_epi8(static_cast<char>(0x99)));
        const Mask none = last3 & _mm512_cmpeq_epi8_mask(three, _mm512_setzero_si512());
        stop |= none >> 2;
        if constexpr (kValues)
            values = _mm512_mask_mov_epi8(values, last3, three);
    }
    if (stop != 0) {
        const unsigned at = static_cast<unsigned>(__builtin_ctzll(stop));
        taken = at < taken ? at : taken;
    }

    for (;;) {
        const Mask in = Below(taken);
        // A CR gives CR LF; so does an LF, unless it follows a CR.
        const Mask lfAfterCr = lf & ((cr << 1) | Mask{afterCr});
        b.keep = in & ~(lead2 | lead3 | (lead3 << 1) | lfAfterCr);
        b.addCr = lf & in & ~lfAfterCr;
        b.addLf = cr & in;
        const unsigned total = static_cast<unsigned>(__builtin_popcountll(b.keep)
                                                     + __builtin_popcountll(b.addCr | b.addLf));
        if (total <= 64)
            break;
        // Line breaks enough to overflow a vector: half a block at most.
        taken = HighestAtOrBelow(starts, 32);
    }
    b.taken = taken;
    b.cont = cont & Below(taken);
    b.cr = cr;
    if constexpr (kValues) {
        // The second byte of U+00A0-U+00FF: itself after C2, plus 0x40 after C3.
        b.values = _mm512_mask_add_epi8(values, (lead2 & ~c2) << 1, values, _mm512_set1_epi8(0x40));
    }
    return b;
}

// The next block's start. Almost every block is taken whole: as a branch the
// next load need not wait for the whole classification of this one.
inline std::size_t Advance(std::size_t i, unsigned taken)
{
    if (taken == 64) [[likely]]
        return i + 64;
    // Kept from being turned into a conditional move.
    asm volatile("" : "+r"(taken));
    return i + taken;
}

} // namespace

std::size_t Utf8ToCodePageAvx512(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                                 const unsigned char* byteOf)
{
    const ThreeByteTables& tables = Tables(byteOf);
    std::size_t i = 0;
    std::size_t o = 0;
    while (i + 64 <= n) {
        const __m512i v = _mm512_loadu_si512(in + i);
        // Plain ASCII without line breaks (or other low bytes) goes as it is.
        const Mask special = _mm512_movepi8_mask(v)
                             | (state.windowText ? _mm512_cmple_epu8_mask(v, _mm512_set1_epi8('\r')) : 0);
        if (special == 0) {
            _mm512_storeu_si512(out + o, v);
            i += 64;
            o += 64;
            state.afterCr = false;
            continue;
        }
        const Block b = Classify<true>(v, state.windowText, state.afterCr, tables);
        if (b.taken == 0)
            break;
        const __m512i packed = _mm512_maskz_compress_epi8(b.keep, b.values);
        // Where the added CR and LF go among the kept bytes: every position
        // gives a slot for a byte added before it and one for its own byte;
        // the slots present, packed, are the output.
        const Mask added = b.addCr | (b.addLf << 1); // before the byte of that position
        const Mask addedLf = b.addLf << 1;
        constexpr Mask kEven = 0x5555555555555555ull, kOdd = 0xAAAAAAAAAAAAAAAAull;
        const Mask lowAll = _pdep_u64(added & 0xFFFFFFFFu, kEven) | _pdep_u64(b.keep & 0xFFFFFFFFu, kOdd);
        const Mask highAll = _pdep_u64(added >> 32, kEven) | _pdep_u64(b.keep >> 32, kOdd);
        const unsigned lowCount = static_cast<unsigned>(__builtin_popcountll(lowAll));
        const unsigned total = lowCount + static_cast<unsigned>(__builtin_popcountll(highAll));
        // A full first half leaves nothing for the second (total <= 64).
        const Mask holes = _pext_u64(_pdep_u64(added & 0xFFFFFFFFu, kEven), lowAll)
                           | (_pext_u64(_pdep_u64(added >> 32, kEven), highAll) << (lowCount & 63));
        const Mask lfHoles = _pext_u64(_pdep_u64(addedLf & 0xFFFFFFFFu, kEven), lowAll)
                             | (_pext_u64(_pdep_u64(addedLf >> 32, kEven), highAll) << (lowCount & 63));
        const __m512i fill = _mm512_mask_blend_epi8(lfHoles, _mm512_set1_epi8('\r'), _mm512_set1_epi8('\n'));
        _mm512_storeu_si512(out + o, _mm512_mask_expand_epi8(fill, Below(total) & ~holes, packed));
        o += total;
        state.extraBytes += static_cast<unsigned>(__builtin_popcountll(b.cont));
        state.afterCr = (b.cr >> (b.taken - 1)) & 1;
        i = Advance(i, b.taken);
    }
    produced = o;
    return i;
}

std::size_t Utf8CheckAvx512(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf)
{
    const ThreeByteTables& tables = Tables(byteOf);
    std::size_t i = 0;
    while (i + 64 <= n) {
        const __m512i v = _mm512_loadu_si512(in + i);
        // Line breaks change nothing in whether a text converts.
        const Block b = Classify<false>(v, false, false, tables);
        if (b.taken == 0)
            break;
        state.extraBytes += static_cast<unsigned>(__builtin_popcountll(b.cont));
        i = Advance(i, b.taken);
    }
    return i;
}

} // namespace karsidan::detail

#endif
