#pragma once
// Code-page bytes to UTF-8, piece by piece: the same text as
// CodePageToUtf8 of the whole, whatever the cut between pieces. Runs of
// ASCII are copied 16 or 32 bytes at a time, and with AVX-512 all bytes go
// 64 at a time. Never fails.
//
// With window line breaks on, CR LF becomes LF, as a text file has it on
// this system; a CR not followed by LF stays.
//
// On the way it notes whether the text holds a control byte, as
// FindControlByte has them: decrypted with a wrong key, it almost always
// does, and the AVX-512 blocks see that without reading the text again.

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

    CodePageToUtf8Stream() : CodePageToUtf8Stream(Options{}) { }
    explicit CodePageToUtf8Stream(const Options& options);

    // Room Convert and Finish need in out for n bytes of input.
    static constexpr std::size_t MaxOutput(std::size_t n) { return 3 * n + 8 + detail::kAsciiSlack; }

    // Converts the next piece into out and returns how many bytes it wrote.
    // A CR at the end of a piece waits for the next.
    std::size_t Convert(std::string_view bytes, char* out);
    // The end of the text: writes a CR still waiting; returns its length.
    std::size_t Finish(char* out);

    // A control byte other than tab, CR and LF in the pieces so far.
    bool controlBytes() const noexcept { return controlBytes_; }

private:
    bool windowText_;
    detail::CodePageToUtf8BlocksFn blocks_;
    detail::CodePageToUtf8FastFn fast_;
    detail::CopyPlainFn copyPlain_;
    detail::FindControlFn findControl_;
    bool heldCr_ = false;
    bool controlBytes_ = false;
};

} // namespace karsidan
