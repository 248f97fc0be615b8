#include "cli/TextCrypt.h"

#include "cipher/stream/TripleDesEncryptStream.h"
#include "cli/CryptIo.h"
#include "cli/SmallCrypt.h"
#include "codepage/Utf8ToCodePageStream.h"

#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

namespace {

// Read and converted in pieces that stay in the caches.
constexpr std::size_t kPiece = std::size_t{256} << 10;

using karsidan::Utf8ToCodePageStream;

struct Buffers {
    std::unique_ptr<char[]> text{new char[kPiece]};
    std::unique_ptr<char[]> bytes{new char[Utf8ToCodePageStream::MaxOutput(kPiece)]};
};

// Below this a second thread costs more than it saves.
constexpr unsigned long long kTwoHalves = 8ull << 20;

// Where the second half of a check may begin: the first byte at or after
// `at` that is not a continuation byte, looked for over a character's
// length. Nothing when there is none there: the text is malformed anyway.
std::optional<std::size_t> CharacterStart(std::string_view bytes)
{
    for (std::size_t k = 0; k < bytes.size() && k < 4; ++k)
        if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80)
            return k;
    return std::nullopt;
}

// Checks a part of the text with its own stream. The part after the first
// one starts with no byte-order mark to drop: a mark there does not convert.
template <class Read>
bool PartConverts(bool first, Read read)
{
    try {
        Utf8ToCodePageStream check({.windowText = first});
        const std::unique_ptr<char[]> text(new char[kPiece]);
        while (const std::size_t n = read(std::span<char>(text.get(), kPiece)))
            check.Check({text.get(), n});
        check.Finish();
        return true;
    } catch (...) {
        return false;
    }
}

// Both halves of a file at once, on two cores: the number of bytes read
// when both convert, nothing at the least doubt (malformed text, a read
// that failed, a file that changed), and then the caller checks the whole
// file in order, which names the first fault as always.
std::optional<unsigned long long> CheckFileInHalves(CryptInput& input)
{
    const long long size = input.Size();
    if (size < static_cast<long long>(kTwoHalves) || std::thread::hardware_concurrency() < 2)
        return std::nullopt;
    std::optional<unsigned long long> split;
    try {
        char around[4];
        const unsigned long long middle = static_cast<unsigned long long>(size) / 2;
        const std::size_t got = input.ReadAt(around, middle);
        if (const auto k = CharacterStart({around, got}))
            split = middle + *k;
    } catch (const std::exception&) {
    }
    if (!split)
        return std::nullopt;
    unsigned long long secondBytes = 0;
    bool secondConverts = false;
    std::thread second([&] {
        secondConverts = PartConverts(false, [&](std::span<char> into) {
            const std::size_t n = input.ReadAt(into, *split + secondBytes);
            secondBytes += n;
            return n;
        });
    });
    unsigned long long firstBytes = 0;
    const bool firstConverts = PartConverts(true, [&](std::span<char> into) {
        const std::size_t n = input.ReadAt(into.first(std::min<unsigned long long>(into.size(), *split - firstBytes)),
                                           firstBytes);
        firstBytes += n;
        return n;
    });
    second.join();
    if (!firstConverts || !secondConverts || firstBytes != *split)
        return std::nullopt;
    return *split + secondBytes;
}

// The first reading: only whether it converts. Returns the bytes read.
unsigned long long CheckFile(CryptInput& input, Buffers& buffers)
{
    if (const auto checked = CheckFileInHalves(input))
        return *checked;

    Utf8ToCodePageStream check({.windowText = true});
    unsigned long long total = 0;
    while (const std::size_t n = input.ReadSome({buffers.text.get(), kPiece})) {
        check.Check({buffers.text.get(), n});
        total += n;
    }
    check.Finish();
    return total;
}

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
        const HeldInput& held = *piped;
        CheckHeld(held.View());
        for (std::size_t at = 0; at < held.View().size(); at += kPiece)
            feed(held.View().substr(at, kPiece));
    }
    stream.Finish();
    output.Write("\n");
}
