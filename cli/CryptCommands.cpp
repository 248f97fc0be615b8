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

// Long inputs are large: raw input goes to the engine without a copy.
std::string ToCodePage(const CryptOptions& options, std::string input)
{
    return options.raw ? input : karsidan::Utf8ToCodePage(input);
}

void Encrypt(const CryptOptions& options, std::string input)
{
    const std::string text = ToCodePage(options, std::move(input));
    const auto& k = options.keys;
    WriteCryptOutput(karsidan::TripleDesEngine().TripleDesEncrypt(text, k[0], k[1], k[2]));
    WriteCryptOutput("\n");
}

void Decrypt(const CryptOptions& options, std::string input)
{
    // Refuse what is not a cipher text rather than print unreadable text.
    const std::string digits = karsidan::CheckCipherText(ToCodePage(options, std::move(input)));
    const auto& k = options.keys;
    const std::string text = karsidan::TripleDesEngine().TripleDesDecrypt(digits, k[2], k[1], k[0]);
    WriteCryptOutput(options.raw ? text : karsidan::CodePageToUtf8(text));
}

int Run(const QStringList& args, bool decrypt)
{
    const QString command = args.value(0);
    const CryptParseResult parsed = ParseCryptOptions(args, decrypt);
    if (!parsed.options)
        return parsed.exitCode;
    QTextStream err(stderr);
    try {
        std::string input = ReadCryptInput(parsed.options->file);
        if (decrypt)
            Decrypt(*parsed.options, std::move(input));
        else
            Encrypt(*parsed.options, std::move(input));
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
