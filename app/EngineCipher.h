#pragma once
#include "app/CipherRequest.h"

namespace karsidan {

// The Triple-DES engine behind the window's commands. Decrypt checks the
// source is a cipher text first and passes the keys third, second, first,
// so the same three boxes undo an encrypt.
std::string RunTripleDes(const CipherRequest& request, const CipherProgress& progress);

} // namespace karsidan
