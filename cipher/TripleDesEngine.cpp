#include "TripleDesEngine.h"

#include "DesKernel.h"
#include "HexCodec.h"
#include "mdlMath.h"
#include "mdlTripleDes.h"

#include <stdexcept>

namespace karsidan {
namespace {

// Blocks between two progress reports: small enough for a smooth bar,
// large enough that the callback costs nothing measurable.
constexpr std::size_t kProgressChunk = 16384;

void RequireKey(std::string_view key, int boxNumber)
{
    if (TrimSpaces(key).empty())
        throw std::invalid_argument("Kunci " + std::to_string(boxNumber) + " kosong");
}

// The block loop of both entries, split into chunks only to report progress.
void TransformWithProgress(std::span<std::uint64_t> blocks, const TripleDesSchedule& schedule,
                           std::size_t extraBlocks, const TripleDesEngine::Progress& progress)
{
    const std::size_t total = 3 * (blocks.size() + extraBlocks);
    if (progress)
        progress(0, total);
    for (std::size_t done = 0; done < blocks.size(); done += kProgressChunk) {
        const std::size_t n = std::min(kProgressChunk, blocks.size() - done);
        TripleDesBlocks(blocks.subspan(done, n), schedule);
        if (progress)
            progress(3 * (done + n), total);
    }
}

std::uint64_t HexBlockValue(std::string_view hex16)
{
    std::uint64_t v = 0;
    for (const char c : hex16)
        v = (v << 4) | static_cast<std::uint64_t>(HexDigitValue(c));
    return v;
}

} // namespace

std::string TripleDesEngine::TripleDesEncrypt(std::string_view text, std::string_view key1,
                                              std::string_view key2, std::string_view key3,
                                              const Progress& progress)
{
    RequireKey(key1, 1);
    RequireKey(key2, 2);
    RequireKey(key3, 3);
    LoadKey1(key1);
    LoadKey2(key2);
    LoadKey3(key3);

    std::vector<std::uint64_t> blocks = BytesToBlocks(TrimSpaces(text), kPadByte);
    const auto schedule = TripleDesSchedule::Encryption(EffectiveKey(key1), EffectiveKey(key2),
                                                        EffectiveKey(key3));
    TransformWithProgress(blocks, schedule, 0, progress);

    std::string cipher(16 * blocks.size(), '\0');
    BlocksToHex(blocks, cipher.data());
    return cipher;
}

std::string TripleDesEngine::TripleDesDecrypt(std::string_view cipher, std::string_view keyA,
                                              std::string_view keyB, std::string_view keyC,
                                              const Progress& progress)
{
    RequireKey(keyC, 1);
    RequireKey(keyB, 2);
    RequireKey(keyA, 3);
    LoadKey1(keyA);
    LoadKey2(keyB);
    LoadKey3(keyC);

    HexBlocks input = HexToBlocks(cipher);
    const bool oddTail = input.tailDigits % 2 == 1;
    if (input.tailDigits > 0 && !oddTail) {
        // Whole bytes short of a block: completed with padding bytes.
        const int missing = 16 - input.tailDigits;
        std::uint64_t block = input.tail;
        for (int i = 0; i < missing / 2; ++i)
            block = (block << 8) | kPadByte;
        input.blocks.push_back(block);
    }
    const auto schedule = TripleDesSchedule::Decryption(EffectiveKey(keyA), EffectiveKey(keyB),
                                                        EffectiveKey(keyC));
    TransformWithProgress(input.blocks, schedule, oddTail ? 1 : 0, progress);

    if (oddTail) {
        // An odd digit count leaves a last block of 60 bits; only the
        // character-per-bit transform defines what becomes of it.
        std::string bits;
        for (int i = input.tailDigits - 1; i >= 0; --i)
            bits += HexDigitToBits(std::string(1, "0123456789ABCDEF"[(input.tail >> (4 * i)) & 15]));
        bits += PadBits(64 - static_cast<int>(bits.size()));
        std::string hex = DesBlock(bits, 1, 0);
        hex = DesBlock(HexToBits(hex), 2, -1);
        hex = DesBlock(HexToBits(hex), 3, 0);
        input.blocks.push_back(HexBlockValue(hex));
        if (progress)
            progress(3 * input.blocks.size(), 3 * input.blocks.size());
    }

    std::string text(8 * input.blocks.size(), '\0');
    BlocksToBytes(input.blocks, text.data());
    // Only the padding goes: at most 7 padding bytes at the very end. A
    // padding character inside the text is the user's own and stays.
    std::size_t keep = text.size();
    while (keep > 0 && text.size() - keep < 7 && static_cast<unsigned char>(text[keep - 1]) == kPadByte)
        --keep;
    text.resize(keep);
    return text;
}

} // namespace karsidan
