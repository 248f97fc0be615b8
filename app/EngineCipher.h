#pragma once
#include "app/CipherRequest.h"

namespace karsidan {

// The Triple-DES engine behind the window's commands. Decrypt checks the
// source is a cipher text first; the keys know their pass order.
std::string RunTripleDes(const CipherRequest& request, const CipherProgress& progress);

} // namespace karsidan
