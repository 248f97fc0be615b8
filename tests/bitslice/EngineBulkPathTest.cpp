// The engine's two ways through a whole text give the same bytes: the
// bitsliced kernels on all cores and the 64-bit table path, over texts and
// cipher texts of every shape the lenient reading accepts, with the same
// progress and the same cancellation.
#include "cipher/engine/TripleDesEngine.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace karsidan::bitslice::test {
namespace {

constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

struct Keys {
    std::string k1, k2, k3;
};

std::string RandomBytes(std::mt19937_64& rng, std::size_t n)
{
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

Keys RandomKeys(std::mt19937_64& rng)
{
    auto key = [&] { return "k" + RandomBytes(rng, 1 + rng() % 9); };
    return {key(), key(), key()};
}

std::string Encrypt(const std::string& text, const Keys& k, std::size_t threshold)
{
    TripleDesEngine engine;
    engine.bitsliceMinBlocks = threshold;
    return engine.TripleDesEncrypt(text, k.k1, k.k2, k.k3);
}

std::string Decrypt(const std::string& cipher, const Keys& k, std::size_t threshold)
{
    TripleDesEngine engine;
    engine.bitsliceMinBlocks = threshold;
    return engine.TripleDesDecrypt(cipher, k.k3, k.k2, k.k1);
}

TEST(EngineBulkPath, EncryptsLikeTheTablePathAtEveryShape)
{
    std::mt19937_64 rng(2024);
    std::vector<std::size_t> lengths = {0, 1, 7, 8, 9, 63, 64, 65, 511, 512, 513};
    for (std::size_t blocks : {63, 64, 65, 255, 256, 257, 511, 512, 513, 1025}) {
        lengths.push_back(8 * blocks - 3);
        lengths.push_back(8 * blocks);
    }
    for (std::size_t n : lengths) {
        const Keys k = RandomKeys(rng);
        // Outer spaces are trimmed by both; a 0xB7 inside stays text.
        std::string text = "  " + RandomBytes(rng, n) + "\xB7 ";
        ASSERT_EQ(Encrypt(text, k, 0), Encrypt(text, k, kNever)) << n << " bytes";
    }
}

TEST(EngineBulkPath, DecryptsLikeTheTablePathWhateverSurroundsTheDigits)
{
    std::mt19937_64 rng(77);
    const std::string foreign = " \r\n\tabcdef#\x80\xB7";
    for (int round = 0; round < 60; ++round) {
        const Keys k = RandomKeys(rng);
        const std::size_t n = (round % 4 == 0) ? rng() % 64 : rng() % 30000;
        std::string cipher = Encrypt(RandomBytes(rng, n), k, kNever);
        switch (round % 5) {
        case 1: // line breaks and stray characters anywhere
            for (int i = 0; i < 50 && !cipher.empty(); ++i) {
                cipher.insert(cipher.begin() + long(rng() % cipher.size()), foreign[rng() % foreign.size()]);
            }
            break;
        case 2: // whole bytes short of a block
            cipher.resize(cipher.size() - std::min<std::size_t>(cipher.size(), 2 * (1 + rng() % 7)));
            break;
        case 3: // an odd number of digits: the 60-bit last block
            if (!cipher.empty()) cipher.pop_back();
            break;
        case 4: // lower-case digits are skipped
            for (auto& c : cipher) {
                if (c >= 'A' && c <= 'F' && rng() % 5 == 0) c = static_cast<char>(c - 'A' + 'a');
            }
            break;
        default:
            break;
        }
        ASSERT_EQ(Decrypt(cipher, k, 0), Decrypt(cipher, k, kNever)) << "round " << round;
    }
}

TEST(EngineBulkPath, LongTextRoundTripsAcrossCores)
{
    std::mt19937_64 rng(5);
    const Keys k = RandomKeys(rng);
    // Several steps per thread; no 0xB7 and no outer spaces, so the text
    // comes back exactly.
    std::string text = RandomBytes(rng, (3 << 20) + 5);
    for (auto& c : text) {
        if (static_cast<unsigned char>(c) == 0xB7 || c == ' ') c = 'x';
    }
    const std::string cipher = Encrypt(text, k, TripleDesEngine::kDefaultBitsliceMinBlocks);
    ASSERT_EQ(cipher.size(), 16 * ((text.size() + 7) / 8));
    EXPECT_EQ(cipher.substr(0, 4096), Encrypt(text.substr(0, 2048), k, kNever).substr(0, 4096));
    EXPECT_EQ(Decrypt(cipher, k, TripleDesEngine::kDefaultBitsliceMinBlocks), text);
}

std::vector<std::pair<std::size_t, std::size_t>> ProgressOf(bool encrypt, const std::string& input,
                                                            std::size_t threshold)
{
    std::vector<std::pair<std::size_t, std::size_t>> seen;
    TripleDesEngine engine;
    engine.bitsliceMinBlocks = threshold;
    const auto record = [&](std::size_t done, std::size_t total) { seen.emplace_back(done, total); };
    if (encrypt) {
        engine.TripleDesEncrypt(input, "a", "b", "c", record);
    } else {
        engine.TripleDesDecrypt(input, "c", "b", "a", record);
    }
    return seen;
}

TEST(EngineBulkPath, ReportsProgressLikeTheTablePath)
{
    std::mt19937_64 rng(8);
    const std::string text = RandomBytes(rng, 400000);
    const std::string cipher = Encrypt(text, {"a", "b", "c"}, kNever) + "ABC"; // and an odd tail
    for (const bool encrypt : {true, false}) {
        const std::string& input = encrypt ? text : cipher;
        const auto bulk = ProgressOf(encrypt, input, 0);
        const auto table = ProgressOf(encrypt, input, kNever);
        ASSERT_GE(bulk.size(), 2u);
        EXPECT_EQ(bulk.front(), table.front());
        EXPECT_EQ(bulk.back(), table.back());
        EXPECT_EQ(bulk.back().first, bulk.back().second);
        for (std::size_t i = 1; i < bulk.size(); ++i) {
            EXPECT_LT(bulk[i - 1].first, bulk[i].first) << "progress must only grow";
            EXPECT_EQ(bulk[i].second, bulk.front().second);
        }
    }
}

TEST(EngineBulkPath, ProgressThatThrowsCancels)
{
    const std::string text(2 << 20, 'q');
    TripleDesEngine engine;
    engine.bitsliceMinBlocks = 0;
    int calls = 0;
    const auto cancel = [&](std::size_t done, std::size_t) {
        ++calls;
        if (done > 0) throw std::runtime_error("batal");
    };
    EXPECT_THROW(engine.TripleDesEncrypt(text, "a", "b", "c", cancel), std::runtime_error);
    EXPECT_GE(calls, 2);
}

} // namespace
} // namespace karsidan::bitslice::test
