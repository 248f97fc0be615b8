#pragma once
// Sizes and threads of the streaming transforms (TripleDesEncryptStream,
// TripleDesDecryptStream).

#include <cstddef>

namespace karsidan {

struct StreamOptions {
    // Text bytes per chunk, rounded up to whole blocks. 2 MiB is a whole
    // number of 512-block batches per core and stays near the caches; tests
    // pass a few bytes to cross every boundary.
    std::size_t chunkBytes = std::size_t{2} << 20;
    // Worker threads; 0: one per hardware thread.
    unsigned threads = 0;
};

} // namespace karsidan
