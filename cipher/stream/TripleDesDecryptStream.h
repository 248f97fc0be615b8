#pragma once
// Triple DES decryption of a cipher text that arrives in pieces, giving the
// same bytes as TripleDesEngine::TripleDesDecrypt of the checked text
// (CheckCipherText): digits of either case, every other character skipped,
// the padding at the very end (at most 7 bytes 0xB7) removed. The last
// block is held back until Finish, which knows it is the last.
//
// Text goes in either straight into Space() (read(2) into it, then Commit)
// or by Write, which decodes from the caller's memory.

#include "cipher/hex/CipherTextCount.h"
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

namespace karsidan {

class TripleDesDecryptStream {
public:
    // Gets the text in order, on the caller's thread. It may throw (a failed
    // write): the exception passes to the caller, and the stream is then of
    // no further use.
    using Sink = std::function<void(std::string_view bytes)>;

    TripleDesDecryptStream(const TripleDesKeys& keys, Sink sink, const StreamOptions& options = {});

    // Where the next text goes; never empty. Valid until the next call.
    std::span<char> Space();
    // The first n characters of Space() hold text.
    void Commit(std::size_t n);
    void Write(std::string_view text);
    // Decrypts the rest and hands out the last block without its padding.
    // Throws std::invalid_argument, with CheckCipherText's message, when
    // the digits do not make whole blocks; their bytes are then not written.
    void Finish();

    // Everything that has come so far, foreign characters included.
    const CipherTextCount& count() const noexcept { return count_; }

private:
    struct Slot {
        StreamBuffer blocks;
        std::size_t pending = 0; // decrypted bytes not yet given to the sink
    };

    void Decode(std::string_view text);
    void Submit();
    void Hand(Slot& slot);

    TripleDesKeys keys_;
    Sink sink_;
    std::size_t chunk_; // decrypted bytes per chunk
    StreamBuffer text_; // 2 * chunk_ characters
    std::array<Slot, 2> slots_;
    unsigned current_ = 0;
    std::size_t bytes_ = 0; // whole bytes decoded into the current slot
    bool half_ = false; // and the high digit of one more
    CipherTextCount count_;
    std::array<char, 8> held_{}; // the last block handed out so far
    bool holding_ = false;
    StreamWorkers workers_; // last: stopped before the buffers go
};

} // namespace karsidan
