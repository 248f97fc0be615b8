#include "cli/StreamCrypt.h"

#include "cipher/hex/CipherTextCheck.h"
#include "cipher/hex/CipherTextCount.h"
#include "cipher/stream/TripleDesDecryptStream.h"
#include "cipher/stream/TripleDesEncryptStream.h"
#include "cli/CryptIo.h"
#include "cli/SmallCrypt.h"
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"

#include <memory>
#include <optional>
#include <stdexcept>

namespace {

// For a text the count refuses: the check's message names the first
// character that is not a digit. Never returns.
[[noreturn]] void RefuseCipherText(const CryptOptions& options, std::string_view input)
{
    if (options.raw)
        karsidan::CheckCipherText(input);
    else
        karsidan::CheckCipherText(karsidan::Utf8ToCodePage(input));
    throw std::invalid_argument("Bukan teks sandi"); // the count and the check agree: not reached
}

// The decrypted bytes on their way out: without --raw turned into UTF-8
// with LF line breaks, and looked at for control bytes on the way.
class TextSink {
public:
    TextSink(bool raw, CryptOutput& output)
        : raw_(raw), output_(output), converter_({.windowText = true}),
          buffer_(raw ? nullptr : new char[karsidan::CodePageToUtf8Stream::MaxOutput(kPiece)])
    { }

    void operator()(std::string_view bytes)
    {
        if (raw_) {
            output_.Write(bytes);
            return;
        }
        while (!bytes.empty()) {
            const std::string_view piece = bytes.substr(0, kPiece);
            output_.Write({buffer_.get(), converter_.Convert(piece, buffer_.get())});
            bytes.remove_prefix(piece.size());
        }
    }

    void Finish()
    {
        if (!raw_)
            output_.Write({buffer_.get(), converter_.Finish(buffer_.get())});
    }

    // The converter looks for them on its way; --raw never warns.
    bool controlBytes() const { return !raw_ && converter_.controlBytes(); }

private:
    static constexpr std::size_t kPiece = std::size_t{256} << 10;

    bool raw_;
    CryptOutput& output_;
    karsidan::CodePageToUtf8Stream converter_;
    std::unique_ptr<char[]> buffer_;
};

} // namespace

void EncryptStreamed(const CryptOptions& options, CryptInput& input, CryptOutput& output)
{
    karsidan::TripleDesEncryptStream stream(*options.keys, [&output](std::string_view d) { output.Write(d); });
    while (const std::size_t n = input.ReadSome(stream.Space()))
        stream.Commit(n);
    stream.Finish();
    output.Write("\n");
}

DecryptOutcome DecryptStreamed(const CryptOptions& options, CryptInput& input, CryptOutput& output)
{
    // Standard input is held whole; a short one needs no stream.
    std::optional<HeldInput> piped;
    if (!input.Rereadable()) {
        piped = input.ReadAll();
        if (piped->View().size() <= kShortInput)
            return {DecryptShort(options, piped->View(), output)};
    }
    TextSink text(options.raw, output);
    karsidan::TripleDesDecryptStream stream(*options.keys, [&text](std::string_view bytes) { text(bytes); });
    karsidan::CipherTextCount count;
    if (input.Rereadable()) {
        // The stream's text buffer serves the first reading too.
        while (const std::size_t n = input.ReadSome(stream.Space()))
            karsidan::CountCipherText({stream.Space().data(), n}, count);
        input.Rewind();
        if (!count.Acceptable()) {
            RefuseCipherText(options, input.ReadAll().View());
        }
        while (const std::size_t n = input.ReadSome(stream.Space()))
            stream.Commit(n);
    } else {
        const HeldInput& held = *piped;
        karsidan::CountCipherText(held.View(), count);
        if (!count.Acceptable()) {
            RefuseCipherText(options, held.View());
        }
        stream.Write(held.View());
    }
    if (stream.count().digits != count.digits || stream.count().foreign)
        throw CryptIoError("Berkas " + input.name() + " berubah selama dibaca");
    stream.Finish();
    text.Finish();
    return {text.controlBytes()};
}
