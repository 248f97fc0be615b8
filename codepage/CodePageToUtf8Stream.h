#pragma once
// Code-page bytes to UTF-8, piece by piece: the same text as
// CodePageToUtf8 of the whole, whatever the cut between pieces. Runs of
// ASCII are copied 16 or 32 bytes at a time. Never fails.
//
// With window line breaks on, CR LF becomes LF, as a text file has it on
// this system; a CR not followed by LF stays.

#include "codepage/AsciiRuns.h"

#include <cstddef>
#include <string_view>

namespace karsidan {

class CodePageToUtf8Stream {
public:
    struct Options {
        bool windowText = false; // CR LF to LF
        AsciiLevel level = BestAsciiLevel();
    };

    CodePageToUtf8Stream() : CodePageToUtf8Stream(Options{}) {}
    explicit CodePageToUtf8Stream(const Options& options);

    // Room Convert and Finish need in out for n bytes of input.
    static constexpr std::size_t MaxOutput(std::size_t n) { return 3 * n + 8 + detail::kAsciiSlack; }

    // Converts the next piece into out and returns how many bytes it wrote.
    // A CR at the end of a piece waits for the next.
    std::size_t Convert(std::string_view bytes, char* out);
    // The end of the text: writes a CR still waiting; returns its length.
    std::size_t Finish(char* out);

private:
    bool windowText_;
    detail::CodePageToUtf8FastFn fast_;
    detail::CopyPlainFn copyPlain_;
    bool heldCr_ = false;
};

} // namespace karsidan
