#pragma once
// Whole-text Triple DES (three keys, EDE, ECB) over code-page bytes.
// Texts and keys are byte strings in the code page of CodePage.h.
// Each engine object owns its key slots and block halves, so a transform
// can run on a worker thread; two objects never share state.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace karsidan {

class TripleDesEngine {
public:
    // Called now and then with blocks done so far and blocks in all passes.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // Keys in box order. Throws std::invalid_argument naming a blank key.
    std::string TripleDesEncrypt(std::string_view text, std::string_view key1,
                                 std::string_view key2, std::string_view key3,
                                 const Progress& progress = {});

    // Keys in the order their passes use them (the caller passes third,
    // second, first). Lenient: foreign characters are skipped.
    std::string TripleDesDecrypt(std::string_view cipher, std::string_view keyA,
                                 std::string_view keyB, std::string_view keyC,
                                 const Progress& progress = {});
};

} // namespace karsidan
