#include "cli/TextFileCheck.h"

#include "codepage/Utf8ToCodePageStream.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using karsidan::Utf8ToCodePageStream;

// Below this more threads cost more than they save.
constexpr unsigned long long kInPieces = 8ull << 20;
// A piece: some hundred microseconds of work, so a thread that starts late
// or stops for another program leaves little for the others to wait on.
constexpr unsigned long long kPiece = 1ull << 20;
// Read at a time by a helper, so it stays in the caches while it is
// checked; the caller reads into its own buffer.
constexpr std::size_t kRead = std::size_t{256} << 10;

// Where the piece that would begin at `at` begins: the first byte there
// that is not a continuation byte, looked for over a character's length.
// Nothing when there is none or nothing to read: malformed, or the file
// shrank; the reading in order decides then.
std::optional<unsigned long long> PieceStart(const CryptInput& input, unsigned long long at)
{
    if (at == 0)
        return 0;
    char around[4];
    const std::size_t got = input.ReadAt(around, at);
    for (std::size_t k = 0; k < got; ++k)
        if ((static_cast<unsigned char>(around[k]) & 0xC0) != 0x80)
            return at + k;
    return std::nullopt;
}

class PieceCheck {
public:
    PieceCheck(const CryptInput& input, unsigned long long size)
        : input_(input), ends_((size + kPiece - 1) / kPiece), starts_(ends_.size())
    { }

    // Takes pieces until none is left or one gives any doubt, reading
    // into buffer.
    void Run(std::span<char> buffer)
    {
        while (!doubt_.load(std::memory_order_relaxed)) {
            const std::size_t k = next_.fetch_add(1);
            if (k >= ends_.size())
                return;
            try {
                if (!Piece(k, buffer))
                    doubt_ = true;
            } catch (...) {
                doubt_ = true; // a failed read, a fault: the reading in order words it
            }
        }
    }

    // The bytes of the whole file when every piece converts and they join
    // up; nothing at the least doubt.
    std::optional<unsigned long long> Verdict() const
    {
        if (doubt_)
            return std::nullopt;
        for (std::size_t k = 1; k < ends_.size(); ++k)
            if (ends_[k - 1] != starts_[k])
                return std::nullopt; // the file changed under the readers
        return ends_.back();
    }

private:
    // Piece k from its first character to where the next one starts; the
    // last one to the end of the file. Its own stream: the text before it
    // is another thread's, and only the first drops a byte-order mark (one
    // elsewhere does not convert).
    bool Piece(std::size_t k, std::span<char> buffer)
    {
        const bool last = k + 1 == ends_.size();
        const auto start = PieceStart(input_, k * kPiece);
        if (!start)
            return false;
        unsigned long long end = ~0ull; // the last: to the end of the file
        if (!last) {
            const auto next = PieceStart(input_, (k + 1) * kPiece);
            if (!next)
                return false;
            end = *next;
        }
        Utf8ToCodePageStream check({.windowText = k == 0});
        unsigned long long at = *start;
        while (at < end) {
            const auto want = static_cast<std::size_t>(std::min<unsigned long long>(buffer.size(), end - at));
            const std::size_t got = input_.ReadAt(buffer.first(want), at);
            if (got == 0)
                break;
            check.Check({buffer.data(), got});
            at += got;
        }
        check.Finish();
        if (!last && at != end)
            return false; // the file shrank
        starts_[k] = *start;
        ends_[k] = at;
        return true;
    }

    const CryptInput& input_;
    std::vector<unsigned long long> ends_;
    std::vector<unsigned long long> starts_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> doubt_{false};
};

std::optional<unsigned long long> CheckInPieces(const CryptInput& input, std::span<char> buffer)
{
    const long long size = input.Size();
    const unsigned cores = std::thread::hardware_concurrency();
    if (size < static_cast<long long>(kInPieces) || cores < 2 || buffer.empty())
        return std::nullopt;
    PieceCheck check(input, static_cast<unsigned long long>(size));
    {
        std::vector<std::jthread> helpers;
        const auto pieces = static_cast<unsigned long long>(size) / kPiece;
        const unsigned count = static_cast<unsigned>(std::min<unsigned long long>(cores, pieces)) - 1;
        for (unsigned t = 0; t < count; ++t) {
            try {
                helpers.emplace_back([&check] {
                    const std::unique_ptr<char[]> own(new (std::nothrow) char[kRead]);
                    if (own)
                        check.Run({own.get(), kRead});
                });
            } catch (const std::system_error&) {
                break; // no thread to be had: the others take its pieces
            }
        }
        check.Run(buffer);
    }
    return check.Verdict();
}

} // namespace

unsigned long long CheckTextFile(CryptInput& input, std::span<char> buffer)
{
    if (const auto checked = CheckInPieces(input, buffer))
        return *checked;
    // In order, which names the first fault.
    Utf8ToCodePageStream check({.windowText = true});
    unsigned long long total = 0;
    while (const std::size_t n = input.ReadSome(buffer)) {
        check.Check({buffer.data(), n});
        total += n;
    }
    check.Finish();
    return total;
}
