// UTF-8 to the code page 64 bytes at a time with AVX-512 (BW, VBMI, VBMI2):
// the common characters (ASCII, line breaks, U+00A0-U+00FF and the code
// page's characters of the form E2 80 xx, the euro sign and the trade mark)
// are judged with masks, turned into their bytes in place and packed with
// one compress. The blocks stop at the first that holds anything else and
// step back to a character's start, so the careful path sees it (and words
// any error) as before.
// Compiled with the AVX-512 flags; called only once the processor is known
// to support them.
#if defined(__x86_64__)

#include "codepage/AsciiRuns.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace karsidan::detail {
namespace {

using Mask = std::uint64_t;

constexpr Mask Below(unsigned n) { return n >= 64 ? ~Mask{0} : (Mask{1} << n) - 1; }

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

// Lane k of permutex2var(previous block, index, this block): the byte one
// (two) before byte k.
struct Behind {
    __m512i one;
    __m512i two;
};

Behind Indexes()
{
    alignas(64) std::array<unsigned char, 64> back1{}, back2{};
    for (unsigned k = 0; k < 64; ++k) {
        back1[k] = static_cast<unsigned char>(63 + k);
        back2[k] = static_cast<unsigned char>(62 + k);
    }
    return {_mm512_load_si512(back1.data()), _mm512_load_si512(back2.data())};
}

[[gnu::always_inline]] inline __m512i Bytes(unsigned char b) { return _mm512_set1_epi8(static_cast<char>(b)); }

// One block judged with the two bytes before each of its bytes: a byte
// after C2, C3 or E2, or two after E2, is a continuation byte and no other
// is, and the characters are those the blocks know. Each character is
// taken at its last byte, so a block may end within one.
struct Judged {
    Mask cont, leads, oneC3, oneE2, twoE2;
    Mask wrong; // anything else: the careful path's
    __m512i three; // the byte of E2 xx yy, at yy
};

[[gnu::always_inline]] inline Judged Judge(__m512i v, __m512i one, __m512i two, __m512i page80, __m512i page82)
{
    Judged j;
    j.cont = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, Bytes(0xC0)), Bytes(0x80));
    j.leads = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, Bytes(0xFE)), Bytes(0xC2))
        | _mm512_cmpeq_epi8_mask(v, Bytes(0xE2));
    const Mask oneC2 = _mm512_cmpeq_epi8_mask(one, Bytes(0xC2));
    j.oneC3 = _mm512_cmpeq_epi8_mask(one, Bytes(0xC3));
    j.oneE2 = _mm512_cmpeq_epi8_mask(one, Bytes(0xE2));
    j.twoE2 = _mm512_cmpeq_epi8_mask(two, Bytes(0xE2));
    // The last byte of E2 xx yy: yy's low bits index the page of xx; the
    // trade mark, E2 84 A2, is the one character of its page.
    const Mask mid82 = _mm512_cmpeq_epi8_mask(one, Bytes(0x82));
    const Mask tradeMark = _mm512_cmpeq_epi8_mask(one, Bytes(0x84)) & _mm512_cmpeq_epi8_mask(v, Bytes(0xA2));
    const __m512i low = _mm512_and_si512(v, Bytes(0x3F));
    const __m512i picked = _mm512_permutex2var_epi8(
        page80, _mm512_mask_blend_epi8(mid82, low, _mm512_or_si512(low, Bytes(0x40))), page82);
    j.three = _mm512_mask_mov_epi8(_mm512_maskz_mov_epi8(_mm512_cmpeq_epi8_mask(one, Bytes(0x80)) | mid82, picked),
                                   tradeMark, Bytes(0x99));
    const Mask known3 = _mm512_test_epi8_mask(j.three, j.three);
    j.wrong = (j.cont ^ (oneC2 | j.oneC3 | j.oneE2 | j.twoE2)) | (_mm512_movepi8_mask(v) & ~j.cont & ~j.leads)
        | (oneC2 & _mm512_cmplt_epu8_mask(v, Bytes(0xA0))) | (j.twoE2 & ~known3);
    return j;
}

// Where the blocks stopped, stepped back to the start of a character they
// did not finish; takes its continuation byte off the count.
std::size_t StepBack(const char* in, std::size_t i, unsigned long long& continuations)
{
    const auto at = [in](std::size_t k) { return static_cast<unsigned char>(in[k]); };
    if (i >= 1 && ((at(i - 1) & 0xFE) == 0xC2 || at(i - 1) == 0xE2))
        return i - 1;
    if (i >= 2 && at(i - 2) == 0xE2) {
        continuations -= 1;
        return i - 2;
    }
    return i;
}

