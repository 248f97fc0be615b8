#include "cipher/engine/TripleDesEngine.h"

#include "cipher/bitslice/BulkTripleDes.h"
#include "cipher/padding/Padding.h"

#include <cstring>
#include <stdexcept>

namespace karsidan {
namespace {

// Blocks between two progress reports: small enough for a smooth bar,
// large enough that the callback costs nothing measurable.
constexpr std::size_t kProgressChunk = 16384;

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

} // namespace

std::string TripleDesEngine::TripleDesEncrypt(std::string_view text, const TripleDesKeys& keys,
                                              const Progress& progress)
{
    const std::string_view bytes = TrimSpaces(text);
    ProgressReport report(progress, (bytes.size() + 7) / 8);
    return bitslice::EncryptBytesToHex(bytes, kPadByte, keys.Masks(PassOrder::Encryption), Forward(report));
}

std::string TripleDesEngine::TripleDesDecrypt(std::string_view cipher, const TripleDesKeys& keys,
                                              const Progress& progress)
{
    bitslice::HexBlocks decoded = bitslice::DecodeHexBlocks(cipher);
    if (decoded.tailDigits % 2 == 1)
        throw std::invalid_argument("Jumlah angka heksadesimal ("
                                    + std::to_string(16 * decoded.blocks + decoded.tailDigits) + ") ganjil");
    std::string& text = decoded.bytes;
    std::size_t blocks = decoded.blocks;
    if (decoded.tailDigits > 0) {
        // Whole bytes short of a block: completed with padding bytes.
        unsigned char last[8];
        std::memset(last, kPadByte, sizeof last);
        for (int i = 0; i < decoded.tailDigits / 2; ++i)
            last[i] = static_cast<unsigned char>(decoded.tail >> (8 * (decoded.tailDigits / 2 - 1 - i)));
        text.append(reinterpret_cast<const char*>(last), sizeof last);
        ++blocks;
    }
    ProgressReport report(progress, blocks);
    auto* data = reinterpret_cast<unsigned char*>(text.data());
    bitslice::TransformBlocks(data, blocks, keys.Masks(PassOrder::Decryption), Forward(report));
    if (blocks > 0)
        text.resize(text.size() - PaddingLength(data + text.size() - 8));
    return std::move(text);
}

} // namespace karsidan
