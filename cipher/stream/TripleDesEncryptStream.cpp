#include "cipher/stream/TripleDesEncryptStream.h"

#include "cipher/bitslice/TripleDesBitslice.h"
#include "cipher/consttime/ConstantTime.h"
#include "cipher/hex/HexCodec.h"
#include "cipher/padding/Padding.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

namespace karsidan {

namespace {

// Spaces are only counted, not stored, once they run longer than this much
// of a chunk: a file of nothing but spaces needs no memory for them.
constexpr std::size_t kStagingBytes = 64 * 1024;

// Blocks per step of the workers: whole batches of every kernel, some ten
// microseconds of work.
constexpr std::size_t kStepBlocks = 2048;

// Whether a byte is a space is all that steers these scans.
std::size_t LeadingSpaces(const char* p, std::size_t n) noexcept
{
    std::size_t i = 0;
    while (i < n && ct::Declassify(p[i] == ' '))
        ++i;
    return i;
}

std::size_t TrailingSpaces(const char* p, std::size_t n) noexcept
{
    std::size_t i = 0;
    while (i < n && ct::Declassify(p[n - 1 - i] == ' '))
        ++i;
    return i;
}

} // namespace

TripleDesEncryptStream::TripleDesEncryptStream(const TripleDesKeys& keys, Sink sink, const StreamOptions& options)
    : keys_(keys), sink_(std::move(sink)), capacity_(std::max<std::size_t>(16, (options.chunkBytes + 7) / 8 * 8)),
      workers_(options.threads)
{
    buffer_ = StreamBuffer(6 * capacity_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        slots_[i].text = buffer_.data() + 3 * capacity_ * i;
        slots_[i].digits = slots_[i].text + capacity_;
    }
}

std::span<char> TripleDesEncryptStream::Space()
{
    if (Spilling()) {
        staging_.resize(std::min(kStagingBytes, capacity_));
        return staging_;
    }
    return {slots_[current_].text + fill_, capacity_ - fill_};
}

void TripleDesEncryptStream::Commit(std::size_t n)
{
    if (Spilling()) {
        Write({staging_.data(), n});
        return;
    }
    char* fresh = slots_[current_].text + fill_;
    if (!started_) {
        // Leading spaces are not part of the text (fill_ is still 0).
        const std::size_t skip = LeadingSpaces(fresh, n);
        if (skip == n)
            return;
        std::memmove(fresh, fresh + skip, n - skip);
        n -= skip;
        started_ = true;
    }
    const std::size_t trailing = TrailingSpaces(fresh, n);
    tailSpaces_ = trailing == n ? tailSpaces_ + n : trailing;
    fill_ += n;
    if (fill_ == capacity_)
        ChunkFull();
}

void TripleDesEncryptStream::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (Spilling()) {
            SkipSpillingSpaces(bytes);
            continue;
        }
        const std::span<char> space = Space();
        const std::size_t n = std::min(space.size(), bytes.size());
        std::memcpy(space.data(), bytes.data(), n);
        bytes.remove_prefix(n);
        Commit(n);
    }
}

// While spilling, spaces are counted until another byte shows they belong
// to the text; then they are placed before it.
void TripleDesEncryptStream::SkipSpillingSpaces(std::string_view& bytes)
{
    const std::size_t spaces = LeadingSpaces(bytes.data(), bytes.size());
    extraSpaces_ += spaces;
    bytes.remove_prefix(spaces);
    if (!bytes.empty())
        PlaceExtraSpaces();
}

void TripleDesEncryptStream::PlaceExtraSpaces()
{
    tailSpaces_ = 0; // a byte other than a space follows them all
    while (extraSpaces_ > 0) {
        const std::size_t n = std::min(extraSpaces_, capacity_ - fill_);
        std::memset(slots_[current_].text + fill_, ' ', n);
        fill_ += n;
        extraSpaces_ -= n;
        if (fill_ == capacity_)
            ChunkFull();
    }
}

// The chunk is full: encrypt every block the spaces at its end leave
// alone and carry the rest over into the next chunk.
void TripleDesEncryptStream::ChunkFull()
{
    const std::size_t decided = fill_ - tailSpaces_;
    const std::size_t whole = decided / 8 * 8;
    if (fill_ - whole > capacity_ / 2) {
        // Mostly spaces: count them instead of carrying them.
        extraSpaces_ += tailSpaces_;
        tailSpaces_ = 0;
        if (whole == 0) {
            fill_ = decided;
            return;
        }
        Submit(whole, whole, decided);
        return;
    }
    Submit(whole, whole, fill_);
}

// Starts the workers on the first `bytes` of the current slot; the bytes
// from carryFrom to carryTo go to the front of the other slot, which
// becomes current. The other slot's digits are handed out meanwhile.
void TripleDesEncryptStream::Submit(std::size_t bytes, std::size_t carryFrom, std::size_t carryTo)
{
    Slot& slot = slots_[current_];
    Slot& next = slots_[current_ ^ 1];
    workers_.Wait();
    std::memcpy(next.text, slot.text + carryFrom, carryTo - carryFrom);
    fill_ = carryTo - carryFrom;
    if (bytes > 0) {
        const bitslice::RoundKeyMasks* masks = &keys_.Masks(PassOrder::Encryption);
        const bitslice::Level level = bitslice::BestLevel();
        workers_.StartSteps(bytes / 8, kStepBlocks, [&slot, masks, level](std::size_t first, std::size_t count) {
            auto* blocks = reinterpret_cast<unsigned char*>(slot.text) + 8 * first;
            bitslice::ThreePassEcbBytes(blocks, count, *masks, level);
            bitslice::EncodeHex(blocks, 8 * count, slot.digits + 16 * first, level);
        });
        slot.pendingDigits = 2 * bytes;
    }
    current_ ^= 1;
    Hand(next);
}

void TripleDesEncryptStream::Hand(Slot& slot)
{
    if (slot.pendingDigits == 0)
        return;
    const std::size_t n = slot.pendingDigits;
    slot.pendingDigits = 0;
    sink_({slot.digits, n});
}

void TripleDesEncryptStream::Drain()
{
    workers_.Wait();
    // Only the slot submitted last can still hold digits.
    Hand(slots_[current_ ^ 1]);
}

void TripleDesEncryptStream::Finish()
{
    // Spaces still open at the end are the text's trailing ones: dropped.
    const std::size_t decided = fill_ - tailSpaces_;
    extraSpaces_ = 0;
    tailSpaces_ = 0;
    const std::size_t padded = (decided + 7) / 8 * 8;
    std::memset(slots_[current_].text + decided, kPadByte, padded - decided);
    if (padded > 0)
        Submit(padded, 0, 0);
    Drain();
}

} // namespace karsidan
