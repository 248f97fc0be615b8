#include "cipher/engine/TripleDesEngine.h"

#include "cipher/bitslice/BulkTripleDes.h"
#include "cipher/des/DesKernel.h"
#include "cipher/des/DesRoundKeys.h"
#include "cipher/hex/HexBlockReader.h"
#include "cipher/hex/HexBlocks.h"
#include "cipher/reference/mdlMath.h"
#include "cipher/reference/mdlTripleDes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace karsidan {
namespace {

// Blocks between two progress reports: small enough for a smooth bar,
// large enough that the callback costs nothing measurable.
constexpr std::size_t kProgressChunk = 16384;

// Blocks transformed per step: the buffer stays in the first-level cache
// and the whole text is never held as blocks.
constexpr std::size_t kChunkBlocks = 512;

// Reports blocks of all three passes, as the window's progress bar expects.
class ProgressReport {
public:
    ProgressReport(const TripleDesEngine::Progress& progress, std::size_t blocks)
        : progress_(progress), total_(3 * blocks)
    {
        if (progress_)
            progress_(0, total_);
    }
    void Advance(std::size_t blocks)
    {
        done_ += 3 * blocks;
        sinceReport_ += blocks;
        if (progress_ && (sinceReport_ >= kProgressChunk || done_ == total_)) {
            progress_(done_, total_);
            sinceReport_ = 0;
        }
    }

private:
    const TripleDesEngine::Progress& progress_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::size_t sinceReport_ = 0;
};

// Feeds the running block count of the bitsliced path into the report.
bitslice::BlocksDone Forward(ProgressReport& report)
{
    return [&report, reported = std::size_t{0}](std::size_t done) mutable {
        if (done > reported) {
            report.Advance(done - reported);
            reported = done;
        }
    };
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

    const std::string_view bytes = TrimSpaces(text);
    const std::size_t blockCount = (bytes.size() + 7) / 8;
    if (blockCount >= bitsliceMinBlocks) {
        ProgressReport report(progress, blockCount);
        return bitslice::EncryptBytesToHex(bytes, kPadByte,
                                           {{{EffectiveKey(key1), true},
                                             {EffectiveKey(key2), false},
                                             {EffectiveKey(key3), true}}},
                                           Forward(report));
    }
    const auto schedule = TripleDesSchedule::Encryption(EffectiveKey(key1), EffectiveKey(key2),
                                                        EffectiveKey(key3));
    std::string cipher(16 * blockCount, '\0');
    ProgressReport report(progress, blockCount);
    std::array<std::uint64_t, kChunkBlocks> buffer;
    for (std::size_t first = 0; first < blockCount; first += kChunkBlocks) {
        const std::size_t n = std::min(kChunkBlocks, blockCount - first);
        const std::span<std::uint64_t> chunk(buffer.data(), n);
        BytesToBlocks(bytes.substr(8 * first, 8 * n), kPadByte, chunk);
        TripleDesBlocks(chunk, schedule);
        BlocksToHex(chunk, cipher.data() + 16 * first);
        report.Advance(n);
    }
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

    const auto schedule = TripleDesSchedule::Decryption(EffectiveKey(keyA), EffectiveKey(keyB),
                                                        EffectiveKey(keyC));
    std::string text;
    std::uint64_t tail = 0;
    int tailDigits = 0;
    std::array<std::uint64_t, kChunkBlocks> buffer;
    std::array<char, 8 * kChunkBlocks> bytes;
    // Long cipher texts: all digits decoded at once, the whole blocks
    // bitsliced across all cores; the tail goes the common way below.
    std::optional<ProgressReport> report;
    if (cipher.size() / 16 >= bitsliceMinBlocks) {
        bitslice::HexBlocks decoded = bitslice::DecodeHexBlocks(cipher);
        report.emplace(progress, decoded.blocks + (decoded.tailDigits > 0 ? 1 : 0));
        bitslice::TransformBlocks(reinterpret_cast<unsigned char*>(decoded.bytes.data()), decoded.blocks,
                                  {{{EffectiveKey(keyA), false},
                                    {EffectiveKey(keyB), true},
                                    {EffectiveKey(keyC), false}}},
                                  Forward(*report));
        text = std::move(decoded.bytes);
        tail = decoded.tail;
        tailDigits = decoded.tailDigits;
    } else {
        const std::size_t digitCount = CountHexDigits(cipher);
        text.reserve(8 * ((digitCount + 15) / 16));
        report.emplace(progress, (digitCount + 15) / 16);
        HexBlockReader reader(cipher);
        while (const std::size_t n = reader.Read(buffer)) {
            const std::span<std::uint64_t> chunk(buffer.data(), n);
            TripleDesBlocks(chunk, schedule);
            BlocksToBytes(chunk, bytes.data());
            text.append(bytes.data(), 8 * n);
            report->Advance(n);
        }
        tail = reader.tail();
        tailDigits = reader.tailDigits();
    }
    const bool oddTail = tailDigits % 2 == 1;
    auto transformAndAppend = [&](std::size_t n) {
        const std::span<std::uint64_t> chunk(buffer.data(), n);
        TripleDesBlocks(chunk, schedule);
        BlocksToBytes(chunk, bytes.data());
        text.append(bytes.data(), 8 * n);
        report->Advance(n);
    };

    if (tailDigits > 0 && !oddTail) {
        // Whole bytes short of a block: completed with padding bytes.
        std::uint64_t block = tail;
        for (int i = 0; i < (16 - tailDigits) / 2; ++i)
            block = (block << 8) | kPadByte;
        buffer[0] = block;
        transformAndAppend(1);
    } else if (oddTail) {
        // An odd digit count leaves a last block of 60 bits; only the
        // character-per-bit transform defines what becomes of it.
        std::string bits;
        for (int i = tailDigits - 1; i >= 0; --i)
            bits += HexDigitToBits(std::string(1, "0123456789ABCDEF"[(tail >> (4 * i)) & 15]));
        bits += PadBits(64 - static_cast<int>(bits.size()));
        std::string hex = DesBlock(bits, 1, 0);
        hex = DesBlock(HexToBits(hex), 2, -1);
        hex = DesBlock(HexToBits(hex), 3, 0);
        const std::uint64_t last = HexBlockValue(hex);
        BlocksToBytes({&last, 1}, bytes.data());
        text.append(bytes.data(), 8);
        report->Advance(1);
    }

    // Only the padding goes: at most 7 padding bytes at the very end. A
    // padding character inside the text is the user's own and stays.
    std::size_t keep = text.size();
    while (keep > 0 && text.size() - keep < 7 && static_cast<unsigned char>(text[keep - 1]) == kPadByte)
        --keep;
    text.resize(keep);
    return text;
}

} // namespace karsidan
