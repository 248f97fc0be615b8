#pragma once
// UTF-8 text to code-page bytes, piece by piece as it is read: the same
// bytes and the same errors as Utf8ToCodePage of the whole text, whatever
// the cut between pieces (a sequence may be split anywhere). Runs of ASCII
// are copied 16 or 32 bytes at a time.
//
// With window line breaks on, every line break becomes CR LF, as the
// window's editor hands its text to the engine: LF, CR LF and a lone CR
// alike. A byte-order mark at the very start is dropped, as the window's
// reader drops it.

#include "codepage/AsciiRuns.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace karsidan {

class Utf8ToCodePageStream {
public:
    struct Options {
        bool windowText = false; // line breaks to CR LF, a leading byte-order mark dropped
        AsciiLevel level = BestAsciiLevel();
    };

    Utf8ToCodePageStream() : Utf8ToCodePageStream(Options{}) { }
    explicit Utf8ToCodePageStream(const Options& options);

    // Room Convert needs in out for n bytes of input.
    static constexpr std::size_t MaxOutput(std::size_t n) { return 2 * n + 8 + detail::kAsciiSlack; }

    // Converts the next piece into out (MaxOutput(utf8.size()) bytes) and
    // returns how many bytes it wrote. A sequence cut at the end of the
    // piece waits for the next. Throws std::invalid_argument for malformed
    // UTF-8 and UnmappableCharacterError, with the positions in the whole
    // text; the stream is of no further use then.
    std::size_t Convert(std::string_view utf8, char* out);
    // Only whether the next piece converts: the same errors as Convert,
    // without writing the bytes, faster. A stream is either checked or
    // converted, not both.
    void Check(std::string_view utf8);
    // The end of the text: throws for a sequence left unfinished.
    void Finish() const;

private:
    std::size_t Sequence(const unsigned char* s, std::size_t length, unsigned long long start, char* out);
    std::size_t LineBreak(char c, char* out);
    [[noreturn]] void Malformed(unsigned long long at) const;

    detail::FastState state_; // line breaks, and continuation bytes to count characters
    detail::Utf8ToCodePageFastFn fast_;
    detail::Utf8CheckFastFn check_;
    const unsigned char* byteOf_;
    detail::CopyPlainFn copyPlain_;
    unsigned long long bytes_ = 0; // input bytes before the current piece
    std::array<unsigned char, 4> held_{}; // a sequence cut by the end of a piece
    std::size_t heldSize_ = 0;
};

} // namespace karsidan
