#include "cli/Commands.h"

#include "cli/CryptInput.h"
#include "cli/CryptIo.h"
#include "cli/CryptOptions.h"
#include "cli/CryptOutput.h"
#include "cli/SmallCrypt.h"
#include "cli/StreamCrypt.h"
#include "cli/TextCrypt.h"

#include "cipher/keys/KeyWarnings.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace {

void Tell(const std::string& command, const std::string& text)
{
    std::fputs((command + ": " + text + "\n").c_str(), stderr);
}

int Run(const std::vector<std::string>& args, bool decrypt)
{
    const std::string& command = args.at(0);
    const CryptParseResult parsed = ParseCryptOptions(args, decrypt);
    if (!parsed.options)
        return parsed.exitCode;
    const CryptOptions& options = *parsed.options;
    for (const std::string& warning : karsidan::WeakKeyWarnings(*options.keys))
        Tell(command, "peringatan: " + warning);
    try {
        CryptInput input(options.file);
        CryptOutput output(options.output);
        const long long size = input.Size();
        const bool shortFile = size >= 0 && static_cast<unsigned long long>(size) <= kShortInput;
        bool controlBytes = false;
        if (shortFile) {
            const HeldInput held = input.ReadAll();
            if (decrypt)
                controlBytes = DecryptShort(options, held.View(), output);
            else
                EncryptShort(options, held.View(), output);
        } else if (decrypt) {
            controlBytes = DecryptStreamed(options, input, output).controlBytes;
        } else if (options.raw) {
            EncryptStreamed(options, input, output);
        } else {
            EncryptText(options, input, output);
        }
        output.Commit();
        if (controlBytes)
            Tell(command, "peringatan: " + std::string(karsidan::NotTextWarning()));
        return 0;
    } catch (const CryptIoError& e) {
        Tell(command, e.what());
        return 1;
    } catch (const std::invalid_argument& e) {
        Tell(command, e.what());
        return 2;
    } catch (const std::bad_alloc&) {
        Tell(command, "memori tidak cukup untuk masukan ini");
        return 1;
    }
}

} // namespace

int RunEncrypt(const std::vector<std::string>& args) { return Run(args, false); }
int RunDecrypt(const std::vector<std::string>& args) { return Run(args, true); }
