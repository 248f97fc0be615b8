#include "cli/Commands.h"

#include "cli/CryptInput.h"
#include "cli/CryptIo.h"
#include "cli/CryptOptions.h"
#include "cli/StreamCrypt.h"
#include "cli/WholeCrypt.h"

#include <QTextStream>

#include <new>
#include <stdexcept>

namespace {

int Run(const QStringList& args, bool decrypt)
{
    const QString command = args.value(0);
    const CryptParseResult parsed = ParseCryptOptions(args, decrypt);
    if (!parsed.options)
        return parsed.exitCode;
    QTextStream err(stderr);
    try {
        const CryptOptions& options = *parsed.options;
        CryptInput input(options.file);
        if (decrypt)
            DecryptStreamed(options, input);
        else if (options.raw)
            EncryptStreamed(options, input);
        else
            EncryptWhole(options, input.ReadAll());
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
