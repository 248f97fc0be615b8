#include "cli/SmallCrypt.h"

#include "cipher/engine/TripleDesEngine.h"
#include "cipher/hex/CipherTextCheck.h"
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"
#include "codepage/Utf8ToCodePageStream.h"

#include <string>

void EncryptShort(const CryptOptions& options, std::string_view input, CryptOutput& output)
{
    std::string text;
    if (options.raw) {
        text = input;
    } else {
        karsidan::Utf8ToCodePageStream convert({.windowText = true});
        text.resize(karsidan::Utf8ToCodePageStream::MaxOutput(input.size()));
        text.resize(convert.Convert(input, text.data()));
        convert.Finish();
    }
    output.Write(karsidan::TripleDesEngine().TripleDesEncrypt(text, *options.keys) + "\n");
}

bool DecryptShort(const CryptOptions& options, std::string_view input, CryptOutput& output)
{
    // The check's message names the first character that is not a digit.
    const std::string digits = karsidan::CheckCipherText(options.raw ? std::string(input)
                                                                     : karsidan::Utf8ToCodePage(input));
    const std::string text = karsidan::TripleDesEngine().TripleDesDecrypt(digits, *options.keys);
    if (options.raw) {
        output.Write(text);
        return false;
    }
    karsidan::CodePageToUtf8Stream convert({.windowText = true});
    std::string utf8(karsidan::CodePageToUtf8Stream::MaxOutput(text.size()), '\0');
    std::size_t n = convert.Convert(text, utf8.data());
    n += convert.Finish(utf8.data() + n);
    output.Write({utf8.data(), n});
    return convert.controlBytes();
}
