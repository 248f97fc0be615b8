// The streaming transforms against whole texts on the table kernel (an
// implementation of its own, not the bitsliced kernels the streams run on): random keys and texts, lengths around every
// chunk and batch boundary, input cut into pieces every way it can arrive, runs of spaces longer than a chunk, and the
// fast cipher-text count against CheckCipherText.
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/hex/CipherTextCheck.h"
#include "cipher/hex/CipherTextCount.h"
#include "cipher/keys/TripleDesKeys.h"
#include "cipher/reference/TableText.h"
#include "cipher/stream/StreamWorkers.h"
#include "cipher/stream/TripleDesDecryptStream.h"
#include "cipher/stream/TripleDesEncryptStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace karsidan;

namespace {

constexpr char kPad = static_cast<char>(0xB7);

// How the input is handed to a stream.
enum class Feed { Whole, RandomPieces, ShortReads };

struct Keys {
    std::string k1, k2, k3;
    TripleDesKeys Made() const { return TripleDesKeys::FromCodePage(k1, k2, k3); }
};

Keys RandomKeys(std::mt19937& rng)
{
    auto key = [&] {
        std::string k(1 + rng() % 8, ' ');
        for (auto& c : k)
            c = static_cast<char>(rng() % 4 == 0 ? 0x80 + rng() % 128 : '!' + rng() % 90);
        return k;
    };
    return {key(), key(), key()};
}

// Random bytes; with spaces, a text where runs of spaces and padding bytes
// are frequent, at the ends too.
std::string RandomText(std::mt19937& rng, std::size_t n, bool spaces = false)
{
    std::string t(n, '\0');
    for (auto& c : t) {
        const unsigned r = rng();
        c = static_cast<char>(spaces && r % 3 != 0 ? (r % 7 == 0 ? kPad : ' ') : r >> 8);
    }
    return t;
}

// Hands `input` to a stream with Space/Commit or Write, in the given way.
template <typename Stream>
void FeedInto(Stream& stream, std::string_view input, Feed feed, std::mt19937& rng)
{
    while (!input.empty()) {
        const std::size_t most = feed == Feed::Whole ? input.size() : 1 + rng() % (2 * stream.Space().size() + 3);
        const std::size_t n = std::min(most, input.size());
        if (feed == Feed::ShortReads) {
            const auto space = stream.Space();
            const std::size_t got = std::min(n, space.size());
            std::memcpy(space.data(), input.data(), got);
            stream.Commit(got);
            input.remove_prefix(got);
        } else {
            stream.Write(input.substr(0, n));
            input.remove_prefix(n);
        }
    }
}

std::string StreamEncrypt(std::string_view text, const Keys& k, StreamOptions options, Feed feed, std::mt19937& rng)
{
    std::string out;
    TripleDesEncryptStream stream(
        k.Made(), [&](std::string_view d) { out.append(d); }, options);
    FeedInto(stream, text, feed, rng);
    stream.Finish();
    return out;
}

std::string StreamDecrypt(std::string_view cipher, const Keys& k, StreamOptions options, Feed feed, std::mt19937& rng)
{
    std::string out;
    TripleDesDecryptStream stream(
        k.Made(), [&](std::string_view d) { out.append(d); }, options);
    FeedInto(stream, cipher, feed, rng);
    stream.Finish();
    return out;
}

// The lengths worth a look for a chunk of c bytes: the ends of blocks, of
// chunks and of the kernels' batches (64, 256 and 512 blocks).
std::vector<std::size_t> LengthsAround(std::size_t c)
{
    std::vector<std::size_t> v = {0, 1, 7, 8, 9, 15, 16, 17};
    for (const std::size_t edge : {c, 2 * c, 3 * c, std::size_t{8 * 64}, std::size_t{8 * 256}, std::size_t{8 * 512}})
        for (const int d : {-9, -8, -7, -1, 0, 1, 7, 8, 9})
            v.push_back(static_cast<std::size_t>(static_cast<long long>(edge) + d));
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// The cipher text as a user may hand it in: lower-case digits, spaces and
// line breaks anywhere.
std::string Messy(std::string cipher, std::mt19937& rng)
{
    std::string out;
    for (char c : cipher) {
        if (rng() % 5 == 0)
            out += " \t\r\n\v\f"[rng() % 6];
        out += rng() % 3 == 0 ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
    }
    return out;
}

const StreamOptions kSmallChunks[] = {{16, 1}, {40, 2}, {8 * 512, 2}, {8 * 512 + 24, 3}};

} // namespace

TEST(TripleDesEncryptStream, MatchesTheEngineAtEveryBoundaryAndEveryWayOfFeeding)
{
    std::mt19937 rng(61);
    for (const StreamOptions& options : kSmallChunks) {
        for (const std::size_t n : LengthsAround(options.chunkBytes)) {
            for (const Feed feed : {Feed::Whole, Feed::RandomPieces, Feed::ShortReads}) {
                const Keys k = RandomKeys(rng);
                const std::string text = RandomText(rng, n);
                ASSERT_EQ(StreamEncrypt(text, k, options, feed, rng), TableEncryptText(text, k.Made()))
                    << "chunk " << options.chunkBytes << ", length " << n << ", feed " << int(feed);
            }
        }
    }
}

TEST(TripleDesEncryptStream, OuterSpacesAreDroppedHoweverLongTheirRuns)
{
    std::mt19937 rng(62);
    const Keys k{"satu", "dua", "tiga"};
    const StreamOptions options{32, 2};
    std::vector<std::string> texts = {
        std::string(1000, ' '), // nothing but spaces
        std::string(100, ' ') + "x" + std::string(100, ' '), // longer than a chunk on both sides
        "a" + std::string(77, ' ') + "b", // a long inner run stays
        "abcdefg" + std::string(25, ' '), // spaces fill the chunk after a part block
        std::string(31, ' ') + "12345678" + std::string(33, ' ') + kPad,
    };
    for (int i = 0; i < 200; ++i)
        texts.push_back(RandomText(rng, rng() % 300, true));
    for (const std::string& text : texts) {
        for (const Feed feed : {Feed::Whole, Feed::RandomPieces, Feed::ShortReads})
            ASSERT_EQ(StreamEncrypt(text, k, options, feed, rng), TableEncryptText(text, k.Made()))
                << "[" << text << "] feed " << int(feed);
    }
}

TEST(TripleDesEncryptStream, DefaultChunksOverSeveralMegabytes)
{
    std::mt19937 rng(63);
    const Keys k = RandomKeys(rng);
    const std::string text = RandomText(rng, 5 * (std::size_t{1} << 20) + 13);
    EXPECT_EQ(StreamEncrypt(text, k, {}, Feed::RandomPieces, rng), TripleDesEngine().TripleDesEncrypt(text, k.Made()));
}

TEST(TripleDesDecryptStream, MatchesCheckAndDecryptOfTheEngine)
{
    std::mt19937 rng(64);
    for (const StreamOptions& options : kSmallChunks) {
        for (const std::size_t n : LengthsAround(options.chunkBytes)) {
            const Keys k = RandomKeys(rng);
            std::string text = RandomText(rng, n, n % 3 == 0);
            // A text of the user's own that ends in padding bytes: only 7 go.
            if (n % 5 == 0 && n >= 9)
                std::fill(text.end() - 9, text.end(), kPad);
            const std::string cipher = TableEncryptText(text, k.Made());
            const std::string messy = Messy(cipher, rng);
            const std::string expected = TableDecryptText(CheckCipherText(messy), k.Made());
            for (const Feed feed : {Feed::Whole, Feed::RandomPieces, Feed::ShortReads}) {
                ASSERT_EQ(StreamDecrypt(messy, k, options, feed, rng), expected)
                    << "chunk " << options.chunkBytes << ", length " << n << ", feed " << int(feed);
            }
        }
    }
}

TEST(TripleDesDecryptStream, RoundTripOfSeveralMegabytes)
{
    std::mt19937 rng(65);
    const Keys k = RandomKeys(rng);
    std::string text = RandomText(rng, 3 * (std::size_t{1} << 20) + 5);
    text.front() = 'a';
    text.back() = 'z';
    const std::string cipher = StreamEncrypt(text, k, {}, Feed::Whole, rng);
    EXPECT_EQ(StreamDecrypt(cipher + "\n", k, {}, Feed::RandomPieces, rng), text);
}

TEST(TripleDesDecryptStream, DigitsShortOfABlockAreRefusedWithTheCheckMessage)
{
    std::mt19937 rng(66);
    const Keys k{"a", "b", "c"};
    const std::string cipher = TableEncryptText("sixteen bytes!!!", k.Made());
    for (const std::size_t cut : {1, 2, 15, 17}) {
        const std::string shorter = cipher.substr(0, cipher.size() - cut);
        std::string written;
        TripleDesDecryptStream stream(k.Made(), [&](std::string_view d) { written.append(d); }, {8, 1});
        stream.Write(shorter);
        std::string message;
        try {
            stream.Finish();
        } catch (const std::invalid_argument& e) {
            message = e.what();
        }
        try {
            CheckCipherText(shorter);
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(message, e.what()) << cut;
        }
        // Only whole blocks before the last are written; nothing unchecked.
        EXPECT_LE(written.size(), shorter.size() / 16 * 8 - (shorter.size() >= 16 ? 8 : 0)) << cut;
    }
}

TEST(TripleDesStreams, AFailingSinkStopsTheStreamAndItStillWindsDown)
{
    std::mt19937 rng(67);
    const std::string text = RandomText(rng, 100000);
    int calls = 0;
    auto failing = [&](std::string_view) {
        if (++calls == 2)
            throw std::runtime_error("disk penuh");
    };
    {
        TripleDesEncryptStream stream(TripleDesKeys::FromCodePage("a", "b", "c"), failing, {4096, 2});
        EXPECT_THROW(stream.Write(text), std::runtime_error);
    } // destroyed with a chunk possibly still on the workers
    calls = 0;
    const auto keys = TripleDesKeys::FromCodePage("a", "b", "c");
    const std::string cipher = TableEncryptText(text, keys);
    TripleDesDecryptStream stream(keys, failing, {4096, 2});
    EXPECT_THROW(
        {
            stream.Write(cipher);
            stream.Finish();
        },
        std::runtime_error);
}

TEST(CipherTextCount, AgreesWithCheckCipherTextAtEveryOffset)
{
    std::mt19937 rng(68);
    const std::string alphabet = "0123456789ABCDEFabcdef \t\r\n\v\f";
    for (int i = 0; i < 3000; ++i) {
        // Long enough now and then to pass the 255-step lane sums.
        const std::size_t n = i % 100 == 0 ? 16 * 255 * 2 + rng() % 64 : rng() % 80;
        std::string text(n, '0');
        for (auto& c : text)
            c = alphabet[rng() % alphabet.size()];
        if (n > 0 && i % 3 == 0)
            text[rng() % n] = static_cast<char>(rng() % 256);
        CipherTextCount count;
        // In two pieces, as chunks come.
        const std::size_t cut = n == 0 ? 0 : rng() % n;
        CountCipherText(std::string_view(text).substr(0, cut), count);
        CountCipherText(std::string_view(text).substr(cut), count);

        const auto digits = static_cast<std::size_t>(std::count_if(
            text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }));
        const bool lower = std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'f'; });
        bool accepted = true;
        try {
            CheckCipherText(text);
        } catch (const std::invalid_argument&) {
            accepted = false;
        }
        ASSERT_EQ(count.digits, digits) << i;
        ASSERT_EQ(count.lowerCase, lower) << i;
        ASSERT_EQ(count.Acceptable(), accepted) << i << " [" << text << "]";
    }
}