// The kept bytes, each with a CR before it where `breaks` says, to out;
// returns how many, at most 64 (the caller sees to that). For blocks of
// many line breaks: its masks cost more than a store per break.
[[gnu::always_inline]] inline unsigned EmitSpread(Mask keep, Mask breaks, __m512i values, char* out)
{
    const __m512i packed = _mm512_maskz_compress_epi8(keep, values);
    // Every position gives a slot for the CR before it and one for its own
    // byte; the slots present, packed, are the output.
    constexpr Mask kEven = 0x5555555555555555ull, kOdd = 0xAAAAAAAAAAAAAAAAull;
    const Mask lowBreaks = _pdep_u64(breaks & 0xFFFFFFFFu, kEven);
    const Mask highBreaks = _pdep_u64(breaks >> 32, kEven);
    const Mask lowAll = lowBreaks | _pdep_u64(keep & 0xFFFFFFFFu, kOdd);
    const Mask highAll = highBreaks | _pdep_u64(keep >> 32, kOdd);
    const unsigned lowCount = static_cast<unsigned>(__builtin_popcountll(lowAll));
    const unsigned total = lowCount + static_cast<unsigned>(__builtin_popcountll(highAll));
    // A full first half leaves nothing for the second.
    const Mask holes = _pext_u64(lowBreaks, lowAll) | (_pext_u64(highBreaks, highAll) << (lowCount & 63));
    _mm512_storeu_si512(out, _mm512_mask_expand_epi8(Bytes('\r'), Below(total) & ~holes, packed));
    return total;
}

// The kept bytes with a CR before each of a few breaks: all of them packed,
// then again from each break on, one place further for every CR so far.
// The first round runs even without a break, so that the usual blocks (of
// none or one) take the same steps and nothing is mispredicted; its store
// and CR then land past the end. A store may write up to 64 bytes past the
// end: within the room of 2 bytes per byte of input, as a whole block
// still follows.
[[gnu::always_inline]] inline unsigned EmitFew(Mask keep, Mask breaks, __m512i values, char* out)
{
    const auto total = static_cast<unsigned>(__builtin_popcountll(keep) + __builtin_popcountll(breaks));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, values));
    unsigned crs = 0;
    do {
        const Mask front = _bzhi_u64(keep, static_cast<unsigned>(_tzcnt_u64(breaks)));
        const unsigned at = static_cast<unsigned>(__builtin_popcountll(front)) + crs;
        _mm512_storeu_si512(out + at + 1, _mm512_maskz_compress_epi8(keep ^ front, values));
        out[at] = '\r';
        breaks &= breaks - 1;
        ++crs;
    } while (breaks != 0);
    return total;
}

// The kept bytes of a block with a CR before each break, by the way that
// suits their count.
[[gnu::always_inline]] inline unsigned Put(Mask keep, Mask breaks, __m512i values, char* out)
{
    if (__builtin_popcountll(breaks) <= 3) [[likely]]
        return EmitFew(keep, breaks, values, out);
    if (__builtin_popcountll(keep) + __builtin_popcountll(breaks) <= 64)
        return EmitSpread(keep, breaks, values, out);
    // Line breaks enough to pass a vector's width: a half at a time.
    constexpr Mask kLow = 0xFFFFFFFFu;
    const unsigned low = EmitSpread(keep & kLow, breaks & kLow, values, out);
    return low + EmitSpread(keep & ~kLow, breaks & ~kLow, values, out + low);
}

// A CR gives CR LF, and so does an LF unless it follows a CR: both keep
// an LF with a CR before it. crBefore: 1 when the byte before the block
// was a CR; the block's own last one on return.
struct LineBreaks {
    Mask cr, lfAfterCr, breaks;
};

[[gnu::always_inline]] inline LineBreaks Lines(__m512i v, Mask& crBefore)
{
    const Mask lf = _mm512_cmpeq_epi8_mask(v, Bytes('\n'));
    const Mask cr = _mm512_cmpeq_epi8_mask(v, Bytes('\r'));
    const Mask lfAfterCr = lf & ((cr << 1) | crBefore);
    crBefore = cr >> 63;
    return {cr, lfAfterCr, cr | (lf & ~lfAfterCr)};
}

[[gnu::always_inline]] inline unsigned PutAll(__m512i v, char* out)
{
    _mm512_storeu_si512(out, v);
    return 64;
}

[[gnu::always_inline]] inline unsigned PutLines(__m512i v, Mask& crBefore, char* out)
{
    const LineBreaks lines = Lines(v, crBefore);
    return Put(~lines.lfAfterCr, lines.breaks, _mm512_mask_mov_epi8(v, lines.cr, Bytes('\n')), out);
}

// Whether a good block ends within a character: with a lead byte, or with
// the lead of three bytes one before the end. A plain run must not follow
// then, as it would leave the character unfinished unseen.
[[gnu::always_inline]] inline bool Open(const char* block)
{
    const auto last = static_cast<unsigned char>(block[63]);
    return (last & 0xFE) == 0xC2 || last == 0xE2 || static_cast<unsigned char>(block[62]) == 0xE2;
}

// Plain ASCII runs at memory speed: runs of four blocks without a byte
// above 0x7F, as whole stretches of most text are, go to plain(run) and
// need nothing but their line breaks seen to. After a run that is not
// plain, a stretch of blocks goes to block(v), which judges each and
// returns false where the careful path must take over; so text with a
// letter in most runs pays for the look at a run only now and then. The
// stretch never ends with a block that ends within a character: a plain
// run after it would leave the character unfinished unseen. Returns where
// the blocks stopped.
constexpr std::size_t kRun = 4 * 64;
constexpr std::size_t kStretch = 16 * 64;

