#include "tests/cipher/bitslice/ReferenceDes.h"

#include "cipher/bitslice/BitsliceTables.h"

namespace karsidan::bitslice::test {

namespace {

using namespace tables;

// Bit i (1-based, 1 = most significant) of a value `width` bits wide.
int Bit(std::uint64_t v, int width, int i) { return int((v >> (width - i)) & 1); }

template <std::size_t N>
std::uint64_t Permute(std::uint64_t v, int width, const std::array<std::uint8_t, N>& table)
{
    std::uint64_t out = 0;
    for (std::uint8_t from : table) {
        out = (out << 1) | std::uint64_t(Bit(v, width, from));
    }
    return out;
}

std::uint32_t Rotate28(std::uint32_t v, int by) { return ((v << by) | (v >> (28 - by))) & 0x0FFFFFFF; }

std::uint32_t F(std::uint32_t r, std::uint64_t subkey)
{
    const std::uint64_t x = Permute(r, 32, kE) ^ subkey;
    std::uint32_t s = 0;
    for (int g = 0; g < 8; ++g) {
        const int six = int((x >> (42 - 6 * g)) & 63);
        const int row = ((six >> 4) & 2) | (six & 1);
        const int column = (six >> 1) & 15;
        s = (s << 4) | Sbox(g, row, column);
    }
    return std::uint32_t(Permute(s, 32, kP));
}

} // namespace

std::uint64_t ReferenceDes(std::uint64_t block, std::uint64_t key, bool encrypt)
{
    const std::uint64_t cd = Permute(key, 64, kPC1);
    std::uint32_t c = std::uint32_t(cd >> 28);
    std::uint32_t d = std::uint32_t(cd & 0x0FFFFFFF);
    std::uint64_t subkeys[16];
    for (int i = 0; i < 16; ++i) {
        c = Rotate28(c, kShifts[i]);
        d = Rotate28(d, kShifts[i]);
        subkeys[i] = Permute((std::uint64_t(c) << 28) | d, 56, kPC2);
    }
    const std::uint64_t ip = Permute(block, 64, kIP);
    std::uint32_t l = std::uint32_t(ip >> 32);
    std::uint32_t r = std::uint32_t(ip);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t next = l ^ F(r, subkeys[encrypt ? i : 15 - i]);
        l = r;
        r = next;
    }
    return Permute((std::uint64_t(r) << 32) | l, 64, kFP);
}

std::uint64_t ReferenceTripleDes(std::uint64_t block, std::uint64_t k1, std::uint64_t k2, std::uint64_t k3,
                                 bool encrypt)
{
    if (encrypt) {
        return ReferenceDes(ReferenceDes(ReferenceDes(block, k1, true), k2, false), k3, true);
    }
    return ReferenceDes(ReferenceDes(ReferenceDes(block, k3, false), k2, true), k1, false);
}

} // namespace karsidan::bitslice::test
