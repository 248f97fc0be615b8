#pragma once
// Options of `karsidan-cli encrypt|decrypt`, parsed and checked.

#include "cipher/keys/TripleDesKeys.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>

struct CryptOptions {
    // The keys of the three boxes (first, second, third), checked.
    std::optional<karsidan::TripleDesKeys> keys;
    bool raw = false;
    QString file; // empty: standard input
};

// Outcome of parsing: either options to run with, or an exit code after
// help, version or an error has been printed.
struct CryptParseResult {
    std::optional<CryptOptions> options;
    int exitCode = 0;
};

// args[0] is the sub-command. Keys not given come from KARSIDAN_KEY1..3.
CryptParseResult ParseCryptOptions(const QStringList& args, bool decrypt);
