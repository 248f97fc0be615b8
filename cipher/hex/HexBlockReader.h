#pragma once
// Reads the valid digits ('0'-'9', 'A'-'F') of a cipher text sixteen to a
// block, skipping every other character, a buffer at a time.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace karsidan {

class HexBlockReader {
public:
    explicit HexBlockReader(std::string_view text) noexcept : rest_(text) {}

    // Fills out with whole blocks; returns how many, 0 once the text is used up.
    std::size_t Read(std::span<std::uint64_t> out) noexcept;

    // Digits left over after the last whole block, right-aligned; 0 to 15.
    std::uint64_t tail() const noexcept { return acc_; }
    int tailDigits() const noexcept { return digits_; }

private:
    std::string_view rest_;
    std::uint64_t acc_ = 0;
    int digits_ = 0;
};

} // namespace karsidan
