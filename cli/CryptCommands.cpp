#include "Commands.h"

#include "CipherTextCheck.h"
#include "CodePage.h"
#include "CryptIo.h"
#include "CryptOptions.h"
#include "TripleDesEngine.h"

#include <QTextStream>

#include <new>
#include <stdexcept>

namespace {

std::string EncryptInput(const CryptOptions& options, const std::string& input)
{
    const std::string text = options.raw ? input : karsidan::Utf8ToCodePage(input);
    const auto& k = options.keys;
    return karsidan::TripleDesEngine().TripleDesEncrypt(text, k[0], k[1], k[2]) + "\n";
}

std::string DecryptInput(const CryptOptions& options, const std::string& input)
{
    // Refuse what is not a cipher text rather than print unreadable text.
    const std::string digits = karsidan::CheckCipherText(options.raw ? input : karsidan::Utf8ToCodePage(input));
    const auto& k = options.keys;
    const std::string text = karsidan::TripleDesEngine().TripleDesDecrypt(digits, k[2], k[1], k[0]);
    return options.raw ? text : karsidan::CodePageToUtf8(text);
}

int Run(const QStringList& args, bool decrypt)
{
    const QString command = args.value(0);
    const CryptParseResult parsed = ParseCryptOptions(args, decrypt);
    if (!parsed.options)
        return parsed.exitCode;
    QTextStream err(stderr);
    try {
        const std::string input = ReadCryptInput(parsed.options->file);
        const std::string output = decrypt ? DecryptInput(*parsed.options, input)
                                           : EncryptInput(*parsed.options, input);
        WriteCryptOutput(output);
        return 0;
    } catch (const CryptIoError& e) {
        err << command << ": " << QString::fromUtf8(e.what()) << "\n";
        return 1;
    } catch (const std::invalid_argument& e) {
        err << command << ": " << QString::fromUtf8(e.what()) << "\n";
        return 2;
    } catch (const std::bad_alloc&) {
        err << command << ": memori tidak cukup untuk masukan ini\n";
        return 1;
    }
}

} // namespace

int RunEncrypt(const QStringList& args) { return Run(args, false); }
int RunDecrypt(const QStringList& args) { return Run(args, true); }
