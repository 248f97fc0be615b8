#include "cli/TextCrypt.h"

#include "cipher/stream/TripleDesEncryptStream.h"
#include "cli/CryptIo.h"
#include "cli/SmallCrypt.h"
#include "cli/TextFileCheck.h"
#include "codepage/Utf8ToCodePageStream.h"

#include <memory>
#include <optional>
#include <stdexcept>

namespace {

// Read and converted in pieces that stay in the caches.
constexpr std::size_t kPiece = std::size_t{256} << 10;

using karsidan::Utf8ToCodePageStream;

struct Buffers {
    std::unique_ptr<char[]> text{new char[kPiece]};
    std::unique_ptr<char[]> bytes{new char[Utf8ToCodePageStream::MaxOutput(kPiece)]};
};

void CheckHeld(std::string_view text)
{
    Utf8ToCodePageStream check({.windowText = true});
    check.Check(text);
    check.Finish();
}

} // namespace

void EncryptText(const CryptOptions& options, CryptInput& input, CryptOutput& output)
{
    // Standard input is held whole; a short one needs no stream.
    std::optional<HeldInput> piped;
    if (!input.Rereadable()) {
        piped = input.ReadAll();
        if (piped->View().size() <= kShortInput) {
            EncryptShort(options, piped->View(), output);
            return;
        }
    }
    karsidan::TripleDesEncryptStream stream(*options.keys, [&output](std::string_view d) { output.Write(d); });
    Buffers buffers;
    Utf8ToCodePageStream convert({.windowText = true});
    // Converted straight into the stream's buffer where it has room, so
    // the bytes are not copied once more.
    auto feed = [&](std::string_view piece) {
        while (!piece.empty()) {
            const std::span<char> space = stream.Space();
            const std::size_t fits = space.size() > Utf8ToCodePageStream::MaxOutput(0)
                ? (space.size() - Utf8ToCodePageStream::MaxOutput(0)) / 2
                : 0;
            if (fits >= 64) {
                const std::string_view part = piece.substr(0, fits);
                stream.Commit(convert.Convert(part, space.data()));
                piece.remove_prefix(part.size());
            } else {
                const std::string_view part = piece.substr(0, 64);
                stream.Write({buffers.bytes.get(), convert.Convert(part, buffers.bytes.get())});
                piece.remove_prefix(part.size());
            }
        }
    };
    if (input.Rereadable() && output.HeldBack()) {
        // Into a file that appears only once all is written: a fault still
        // stops it in time, so one reading does, and names the same fault.
        while (const std::size_t n = input.ReadSome({buffers.text.get(), kPiece}))
            feed({buffers.text.get(), n});
        convert.Finish();
    } else if (input.Rereadable()) {
        const unsigned long long checked = CheckTextFile(input, {buffers.text.get(), kPiece});
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
        const HeldInput& held = *piped;
        CheckHeld(held.View());
        for (std::size_t at = 0; at < held.View().size(); at += kPiece)
            feed(held.View().substr(at, kPiece));
    }
    stream.Finish();
    output.Write("\n");
}
