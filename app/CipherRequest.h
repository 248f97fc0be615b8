#pragma once
// One encrypt or decrypt, as handed to a worker thread.
#include <array>
#include <cstddef>
#include <functional>
#include <string>

namespace karsidan {

enum class CipherDirection { Encrypt, Decrypt };

struct CipherRequest {
    CipherDirection direction = CipherDirection::Encrypt;
    std::string text;                // code-page bytes, lines joined by CR LF
    std::array<std::string, 3> keys; // code-page bytes, in key-box order
};

using CipherProgress = std::function<void(std::size_t done, std::size_t total)>;

// Runs a request and returns the result's code-page bytes; throws
// std::exception with a message for the user when it cannot.
using CipherFunction = std::function<std::string(const CipherRequest&, const CipherProgress&)>;

} // namespace karsidan
