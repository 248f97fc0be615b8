#pragma once
// Triple DES encryption of a text that arrives in pieces, giving the same
// digits as TripleDesEngine::TripleDesEncrypt of the whole text: outer
// spaces dropped, the last block completed with 0xB7, 16 upper-case digits
// per block. Memory stays at a few chunks whatever the length: the buffers
// are allocated once and reused, and while the workers encrypt one chunk
// the caller reads the next and the sink writes the one before.
//
// Bytes go in either straight into Space() (read(2) into it, then Commit)
// or by Write, which copies.

#include "cipher/keys/TripleDesKeys.h"
#include "cipher/stream/StreamBuffer.h"
#include "cipher/stream/StreamOptions.h"
#include "cipher/stream/StreamWorkers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace karsidan {

class TripleDesEncryptStream {
public:
    // Gets the digits in order, on the caller's thread, from Commit, Write
    // and Finish. It may throw (a failed write): the exception passes to
    // the caller, and the stream is then of no further use.
    using Sink = std::function<void(std::string_view digits)>;

    // Throws std::bad_alloc when the buffers cannot be had.
    TripleDesEncryptStream(const TripleDesKeys& keys, Sink sink, const StreamOptions& options = {});

    // Where the next bytes go; never empty. Valid until the next call.
    std::span<char> Space();
    // The first n bytes of Space() hold input.
    void Commit(std::size_t n);
    // Copies bytes in through Space and Commit.
    void Write(std::string_view bytes);
    // Encrypts the rest, padded, and hands the last digits to the sink.
    void Finish();

private:
    struct Slot {
        char* text = nullptr; // capacity_ bytes
        char* digits = nullptr; // 2 * capacity_ digits
        std::size_t pendingDigits = 0; // encrypted, not yet given to the sink
    };

    bool Spilling() const noexcept { return extraSpaces_ > 0; }
    void SkipSpillingSpaces(std::string_view& bytes);
    void PlaceExtraSpaces();
    void ChunkFull();
    void Submit(std::size_t bytes, std::size_t carryFrom, std::size_t carryTo);
    void Drain();
    void Hand(Slot& slot);

    TripleDesKeys keys_;
    Sink sink_;
    std::size_t capacity_;
    StreamBuffer buffer_; // both slots, one mapping: fewer pages to fault in
    std::array<Slot, 2> slots_;
    unsigned current_ = 0;
    std::size_t fill_ = 0; // bytes in the current slot
    std::size_t tailSpaces_ = 0; // the spaces that end them, maybe the text's outer ones
    std::size_t extraSpaces_ = 0; // more such spaces, only counted
    bool started_ = false; // a byte other than a space has come
    std::vector<char> staging_; // Space() while spaces are only counted
    StreamWorkers workers_; // last: stopped before the buffers go
};

} // namespace karsidan
