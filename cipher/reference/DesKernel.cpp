#include "cipher/reference/DesKernel.h"

#include "cipher/reference/mdlBox.h"

#include <utility>

namespace karsidan {
namespace {

constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
constexpr std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// S-box j followed by P, for all 64 inputs, with the output rotated right by
// one bit: the halves are kept in that rotation so that every E group is a
// plain six-bit field of either the half or the half rotated by four.
struct SpTables {
    std::array<std::array<std::uint32_t, 64>, 8> sp{};
};

SpTables BuildSpTables()
{
    SpTables t;
    for (std::size_t box = 0; box < 8; ++box) {
        for (std::uint32_t v = 0; v < 64; ++v) {
            const std::uint32_t row = ((v >> 4) & 2) | (v & 1);
            const std::uint32_t column = (v >> 1) & 15;
            const std::uint32_t s = des_tables::S[box][row * 16 + column];
            const std::uint64_t placed = std::uint64_t{s} << (28 - 4 * box);
            const auto permuted = static_cast<std::uint32_t>(Permute(placed, 32, des_tables::P));
            t.sp[box][v] = Rotr(permuted, 1);
        }
    }
    return t;
}

const SpTables kTables = BuildSpTables();

inline std::uint32_t RoundF(std::uint32_t half, SplitRoundKey k) noexcept
{
    const auto& sp = kTables.sp;
    const std::uint32_t e = half ^ k.even;
    const std::uint32_t o = Rotr(half, 4) ^ k.odd;
    return sp[0][(e >> 26) & 63] | sp[2][(e >> 18) & 63] | sp[4][(e >> 10) & 63] | sp[6][(e >> 2) & 63]
        | sp[7][(o >> 26) & 63] | sp[1][(o >> 18) & 63] | sp[3][(o >> 10) & 63] | sp[5][(o >> 2) & 63];
}

// Swap-move steps; each is its own inverse, so FP runs them backwards.
inline void InitialPermutation(std::uint32_t& l, std::uint32_t& r) noexcept
{
    std::uint32_t t;
    t = ((l >> 4) ^ r) & 0x0f0f0f0fu;
    r ^= t;
    l ^= t << 4;
    t = ((l >> 16) ^ r) & 0x0000ffffu;
    r ^= t;
    l ^= t << 16;
    t = ((r >> 2) ^ l) & 0x33333333u;
    l ^= t;
    r ^= t << 2;
    t = ((r >> 8) ^ l) & 0x00ff00ffu;
    l ^= t;
    r ^= t << 8;
    t = ((l >> 1) ^ r) & 0x55555555u;
    r ^= t;
    l ^= t << 1;
}

inline void FinalPermutation(std::uint32_t& l, std::uint32_t& r) noexcept
{
    std::uint32_t t;
    t = ((l >> 1) ^ r) & 0x55555555u;
    r ^= t;
    l ^= t << 1;
    t = ((r >> 8) ^ l) & 0x00ff00ffu;
    l ^= t;
    r ^= t << 8;
    t = ((r >> 2) ^ l) & 0x33333333u;
    l ^= t;
    r ^= t << 2;
    t = ((l >> 16) ^ r) & 0x0000ffffu;
    r ^= t;
    l ^= t << 16;
    t = ((l >> 4) ^ r) & 0x0f0f0f0fu;
    r ^= t;
    l ^= t << 4;
}

// Runs `passes` DES passes of 16 rounds each; between passes the halves
// swap, which is what FP followed by IP of the next pass amounts to.
template <int Passes>
inline std::uint64_t CryptBlock(std::uint64_t block, const SplitRoundKey* k) noexcept
{
    auto l = static_cast<std::uint32_t>(block >> 32);
    auto r = static_cast<std::uint32_t>(block);
    InitialPermutation(l, r);
    l = Rotr(l, 1);
    r = Rotr(r, 1);
    for (int pass = 0; pass < Passes; ++pass, k += 16) {
        for (int i = 0; i < 16; i += 2) {
            l ^= RoundF(r, k[i]);
            r ^= RoundF(l, k[i + 1]);
        }
        std::swap(l, r);
    }
    l = Rotl(l, 1);
    r = Rotl(r, 1);
    FinalPermutation(l, r);
    return (std::uint64_t{l} << 32) | r;
}

// Two independent blocks side by side: the table lookups of one fill the
// latency gaps of the other.
inline void CryptTwoBlocks(std::uint64_t& a, std::uint64_t& b, const SplitRoundKey* k) noexcept
{
    auto la = static_cast<std::uint32_t>(a >> 32);
    auto ra = static_cast<std::uint32_t>(a);
    auto lb = static_cast<std::uint32_t>(b >> 32);
    auto rb = static_cast<std::uint32_t>(b);
    InitialPermutation(la, ra);
    InitialPermutation(lb, rb);
    la = Rotr(la, 1);
    ra = Rotr(ra, 1);
    lb = Rotr(lb, 1);
    rb = Rotr(rb, 1);
    for (int pass = 0; pass < 3; ++pass, k += 16) {
        for (int i = 0; i < 16; i += 2) {
            la ^= RoundF(ra, k[i]);
            lb ^= RoundF(rb, k[i]);
            ra ^= RoundF(la, k[i + 1]);
            rb ^= RoundF(lb, k[i + 1]);
        }
        std::swap(la, ra);
        std::swap(lb, rb);
    }
    la = Rotl(la, 1);
    ra = Rotl(ra, 1);
    lb = Rotl(lb, 1);
    rb = Rotl(rb, 1);
    FinalPermutation(la, ra);
    FinalPermutation(lb, rb);
    a = (std::uint64_t{la} << 32) | ra;
    b = (std::uint64_t{lb} << 32) | rb;
}

void AppendPass(SplitRoundKey* out, const DesRoundKeys& keys, bool encrypt) noexcept
{
    for (std::size_t i = 0; i < 16; ++i)
        out[i] = SplitForSBoxes(keys.round[encrypt ? i : 15 - i]);
}

} // namespace

SplitRoundKey SplitForSBoxes(std::uint64_t roundKey48) noexcept
{
    auto group = [roundKey48](int j) { return static_cast<std::uint32_t>(roundKey48 >> (42 - 6 * j)) & 63u; };
    return {
        (group(0) << 26) | (group(2) << 18) | (group(4) << 10) | (group(6) << 2),
        (group(7) << 26) | (group(1) << 18) | (group(3) << 10) | (group(5) << 2),
    };
}

TripleDesSchedule::TripleDesSchedule(const std::array<DesRoundKeys, 3>& keys,
                                     const std::array<bool, 3>& encrypt) noexcept
{
    for (std::size_t pass = 0; pass < 3; ++pass)
        AppendPass(rounds_.data() + 16 * pass, keys[pass], encrypt[pass]);
}

TripleDesSchedule TripleDesSchedule::Encryption(std::uint64_t k1, std::uint64_t k2, std::uint64_t k3) noexcept
{
    return TripleDesSchedule({MakeDesRoundKeys(k1), MakeDesRoundKeys(k2), MakeDesRoundKeys(k3)}, {true, false, true});
}

TripleDesSchedule TripleDesSchedule::Decryption(std::uint64_t kA, std::uint64_t kB, std::uint64_t kC) noexcept
{
    return TripleDesSchedule({MakeDesRoundKeys(kA), MakeDesRoundKeys(kB), MakeDesRoundKeys(kC)}, {false, true, false});
}

std::uint64_t DesCryptBlock(std::uint64_t block, const DesRoundKeys& keys, bool encrypt) noexcept
{
    std::array<SplitRoundKey, 16> split;
    AppendPass(split.data(), keys, encrypt);
    return CryptBlock<1>(block, split.data());
}

void TripleDesBlocks(std::span<std::uint64_t> blocks, const TripleDesSchedule& schedule) noexcept
{
    const SplitRoundKey* k = schedule.rounds().data();
    std::size_t i = 0;
    for (; i + 2 <= blocks.size(); i += 2)
        CryptTwoBlocks(blocks[i], blocks[i + 1], k);
    if (i < blocks.size())
        blocks[i] = CryptBlock<3>(blocks[i], k);
}

} // namespace karsidan
