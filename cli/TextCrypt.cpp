#include "cli/TextCrypt.h"

#include "cipher/stream/TripleDesEncryptStream.h"
#include "cli/CryptIo.h"
#include "codepage/Utf8ToCodePageStream.h"

#include <memory>
#include <stdexcept>

namespace {

// Read and converted in pieces that stay in the caches.
constexpr std::size_t kPiece = std::size_t{256} << 10;

using karsidan::Utf8ToCodePageStream;

struct Buffers {
    std::unique_ptr<char[]> text{new char[kPiece]};
    std::unique_ptr<char[]> bytes{new char[Utf8ToCodePageStream::MaxOutput(kPiece)]};
};

// The first reading: only whether it converts. Returns the bytes read.
unsigned long long CheckFile(CryptInput& input, Buffers& buffers)
{
    Utf8ToCodePageStream check({.windowText = true});
    unsigned long long total = 0;
    while (const std::size_t n = input.ReadSome({buffers.text.get(), kPiece})) {
        check.Convert({buffers.text.get(), n}, buffers.bytes.get());
        total += n;
    }
    check.Finish();
    return total;
}

void CheckHeld(std::string_view text, Buffers& buffers)
{
    Utf8ToCodePageStream check({.windowText = true});
    for (std::size_t at = 0; at < text.size(); at += kPiece)
        check.Convert(text.substr(at, kPiece), buffers.bytes.get());
    check.Finish();
}

} // namespace

void EncryptText(const CryptOptions& options, CryptInput& input, CryptOutput& output)
{
    const auto& k = options.keys;
    karsidan::TripleDesEncryptStream stream(k[0], k[1], k[2], [&output](std::string_view d) { output.Write(d); });
    Buffers buffers;
    Utf8ToCodePageStream convert({.windowText = true});
    auto feed = [&](std::string_view piece) {
        stream.Write({buffers.bytes.get(), convert.Convert(piece, buffers.bytes.get())});
    };
    if (input.Rereadable()) {
        const unsigned long long checked = CheckFile(input, buffers);
        input.Rewind();
        unsigned long long total = 0;
        try {
            while (const std::size_t n = input.ReadSome({buffers.text.get(), kPiece})) {
                total += n;
                feed({buffers.text.get(), n});
            }
            convert.Finish();
        } catch (const std::invalid_argument&) {
            total = ~0ull;
        }
        if (total != checked)
            throw CryptIoError("Berkas " + input.name() + " berubah selama dibaca");
    } else {
        const HeldInput held = input.ReadAll();
        CheckHeld(held.View(), buffers);
        for (std::size_t at = 0; at < held.View().size(); at += kPiece)
            feed(held.View().substr(at, kPiece));
    }
    stream.Finish();
    output.Write("\n");
}