template <class Block, class PlainRun>
[[gnu::always_inline]] inline std::size_t Blocks(const char* in, std::size_t n, Block block, PlainRun plain)
{
    std::size_t i = 0;
    for (;;) {
        while (i + kRun <= n) {
            const __m512i any = _mm512_or_si512(
                _mm512_or_si512(_mm512_loadu_si512(in + i), _mm512_loadu_si512(in + i + 64)),
                _mm512_or_si512(_mm512_loadu_si512(in + i + 128), _mm512_loadu_si512(in + i + 192)));
            if (_mm512_movepi8_mask(any) != 0)
                break;
            plain(in + i);
            i += kRun;
        }
        // A stretch of blocks judged, longer while one ends within a
        // character.
        const std::size_t stretch = std::min(n, i + kStretch);
        for (; i + 64 <= stretch; i += 64)
            if (!block(_mm512_loadu_si512(in + i)))
                return i;
        for (; i + 64 <= n && Open(in + i - 64); i += 64)
            if (!block(_mm512_loadu_si512(in + i)))
                return i;
        if (i + 64 > n)
            return i;
    }
}

} // namespace

std::size_t Utf8ToCodePageAvx512(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                                 const unsigned char* byteOf)
{
    const ThreeByteTables& tables = Tables(byteOf);
    const __m512i page80 = _mm512_load_si512(tables.page80.data());
    const __m512i page82 = _mm512_load_si512(tables.page82.data());
    const Behind behind = Indexes();
    // The byte before the first: a CR when the last character was one.
    __m512i previous = _mm512_maskz_mov_epi8(state.afterCr ? Mask{1} << 63 : 0, Bytes('\r'));
    Mask crBefore = state.afterCr ? 1 : 0;
    unsigned long long continuations = 0;
    std::size_t o = 0;
    // One block judged and converted; false where the careful path takes over.
    const auto block = [&](__m512i v) __attribute__((always_inline))
    {
        const __m512i one = _mm512_permutex2var_epi8(previous, behind.one, v);
        const __m512i two = _mm512_permutex2var_epi8(previous, behind.two, v);
        const Judged j = Judge(v, one, two, page80, page82);
        if (j.wrong != 0)
            return false;
        // A letter of U+00A0-U+00FF is its second byte, plus 0x40 after C3.
        __m512i values = _mm512_mask_add_epi8(v, j.cont & j.oneC3, v, Bytes(0x40));
        values = _mm512_mask_mov_epi8(values, j.twoE2, j.three);
        Mask keep = ~j.leads & ~(j.cont & j.oneE2);
        Mask breaks = 0;
        if (state.windowText) {
            const LineBreaks lines = Lines(v, crBefore);
            keep &= ~lines.lfAfterCr;
            breaks = lines.breaks;
            values = _mm512_mask_mov_epi8(values, lines.cr, Bytes('\n'));
        }
        o += Put(keep, breaks, values, out + o);
        continuations += static_cast<unsigned>(__builtin_popcountll(j.cont));
        previous = v;
        return true;
    };
    const auto plain = [&](const char* run) __attribute__((always_inline))
    {
        for (std::size_t k = 0; k < kRun; k += 64) {
            previous = _mm512_loadu_si512(run + k);
            o += state.windowText ? PutLines(previous, crBefore, out + o) : PutAll(previous, out + o);
        }
    };
    const std::size_t i = Blocks(in, n, block, plain);
    const std::size_t end = StepBack(in, i, continuations);
    if (end > 0)
        state.afterCr = state.windowText && in[end - 1] == '\r';
    state.extraBytes += continuations;
    produced = o;
    return end;
}

std::size_t Utf8CheckAvx512(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf)
{
    const ThreeByteTables& tables = Tables(byteOf);
    const __m512i page80 = _mm512_load_si512(tables.page80.data());
    const __m512i page82 = _mm512_load_si512(tables.page82.data());
    const Behind behind = Indexes();
    __m512i previous = _mm512_setzero_si512();
    unsigned long long continuations = 0;
    const auto block = [&](__m512i v) __attribute__((always_inline))
    {
        const Judged j = Judge(v, _mm512_permutex2var_epi8(previous, behind.one, v),
                               _mm512_permutex2var_epi8(previous, behind.two, v), page80, page82);
        if (j.wrong != 0)
            return false;
        continuations += static_cast<unsigned>(__builtin_popcountll(j.cont));
        previous = v;
        return true;
    };
    const auto plain = [&](const char* run) __attribute__((always_inline))
    {
        previous = _mm512_loadu_si512(run + kRun - 64);
    };
    const std::size_t end = StepBack(in, Blocks(in, n, block, plain), continuations);
    state.extraBytes += continuations;
    return end;
}

} // namespace karsidan::detail

#endif
