#pragma once
// The three keys of one command, made once from the key boxes' texts in
// box order. Holds the rules a key text must meet and does all the work
// that depends on the keys alone: the effective 64-bit keys, the round
// keys and the bitsliced masks. It knows which key each pass uses, so no
// caller reorders keys for decryption.
//
// Rules, checked in this order and reported as KeyError: a box of nothing
// but spaces ("Kunci N kosong"; the first such box, all boxes checked
// before anything else), a character the code page cannot hold ("Kunci N
// tidak dapat dipakai. ..."), more than 8 characters after trimming
// ("Kunci N lebih dari 8 karakter").
//
// Only the class of a key's characters (space or not, code-page range) and
// its length steer a branch; the character codes themselves go through
// masks, as do the key schedule and the masks.

#include "cipher/bitslice/RoundKeyMasks.h"
#include "cipher/bitslice/TripleDesBitslice.h"
#include "cipher/des/DesRoundKeys.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace karsidan {

// Encryption: E with box 1, D with box 2, E with box 3. Decryption: D with
// box 3, E with box 2, D with box 1.
enum class PassOrder { Encryption, Decryption };

class TripleDesKeys {
public:
    static constexpr std::size_t kMaxCharacters = 8;

    // Keys as typed: UTF-16 (the window's boxes, command-line options),
    // UTF-8 (the environment) or code-page bytes already.
    static TripleDesKeys FromUtf16(std::u16string_view key1, std::u16string_view key2, std::u16string_view key3);
    static TripleDesKeys FromUtf8(std::string_view key1, std::string_view key2, std::string_view key3);
    static TripleDesKeys FromCodePage(std::string_view key1, std::string_view key2, std::string_view key3);

    // The DES key of box 1, 2 or 3: its code-page bytes after trimming,
    // completed with 0xB7 to eight.
    std::uint64_t Effective(int box) const noexcept { return effective_[box - 1]; }
    const DesRoundKeys& RoundKeys(int box) const noexcept { return rounds_[box - 1]; }

    // The three passes in the order they run.
    std::array<bitslice::DesPass, 3> Passes(PassOrder order) const noexcept;
    // Made on first use, once for each order; safe from several threads.
    const bitslice::RoundKeyMasks& Masks(PassOrder order) const;

private:
    struct MaskCache;
    explicit TripleDesKeys(const std::array<std::uint64_t, 3>& effective);

    std::array<std::uint64_t, 3> effective_;
    std::array<DesRoundKeys, 3> rounds_;
    std::shared_ptr<MaskCache> masks_; // shared by copies: they hold the same keys
};

} // namespace karsidan
