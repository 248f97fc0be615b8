// Published DES and Triple DES answers, through both the character-per-bit
// path and the 64-bit path.
#include "cipher/des/DesRoundKeys.h"
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/reference/DesKernel.h"
#include "cipher/reference/mdlBox.h"
#include "cipher/reference/mdlMath.h"
#include "cipher/reference/mdlTripleDes.h"
#include "tests/cipher/StringPathReference.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

using namespace karsidan;
using test::FromHex;
using test::HexToBytes;
using test::ToHex64;

namespace {

std::vector<std::vector<std::string>> Records(const std::string& kind)
{
    std::ifstream in(KARSIDAN_KAT_FILE);
    EXPECT_TRUE(in) << "cannot open " << KARSIDAN_KAT_FILE;
    std::vector<std::vector<std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string first;
        if (!(fields >> first) || first != kind)
            continue;
        std::vector<std::string> record;
        for (std::string f; fields >> f;)
            record.push_back(f);
        out.push_back(record);
    }
    return out;
}

// A key typed as text: outer spaces would be trimmed, so an outer 0x20 byte
// becomes 0x21, which differs only in the parity bit the schedule drops.
std::string KeyText(std::string_view hex)
{
    std::string key = HexToBytes(hex);
    if (key.front() == ' ')
        key.front() = '!';
    if (key.back() == ' ')
        key.back() = '!';
    return key;
}

} // namespace

TEST(KnownAnswers, SingleDesBothPaths)
{
    const auto records = Records("DES");
    ASSERT_GE(records.size(), 20u);
    for (const auto& r : records) {
        SCOPED_TRACE("key " + r[0] + " plain " + r[1]);
        const DesRoundKeys keys = MakeDesRoundKeys(FromHex(r[0]));
        EXPECT_EQ(ToHex64(DesCryptBlock(FromHex(r[1]), keys, true)), r[2]);
        EXPECT_EQ(ToHex64(DesCryptBlock(FromHex(r[2]), keys, false)), r[1]);

        ReferenceTripleDes engine;
        engine.LoadKey1(KeyText(r[0]));
        EXPECT_EQ(engine.DesBlock(HexToBits(r[1]), 1, -1), r[2]);
        EXPECT_EQ(engine.DesBlock(HexToBits(r[2]), 1, 0), r[1]);
    }
}

TEST(KnownAnswers, TripleDesBlocksAndWholeText)
{
    const auto records = Records("TDES");
    ASSERT_EQ(records.size(), 3u);
    std::string plain;
    std::string cipher;
    for (const auto& r : records) {
        std::uint64_t block = FromHex(r[3]);
        TripleDesBlocks({&block, 1}, TripleDesSchedule::Encryption(FromHex(r[0]), FromHex(r[1]), FromHex(r[2])));
        EXPECT_EQ(ToHex64(block), r[4]);
        TripleDesBlocks({&block, 1}, TripleDesSchedule::Decryption(FromHex(r[2]), FromHex(r[1]), FromHex(r[0])));
        EXPECT_EQ(ToHex64(block), r[3]);
        plain += HexToBytes(r[3]);
        cipher += r[4];
    }
    const std::string k1 = KeyText(records[0][0]);
    const std::string k2 = KeyText(records[0][1]);
    const std::string k3 = KeyText(records[0][2]);
    TripleDesEngine engine;
    EXPECT_EQ(plain, "The qufck brown fox jump");
    const auto keys = TripleDesKeys::FromCodePage(k1, k2, k3);
    EXPECT_EQ(engine.TripleDesEncrypt(plain, keys), cipher);
    EXPECT_EQ(engine.TripleDesDecrypt(cipher, keys), plain);
}

TEST(KnownAnswers, KeyScheduleBothPaths)
{
    const auto records = Records("SUBKEY");
    ASSERT_FALSE(records.empty());
    for (const auto& r : records) {
        const auto round = static_cast<std::size_t>(std::stoi(r[1]));
        EXPECT_EQ(ToHex64(MakeDesRoundKeys(FromHex(r[0])).round[round - 1]).substr(4), r[2]);
        ReferenceTripleDes engine;
        engine.LoadKey3(KeyText(r[0]));
        EXPECT_EQ(BitsToHex(engine.Subkeys3()[round - 1]), r[2]);
    }
}

TEST(KnownAnswers, InitialPermutation)
{
    const auto records = Records("IP");
    ASSERT_FALSE(records.empty());
    for (const auto& r : records) {
        EXPECT_EQ(BitsToHex(ApplyIP(HexToBits(r[0]))), r[1]);
        EXPECT_EQ(ToHex64(Permute(FromHex(r[0]), 64, des_tables::IP)), r[1]);
    }
}
