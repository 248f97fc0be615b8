#pragma once
// Options of `karsidan-cli encrypt|decrypt`, parsed and checked.

#include "cipher/keys/TripleDesKeys.h"
#include "cli/KeySources.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct CryptOptions {
    // The keys of the three boxes (first, second, third), checked.
    std::optional<karsidan::TripleDesKeys> keys;
    bool raw = false;
    std::string file; // empty or "-": standard input
    std::string output; // empty or "-": standard output
};

// Outcome of parsing: either options to run with, or an exit code after
// help, version or an error has been printed.
struct CryptParseResult {
    std::optional<CryptOptions> options;
    int exitCode = 0;
};

// args[0] is the sub-command. Keys not given as options come from
// --keys-file, KARSIDAN_KEY1..3 or the terminal, in that order.
CryptParseResult ParseCryptOptions(const std::vector<std::string>& args, bool decrypt);

// The help of encrypt or decrypt.
std::string CryptHelpText(const std::string& command, bool decrypt);
