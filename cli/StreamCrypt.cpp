#include "cli/StreamCrypt.h"

#include "cipher/hex/CipherTextCount.h"
#include "codepage/CodePage.h"
#include "cli/CryptIo.h"
#include "cipher/stream/TripleDesDecryptStream.h"
#include "cipher/stream/TripleDesEncryptStream.h"
#include "cli/WholeCrypt.h"

void EncryptStreamed(const CryptOptions& options, CryptInput& input)
{
    karsidan::TripleDesEncryptStream stream(*options.keys, WriteCryptOutput);
    while (const std::size_t n = input.ReadSome(stream.Space()))
        stream.Commit(n);
    stream.Finish();
    WriteCryptOutput("\n");
}

void DecryptStreamed(const CryptOptions& options, CryptInput& input)
{
    karsidan::TripleDesDecryptStream::Sink sink = WriteCryptOutput;
    if (!options.raw) {
        // One byte is one character: the pieces convert on their own.
        sink = [](std::string_view bytes) { WriteCryptOutput(karsidan::CodePageToUtf8(bytes)); };
    }
    karsidan::TripleDesDecryptStream stream(*options.keys, sink);
    karsidan::CipherTextCount count;
    if (input.Rereadable()) {
        // The stream's text buffer serves the first reading too.
        while (const std::size_t n = input.ReadSome(stream.Space()))
            karsidan::CountCipherText({stream.Space().data(), n}, count);
        input.Rewind();
        if (!count.Acceptable()) {
            DecryptWhole(options, input.ReadAll());
            return;
        }
        while (const std::size_t n = input.ReadSome(stream.Space()))
            stream.Commit(n);
    } else {
        std::string text = input.ReadAll();
        karsidan::CountCipherText(text, count);
        if (!count.Acceptable()) {
            DecryptWhole(options, std::move(text));
            return;
        }
        stream.Write(text);
    }
    if (stream.count().digits != count.digits || stream.count().foreign)
        throw CryptIoError(("Berkas " + input.name() + " berubah selama dibaca").toStdString());
    stream.Finish();
}
