#include "cli/WholeCrypt.h"

#include "cipher/hex/CipherTextCheck.h"
#include "codepage/CodePage.h"
#include "cli/CryptIo.h"
#include "cipher/engine/TripleDesEngine.h"

namespace {

// Long inputs are large: raw input goes to the engine without a copy.
std::string ToCodePage(const CryptOptions& options, std::string input)
{
    return options.raw ? input : karsidan::Utf8ToCodePage(input);
}

} // namespace

void EncryptWhole(const CryptOptions& options, std::string input)
{
    const std::string text = ToCodePage(options, std::move(input));
    WriteCryptOutput(karsidan::TripleDesEngine().TripleDesEncrypt(text, *options.keys));
    WriteCryptOutput("\n");
}

void DecryptWhole(const CryptOptions& options, std::string input)
{
    // Refuse what is not a cipher text rather than print unreadable text.
    const std::string digits = karsidan::CheckCipherText(ToCodePage(options, std::move(input)));
    const std::string text = karsidan::TripleDesEngine().TripleDesDecrypt(digits, *options.keys);
    WriteCryptOutput(options.raw ? text : karsidan::CodePageToUtf8(text));
}
