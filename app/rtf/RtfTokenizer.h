#pragma once
// Splits RTF bytes into tokens. Bounded work per byte, no allocation, and
// total on any input: truncated escapes, endless digits or an absurd \bin
// length end at the end of the data.

#include "app/rtf/RtfToken.h"

#include <cstddef>
#include <string_view>

namespace karsidan::rtf {

class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view data) : data_(data) { }

    Token Next();
    bool AtEnd() const { return position_ >= data_.size(); }

    // Longest control word kept; longer ones are read whole but never match.
    static constexpr std::size_t kMaxWordLength = 32;

private:
    Token ReadControl();
    Token ReadControlWord();
    Token ReadHexByte();
    Token ReadText();
    int Peek() const;

    std::string_view data_;
    std::size_t position_ = 0;
};

} // namespace karsidan::rtf
