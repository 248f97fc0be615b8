#include "codepage/CodePageToUtf8Stream.h"

#include "codepage/CodePage.h"

#include <array>

namespace karsidan {
namespace {

// UTF-8 of the upper half of the code page, worked out once.
using detail::Utf8Bytes;

const std::array<Utf8Bytes, 128>& HighTable()
{
    static const std::array<Utf8Bytes, 128> table = [] {
        std::array<Utf8Bytes, 128> t{};
        for (unsigned b = 0x80; b < 0x100; ++b) {
            const char32_t c = ByteToUnicode(static_cast<unsigned char>(b));
            Utf8Bytes& e = t[b - 0x80];
            if (c < 0x800) {
                e.length = 2;
                e.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
                e.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
            } else {
                e.length = 3;
                e.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
                e.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                e.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return t;
    }();
    return table;
}

} // namespace

CodePageToUtf8Stream::CodePageToUtf8Stream(const Options& options)
    : windowText_(options.windowText), blocks_(detail::CodePageToUtf8BlocksFor(options.level)),
      fast_(detail::CodePageToUtf8FastFor(options.level)), copyPlain_(detail::CopyPlainFor(options.level)),
      findControl_(detail::FindControlFor(options.level))
{ }

std::size_t CodePageToUtf8Stream::Convert(std::string_view bytes, char* out)
{
    const auto& high = HighTable();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    std::size_t o = 0;
    if (heldCr_ && n > 0) {
        heldCr_ = false;
        if (bytes[0] != '\n')
            out[o++] = '\r';
    }
    if (blocks_) {
        std::size_t produced = 0;
        i = blocks_(bytes.data(), n, out + o, produced, windowText_, controlBytes_, high.data());
        o += produced;
    }
    // The bytes the blocks did not see: all of them below AVX-512.
    if (!controlBytes_)
        controlBytes_ = findControl_(bytes.data() + i, n - i) < n - i;
    const char stop = windowText_ ? '\r' : '\x80';
    while (i < n) {
        if (fast_) {
            std::size_t produced = 0;
            i += fast_(bytes.data() + i, n - i, out + o, produced, windowText_, high.data());
            o += produced;
            if (i == n)
                break;
        }
        const std::size_t run = copyPlain_(bytes.data() + i, n - i, out + o, stop, stop);
        i += run;
        o += run;
        if (i == n)
            break;
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            // Dropped before an LF; kept otherwise.
            if (i + 1 == n) {
                heldCr_ = true;
                ++i;
                break;
            }
            if (bytes[i + 1] != '\n')
                out[o++] = '\r';
            ++i;
            continue;
        }
        const Utf8Bytes& e = high[b - 0x80];
        out[o] = e.bytes[0];
        out[o + 1] = e.bytes[1];
        out[o + 2] = e.bytes[2];
        o += e.length;
        ++i;
    }
    return o;
}

std::size_t CodePageToUtf8Stream::Finish(char* out)
{
    if (!heldCr_)
        return 0;
    heldCr_ = false;
    out[0] = '\r';
    return 1;
}

} // namespace karsidan
