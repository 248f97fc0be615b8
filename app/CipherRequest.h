#pragma once
// One encrypt or decrypt, as handed to a worker thread.
#include "cipher/keys/TripleDesKeys.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace karsidan {

enum class CipherDirection { Encrypt, Decrypt };

struct CipherRequest {
    CipherDirection direction = CipherDirection::Encrypt;
    std::string text; // code-page bytes, lines joined by CR LF
    std::optional<TripleDesKeys> keys; // made from the key boxes, checked
};

using CipherProgress = std::function<void(std::size_t done, std::size_t total)>;

// Runs a request and returns the result's code-page bytes; throws
// std::exception with a message for the user when it cannot.
using CipherFunction = std::function<std::string(const CipherRequest&, const CipherProgress&)>;

} // namespace karsidan
