// The engine (bitsliced kernels, one batch for short texts, all cores for
// long ones) gives the same bytes as whole texts on the 64-bit table kernel,
// over texts and cipher texts of every shape the lenient reading accepts,
// at every batch boundary; progress runs from 0 to the total and a
// throwing report cancels.
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/reference/TableText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace karsidan::bitslice::test {
namespace {

struct Keys {
    std::string k1, k2, k3;
    TripleDesKeys Made() const { return TripleDesKeys::FromCodePage(k1, k2, k3); }
};

enum class Path { Engine, Table };

std::string RandomBytes(std::mt19937_64& rng, std::size_t n)
{
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(rng());
    return s;
}

Keys RandomKeys(std::mt19937_64& rng)
{
    auto key = [&] { return "k" + RandomBytes(rng, 1 + rng() % 7); };
    return {key(), key(), key()};
}

std::string Encrypt(const std::string& text, const Keys& k, Path path)
{
    if (path == Path::Table)
        return TableEncryptText(text, k.Made());
    return TripleDesEngine().TripleDesEncrypt(text, k.Made());
}

std::string Decrypt(const std::string& cipher, const Keys& k, Path path)
{
    if (path == Path::Table)
        return TableDecryptText(cipher, k.Made());
    return TripleDesEngine().TripleDesDecrypt(cipher, k.Made());
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
        ASSERT_EQ(Encrypt(text, k, Path::Engine), Encrypt(text, k, Path::Table)) << n << " bytes";
    }
}

TEST(EngineBulkPath, DecryptsLikeTheTablePathWhateverSurroundsTheDigits)
{
    std::mt19937_64 rng(77);
    const std::string foreign = " \r\n\tabcdef#\x80\xB7";
    for (int round = 0; round < 60; ++round) {
        const Keys k = RandomKeys(rng);
        const std::size_t n = (round % 4 == 0) ? rng() % 64 : rng() % 30000;
        std::string cipher = Encrypt(RandomBytes(rng, n), k, Path::Table);
        switch (round % 5) {
        case 1: // line breaks and stray characters anywhere
            for (int i = 0; i < 50 && !cipher.empty(); ++i) {
                cipher.insert(cipher.begin() + long(rng() % cipher.size()), foreign[rng() % foreign.size()]);
            }
            break;
        case 2: // whole bytes short of a block
            cipher.resize(cipher.size() - std::min<std::size_t>(cipher.size(), 2 * (1 + rng() % 7)));
            break;
        case 3: // an odd number of digits: half a byte, refused by both
            cipher += "A";
            EXPECT_THROW(Decrypt(cipher, k, Path::Engine), std::invalid_argument);
            EXPECT_THROW(Decrypt(cipher, k, Path::Table), std::invalid_argument);
            cipher.pop_back();
            break;
        case 4: // lower-case digits are skipped
            for (auto& c : cipher) {
                if (c >= 'A' && c <= 'F' && rng() % 5 == 0)
                    c = static_cast<char>(c - 'A' + 'a');
            }
            break;
        default: break;
        }
        const auto digits = std::count_if(cipher.begin(), cipher.end(),
                                          [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
        if (digits % 2 == 1) { // lower-cased digits skipped can leave half a byte
            EXPECT_THROW(Decrypt(cipher, k, Path::Engine), std::invalid_argument);
            EXPECT_THROW(Decrypt(cipher, k, Path::Table), std::invalid_argument);
            continue;
        }
        ASSERT_EQ(Decrypt(cipher, k, Path::Engine), Decrypt(cipher, k, Path::Table)) << "round " << round;
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
        if (static_cast<unsigned char>(c) == 0xB7 || c == ' ')
            c = 'x';
    }
    const std::string cipher = Encrypt(text, k, Path::Engine);
    ASSERT_EQ(cipher.size(), 16 * ((text.size() + 7) / 8));
    EXPECT_EQ(cipher.substr(0, 4096), Encrypt(text.substr(0, 2048), k, Path::Table).substr(0, 4096));
    EXPECT_EQ(Decrypt(cipher, k, Path::Engine), text);
}

std::vector<std::pair<std::size_t, std::size_t>> ProgressOf(bool encrypt, const std::string& input)
{
    std::vector<std::pair<std::size_t, std::size_t>> seen;
    TripleDesEngine engine;
    const auto record = [&](std::size_t done, std::size_t total) { seen.emplace_back(done, total); };
    const auto keys = TripleDesKeys::FromCodePage("a", "b", "c");
    if (encrypt) {
        engine.TripleDesEncrypt(input, keys, record);
    } else {
        engine.TripleDesDecrypt(input, keys, record);
    }
    return seen;
}

TEST(EngineBulkPath, ReportsProgressFromNothingToAllBlocksOfThreePasses)
{
    std::mt19937_64 rng(8);
    std::string text = RandomBytes(rng, 400000);
    text.front() = text.back() = 'x';
    const std::string cipher = Encrypt(text, {"a", "b", "c"}, Path::Table) + "ABCD"; // and a short tail
    const std::size_t total = 3 * (400000 / 8 + 1);
    for (const bool encrypt : {true, false}) {
        const std::string& input = encrypt ? text : cipher;
        const auto bulk = ProgressOf(encrypt, input);
        ASSERT_GE(bulk.size(), 2u);
        EXPECT_EQ(bulk.front(), std::make_pair(std::size_t{0}, encrypt ? total - 3 : total));
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
    int calls = 0;
    const auto cancel = [&](std::size_t done, std::size_t) {
        ++calls;
        if (done > 0)
            throw std::runtime_error("batal");
    };
    EXPECT_THROW(engine.TripleDesEncrypt(text, TripleDesKeys::FromCodePage("a", "b", "c"), cancel), std::runtime_error);
    EXPECT_GE(calls, 2);
}

} // namespace
} // namespace karsidan::bitslice::test
