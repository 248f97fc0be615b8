#pragma once
// Key schedule and block transform in character-per-bit form: the
// readable reference that the fast paths are tested against. Nothing in
// production runs it. Its key slots and block halves belong to one object,
// read-only from outside.

#include "cipher/padding/Padding.h"

#include <array>
#include <string>
#include <string_view>

namespace karsidan {

// (count / 8, rounded toward zero) copies of the padding byte's 8 bits.
std::string PadBits(int count);

class ReferenceTripleDes {
public:
    using Slot = std::array<std::string, 16>;

    // Fill slot 1, 2 or 3 from a key text. A blank key leaves 16 empty round
    // keys, with which DesBlock fails (std::invalid_argument).
    void LoadKey1(std::string_view key);
    void LoadKey2(std::string_view key);
    void LoadKey3(std::string_view key);
    // Rotates the halves of a PC-1 result and stores the 16 round keys in a
    // slot; any slot number other than 1 to 3 stores nothing.
    void BuildSubkeys(std::string_view cd, int slot);

    // One DES block (normally 64 bits) with a slot's round keys; any
    // non-zero flag encrypts. Returns 16 hex digits.
    std::string DesBlock(std::string_view block, int slot, int flag);
    void SplitBlock(std::string_view bits);
    std::string RoundFunction(std::string_view right, int round, int slot) const;

    const Slot& Subkeys1() const noexcept { return subkeys1_; }
    const Slot& Subkeys2() const noexcept { return subkeys2_; }
    const Slot& Subkeys3() const noexcept { return subkeys3_; }

private:
    Slot& SlotFor(int slot);

    Slot subkeys1_;
    Slot subkeys2_;
    Slot subkeys3_;
    std::string leftHalf_;
    std::string rightHalf_;
};

} // namespace karsidan
