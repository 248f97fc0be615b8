#include "codepage/AsciiRuns.h"

#include "codepage/CodePage.h"
#include "codepage/Utf8FastLoop.h"
#include "cpu/CpuFeatures.h"

#include <array>
#include <memory>

#if defined(__x86_64__)
#include <emmintrin.h>
#include <initializer_list>
#endif

namespace karsidan {
namespace detail {

bool IsControlByte(unsigned char b) noexcept
{
    if (b < 0x20)
        return b != '\t' && b != '\n' && b != '\r';
    return b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

namespace {

std::size_t CopyPlainScalar(const char* in, std::size_t n, char* out, char stopA, char stopB)
{
    std::size_t i = 0;
    for (; i < n; ++i) {
        const char c = in[i];
        if (static_cast<unsigned char>(c) >= 0x80 || c == stopA || c == stopB)
            break;
        out[i] = c;
    }
    return i;
}

std::size_t FindControlScalar(const char* in, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (IsControlByte(static_cast<unsigned char>(in[i])))
            return i;
    return n;
}

#if defined(__x86_64__)
std::size_t CopyPlainSse2(const char* in, std::size_t n, char* out, char stopA, char stopB)
{
    const __m128i a = _mm_set1_epi8(stopA);
    const __m128i b = _mm_set1_epi8(stopB);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
        // The sign bit marks bytes of 0x80 and above.
        const __m128i stop = _mm_or_si128(v, _mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)));
        if (const int mask = _mm_movemask_epi8(stop))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
    return i + CopyPlainScalar(in + i, n - i, out + i, stopA, stopB);
}

struct Sse2 {
    static constexpr std::size_t kWidth = 16;
    static unsigned High(const char* in)
    {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))));
    }
    static unsigned Specials(const char* in, char* out, char stopA, char stopB)
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
        const __m128i stop = _mm_or_si128(
            v, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(stopA)), _mm_cmpeq_epi8(v, _mm_set1_epi8(stopB))));
        return static_cast<unsigned>(_mm_movemask_epi8(stop));
    }
};

std::size_t Utf8ToCodePageSse2(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                               const unsigned char* byteOf)
{
    return Utf8ToCodePageLoop<Sse2>(in, n, out, produced, state, byteOf);
}

std::size_t Utf8CheckSse2(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf)
{
    return Utf8CheckLoop<Sse2>(in, n, state, byteOf);
}

std::size_t CodePageToUtf8Sse2(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                               const Utf8Bytes* high)
{
    return CodePageToUtf8Loop<Sse2>(in, n, out, produced, windowText, high);
}

std::size_t FindControlSse2(const char* in, std::size_t n)
{
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i below20 = _mm_set1_epi8(static_cast<char>(0x20 ^ 0x80));
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i del = _mm_set1_epi8(0x7F);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        // Unsigned v < 0x20 as a signed compare of the biased bytes.
        const __m128i low = _mm_cmplt_epi8(_mm_xor_si128(v, bias), below20);
        const __m128i allowed = _mm_or_si128(_mm_cmpeq_epi8(v, tab),
                                             _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        __m128i control = _mm_or_si128(_mm_andnot_si128(allowed, low), _mm_cmpeq_epi8(v, del));
        // The five C1 controls the code page keeps.
        for (const char c1 : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
            control = _mm_or_si128(control, _mm_cmpeq_epi8(v, _mm_set1_epi8(c1)));
        if (const int mask = _mm_movemask_epi8(control))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
    return i + FindControlScalar(in + i, n - i);
}
#endif

} // namespace

const unsigned char* CodePageByteTable()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<unsigned char, 0x10000>>();
        t->fill(0);
        for (unsigned b = 0x80; b < 0x100; ++b)
            (*t)[ByteToUnicode(static_cast<unsigned char>(b))] = static_cast<unsigned char>(b);
        return t;
    }();
    return table->data();
}

Utf8ToCodePageFastFn Utf8ToCodePageFastFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx512)
        return Utf8ToCodePageAvx512;
    if (level == AsciiLevel::Avx2)
        return Utf8ToCodePageAvx2;
    if (level == AsciiLevel::Sse2)
        return Utf8ToCodePageSse2;
#endif
    (void)level;
    return nullptr;
}

Utf8CheckFastFn Utf8CheckFastFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx512)
        return Utf8CheckAvx512;
    if (level == AsciiLevel::Avx2)
        return Utf8CheckAvx2;
    if (level == AsciiLevel::Sse2)
        return Utf8CheckSse2;
#endif
    (void)level;
    return nullptr;
}

CodePageToUtf8FastFn CodePageToUtf8FastFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx2 || level == AsciiLevel::Avx512)
        return CodePageToUtf8Avx2;
    if (level == AsciiLevel::Sse2)
        return CodePageToUtf8Sse2;
#endif
    (void)level;
    return nullptr;
}

CodePageToUtf8BlocksFn CodePageToUtf8BlocksFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx512)
        return CodePageToUtf8Avx512;
#endif
    (void)level;
    return nullptr;
}

CopyPlainFn CopyPlainFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx2 || level == AsciiLevel::Avx512)
        return CopyPlainAvx2;
    if (level == AsciiLevel::Sse2)
        return CopyPlainSse2;
#endif
    (void)level;
    return CopyPlainScalar;
}

FindControlFn FindControlFor(AsciiLevel level) noexcept
{
#if defined(__x86_64__)
    if (level == AsciiLevel::Avx2 || level == AsciiLevel::Avx512)
        return FindControlAvx2;
    if (level == AsciiLevel::Sse2)
        return FindControlSse2;
#endif
    (void)level;
    return FindControlScalar;
}

} // namespace detail

AsciiLevel BestAsciiLevel() noexcept
{
#if defined(__x86_64__)
    static const AsciiLevel level = [] {
        const cpu::Features& cpu = cpu::Detected();
        // The AVX-512 conversions are built with BMI1, BMI2 and POPCNT too.
        if (cpu.avx512bw && cpu.avx512vbmi && cpu.avx512vbmi2 && cpu.bmi1 && cpu.bmi2 && cpu.popcnt)
            return AsciiLevel::Avx512;
        // SSE2 is part of every x86-64.
        return cpu.avx2 ? AsciiLevel::Avx2 : AsciiLevel::Sse2;
    }();
    return level;
#else
    return AsciiLevel::Scalar;
#endif
}

} // namespace karsidan
