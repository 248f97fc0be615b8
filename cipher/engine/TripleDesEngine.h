#pragma once
// Whole-text Triple DES (three keys, EDE, ECB) over code-page bytes.
// Texts and keys are byte strings in the code page of CodePage.h.
// Each engine object owns its key slots and block halves, so a transform
// can run on a worker thread; two objects never share state. One object
// runs one transform at a time.
//
// The whole-text entries run on 64-bit blocks (DesKernel.h), long texts on
// the bitsliced kernels across all cores (bitslice/BulkTripleDes.h). The members
// below them are the character-per-bit form of the same cipher, kept as the
// readable reference the fast path is tested against; it also transforms the
// 60-bit last block of a cipher text with an odd number of digits.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace karsidan {

class TripleDesEngine {
public:
    // Called now and then with blocks done so far and blocks in all passes.
    // It may throw to cancel: the exception passes to the caller and the
    // transform returns nothing.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // Keys in box order. Outer spaces of text and keys are dropped; a key's
    // first 8 characters count. Throws std::invalid_argument naming a blank
    // key ("Kunci 2 kosong").
    std::string TripleDesEncrypt(std::string_view text, std::string_view key1,
                                 std::string_view key2, std::string_view key3,
                                 const Progress& progress = {});

    // Keys in the order their passes use them: the caller passes the boxes
    // third, second, first, and a blank key is named by its box number.
    // Lenient: characters other than '0'-'9' and 'A'-'F' are skipped (check
    // with CheckCipherText first). Removes the padding: the run of 0xB7
    // bytes at the very end, at most 7.
    std::string TripleDesDecrypt(std::string_view cipher, std::string_view keyA,
                                 std::string_view keyB, std::string_view keyC,
                                 const Progress& progress = {});

    // Texts of at least this many blocks run on the bitsliced kernels
    // (cipher/bitslice) across all cores; shorter ones on the 64-bit table
    // path, which starts faster. Both give the same bytes; tests move the
    // threshold to compare them.
    static constexpr std::size_t kDefaultBitsliceMinBlocks = 64;
    std::size_t bitsliceMinBlocks = kDefaultBitsliceMinBlocks;

    // --- Character-per-bit form -----------------------------------------

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

    using Slot = std::array<std::string, 16>;
    Slot Subkeys1;
    Slot Subkeys2;
    Slot Subkeys3;
    std::string LeftHalf;
    std::string RightHalf;

private:
    Slot& SlotFor(int slot);
};

} // namespace karsidan
