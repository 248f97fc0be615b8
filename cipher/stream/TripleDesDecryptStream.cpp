#include "cipher/stream/TripleDesDecryptStream.h"

#include "cipher/bitslice/TripleDesBitslice.h"
#include "cipher/hex/HexCodec.h"
#include "cipher/hex/HexDigit.h"
#include "cipher/padding/Padding.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace karsidan {

namespace {

// Blocks per step of the workers: whole batches of every kernel, some ten
// microseconds of work.
constexpr std::size_t kStepBlocks = 2048;

// The decoder reads upper-case digits only.
void UpperCaseDigits(char* p, std::size_t n) noexcept
{
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] >= 'a' && p[i] <= 'f')
            p[i] = static_cast<char>(p[i] - 'a' + 'A');
    }
}

} // namespace

TripleDesDecryptStream::TripleDesDecryptStream(const TripleDesKeys& keys, Sink sink, const StreamOptions& options)
    : keys_(keys), sink_(std::move(sink)), chunk_(std::max<std::size_t>(8, (options.chunkBytes + 7) / 8 * 8)),
      workers_(options.threads)
{
    text_ = StreamBuffer(2 * chunk_);
    for (Slot& slot : slots_)
        slot.blocks = StreamBuffer(chunk_);
}

std::span<char> TripleDesDecryptStream::Space() { return {text_.data(), text_.size()}; }

void TripleDesDecryptStream::Commit(std::size_t n)
{
    CipherTextCount piece;
    CountCipherText({text_.data(), n}, piece);
    if (piece.lowerCase)
        UpperCaseDigits(text_.data(), n);
    count_.digits += piece.digits;
    count_.lowerCase = count_.lowerCase || piece.lowerCase;
    count_.foreign = count_.foreign || piece.foreign;
    Decode({text_.data(), n});
}

void TripleDesDecryptStream::Write(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t n = std::min(text.size(), text_.size());
        CipherTextCount piece;
        CountCipherText(text.substr(0, n), piece);
        if (piece.lowerCase) {
            std::memcpy(text_.data(), text.data(), n);
            Commit(n);
        } else {
            count_.digits += piece.digits;
            count_.foreign = count_.foreign || piece.foreign;
            Decode(text.substr(0, n));
        }
        text.remove_prefix(n);
    }
}

void TripleDesDecryptStream::Decode(std::string_view text)
{
    while (!text.empty()) {
        unsigned char* out = slots_[current_].blocks.bytes();
        if (half_) {
            // The low digit of a byte split between two pieces.
            std::size_t i = 0;
            while (i < text.size() && HexDigitValue(text[i]) < 0)
                ++i;
            if (i == text.size())
                return;
            out[bytes_] = static_cast<unsigned char>(out[bytes_] | HexDigitValue(text[i]));
            ++bytes_;
            half_ = false;
            text.remove_prefix(i + 1);
        } else {
            // At most as many digits as the slot has bytes left for.
            const std::size_t take = std::min(text.size(), 2 * (chunk_ - bytes_));
            const std::size_t digits = bitslice::DecodeHex(text.substr(0, take), out + bytes_);
            bytes_ += digits / 2;
            half_ = digits % 2 == 1;
            text.remove_prefix(take);
        }
        if (bytes_ == chunk_)
            Submit();
    }
}

// Starts the workers on the current slot's blocks and hands out the other
// slot's text meanwhile.
void TripleDesDecryptStream::Submit()
{
    Slot& slot = slots_[current_];
    Slot& next = slots_[current_ ^ 1];
    workers_.Wait();
    const std::size_t blocks = bytes_ / 8;
    const bitslice::RoundKeyMasks* masks = &keys_.Masks(PassOrder::Decryption);
    const bitslice::Level level = bitslice::BestLevel();
    workers_.StartSteps(blocks, kStepBlocks, [&slot, masks, level](std::size_t first, std::size_t count) {
        bitslice::ThreePassEcbBytes(slot.blocks.bytes() + 8 * first, count, *masks, level);
    });
    slot.pending = bytes_;
    bytes_ = 0;
    current_ ^= 1;
    Hand(next);
}

// Hands out all but the slot's last block, which waits in held_: only the
// very last block can end in padding.
void TripleDesDecryptStream::Hand(Slot& slot)
{
    if (slot.pending == 0)
        return;
    const std::size_t n = slot.pending;
    slot.pending = 0;
    if (holding_)
        sink_({held_.data(), held_.size()});
    std::memcpy(held_.data(), slot.blocks.data() + n - 8, 8);
    holding_ = true;
    if (n > 8)
        sink_({slot.blocks.data(), n - 8});
}

void TripleDesDecryptStream::Finish()
{
    if (half_ || bytes_ % 8 != 0)
        throw std::invalid_argument("Jumlah angka heksadesimal (" + std::to_string(count_.digits)
                                    + ") bukan kelipatan 16");
    if (bytes_ > 0)
        Submit();
    workers_.Wait();
    Hand(slots_[current_ ^ 1]);
    if (!holding_)
        return;
    holding_ = false;
    sink_({held_.data(), held_.size() - PaddingLength(reinterpret_cast<const unsigned char*>(held_.data()))});
}

} // namespace karsidan
