#include "codepage/Utf8ToCodePageStream.h"

#include "codepage/CodePage.h"
#include "codepage/Utf8Sequence.h"

#include <stdexcept>
#include <string>

namespace karsidan {
Utf8ToCodePageStream::Utf8ToCodePageStream(const Options& options)
    : fast_(detail::Utf8ToCodePageFastFor(options.level)), check_(detail::Utf8CheckFastFor(options.level)),
      byteOf_(detail::CodePageByteTable()), copyPlain_(detail::CopyPlainFor(options.level))
{
    state_.windowText = options.windowText;
}

void Utf8ToCodePageStream::Malformed(unsigned long long at) const
{
    throw std::invalid_argument("Teks UTF-8 tidak sah pada byte ke-" + std::to_string(at + 1));
}

std::size_t Utf8ToCodePageStream::LineBreak(char c, char* out)
{
    // CR and LF each give CR LF; the LF of a CR LF gives nothing more.
    if (c == '\n' && state_.afterCr) {
        state_.afterCr = false;
        return 0;
    }
    state_.afterCr = c == '\r';
    out[0] = '\r';
    out[1] = '\n';
    return 2;
}

// One whole sequence whose lead is at input offset `start`.
std::size_t Utf8ToCodePageStream::Sequence(const unsigned char* s, std::size_t length, unsigned long long start,
                                           char* out)
{
    const auto decoded = detail::DecodeUtf8Sequence(s, length);
    if (!decoded)
        Malformed(start);
    const char32_t c = *decoded;
    const unsigned long long index = start - state_.extraBytes;
    state_.extraBytes += length - 1;
    state_.afterCr = false;
    if (c == 0xFEFF && start == 0 && state_.windowText)
        return 0;
    const auto byte = UnicodeToByte(c);
    if (!byte)
        throw UnmappableCharacterError(c, static_cast<std::size_t>(index));
    *out = static_cast<char>(*byte);
    return 1;
}

std::size_t Utf8ToCodePageStream::Convert(std::string_view utf8, char* out)
{
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    const unsigned long long base = bytes_;
    std::size_t i = 0;
    std::size_t o = 0;

    if (heldSize_ > 0) {
        // Complete the sequence the last piece cut, a byte at a time, so a
        // bad continuation is found as soon as it comes.
        const unsigned long long leadAt = base - heldSize_;
        const std::size_t length = detail::Utf8SequenceLength(held_[0]);
        while (heldSize_ < length && i < n) {
            held_[heldSize_++] = in[i++];
            if ((held_[heldSize_ - 1] & 0xC0) != 0x80)
                Malformed(leadAt);
        }
        if (heldSize_ < length) {
            bytes_ = base + n;
            return 0;
        }
        o += Sequence(held_.data(), length, leadAt, out + o);
        heldSize_ = 0;
    }

    const char stop = state_.windowText ? '\n' : '\x80';
    const char stopCr = state_.windowText ? '\r' : '\x80';
    while (i < n) {
        if (fast_) {
            std::size_t produced = 0;
            i += fast_(utf8.data() + i, n - i, out + o, produced, state_, byteOf_);
            o += produced;
            if (i == n)
                break;
        }
        // What the fast loop leaves: one character the careful way.
        const std::size_t run = copyPlain_(utf8.data() + i, n - i, out + o, stop, stopCr);
        if (run > 0) {
            i += run;
            o += run;
            state_.afterCr = false;
            if (i == n)
                break;
        }
        const unsigned char b = in[i];
        if (b < 0x80) {
            o += LineBreak(static_cast<char>(b), out + o);
            ++i;
            continue;
        }
        const std::size_t length = detail::Utf8SequenceLength(b);
        if (length == 0)
            Malformed(base + i);
        if (n - i < length) {
            // Cut by the end of the piece: keep it, after checking what came.
            for (std::size_t k = 1; k < n - i; ++k)
                if ((in[i + k] & 0xC0) != 0x80)
                    Malformed(base + i);
            for (std::size_t k = 0; k < n - i; ++k)
                held_[k] = in[i + k];
            heldSize_ = n - i;
            break;
        }
        o += Sequence(in + i, length, base + i, out + o);
        i += length;
    }
    bytes_ = base + n;
    return o;
}

void Utf8ToCodePageStream::Check(std::string_view utf8)
{
    // What the fast check leaves (a sequence cut by a piece, a character
    // it does not know, the last bytes) goes through Convert in small
    // steps, into a buffer of its own.
    constexpr std::size_t kStep = 64;
    char scratch[MaxOutput(kStep)];
    while (!utf8.empty()) {
        std::size_t good = 0;
        if (check_ && heldSize_ == 0) {
            good = check_(utf8.data(), utf8.size(), state_, byteOf_);
            bytes_ += good;
            utf8.remove_prefix(good);
        }
        const std::string_view step = utf8.substr(0, kStep);
        Convert(step, scratch);
        utf8.remove_prefix(step.size());
    }
}

void Utf8ToCodePageStream::Finish() const
{
    if (heldSize_ > 0)
        Malformed(bytes_ - heldSize_);
}

} // namespace karsidan