TEST(StreamWorkers, StepsCoverEveryItemOnceWhoeverTakesThem)
{
    for (const unsigned threads : {1u, 2u, 3u}) {
        StreamWorkers workers(threads);
        for (const std::size_t items : {0, 1, 511, 512, 513, 1500, 4096}) {
            for (const std::size_t step : {1, 64, 512, 5000}) {
                std::vector<std::atomic<unsigned>> seen(items);
                std::atomic<bool> uneven{false};
                workers.StartSteps(items, step, [&](std::size_t first, std::size_t count) {
                    if (first % step != 0 || (count != step && first + count != items))
                        uneven = true;
                    for (std::size_t i = first; i < first + count; ++i)
                        ++seen[i];
                });
                workers.Wait();
                EXPECT_FALSE(uneven) << items << " by " << step;
                for (std::size_t i = 0; i < items; ++i)
                    ASSERT_EQ(seen[i].load(), 1u) << "item " << i << " of " << items << " by " << step;
            }
        }
    }
}

// A worker held up (as by another program on its core) does not hold up
// the rest: the caller takes the steps left while it waits. Without that
// the held step would wait for steps nobody else takes.
TEST(StreamWorkers, TheCallerTakesTheStepsAWorkerLeaves)
{
    StreamWorkers workers(1);
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    bool waitedInVain = false;
    std::size_t byCaller = 0;
    workers.StartSteps(8, 1, [&](std::size_t first, std::size_t) {
        std::unique_lock lock(mutex);
        if (std::this_thread::get_id() == caller) {
            ++byCaller;
        } else if (first == 0) {
            // The worker's first step waits until the other seven are done.
            waitedInVain = !changed.wait_for(lock, std::chrono::seconds(20), [&] { return done == 7; });
        }
        ++done;
        changed.notify_all();
    });
    workers.Wait();
    EXPECT_FALSE(waitedInVain);
    EXPECT_EQ(done, 8u);
    EXPECT_GE(byCaller, 1u);
}

TEST(StreamWorkers, RunEveryShareAndPassOnTheFirstError)
{
    StreamWorkers workers(3);
    ASSERT_EQ(workers.shares(), 3u);
    for (int round = 0; round < 50; ++round) {
        std::atomic<unsigned> seen{0};
        workers.Start([&](unsigned share) { seen |= 1u << share; });
        workers.Wait();
        ASSERT_EQ(seen.load(), 7u) << round;
    }
    workers.Start([](unsigned share) {
        if (share == 1)
            throw std::runtime_error("gagal");
    });
    EXPECT_THROW(workers.Wait(), std::runtime_error);
    workers.Wait(); // the error is passed on once

    // In steps: the first error is passed on, and the steps stop: each
    // thread ends the one it has, if any, and takes no other.
    std::atomic<std::size_t> ran{0};
    workers.StartSteps(2000, 1, [&](std::size_t first, std::size_t) {
        ++ran;
        if (first == 10)
            throw std::runtime_error("gagal");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_THROW(workers.Wait(), std::runtime_error);
    EXPECT_LT(ran.load(), 1000u);
    workers.Wait();
}
