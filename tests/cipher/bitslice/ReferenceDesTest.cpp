// The yardstick itself must be right before the kernels are judged by it.
#include "tests/cipher/bitslice/ReferenceDes.h"
#include "tests/cipher/bitslice/KnownAnswerVectors.h"

#include <gtest/gtest.h>

namespace karsidan::bitslice::test {
namespace {

TEST(ReferenceDes, MatchesPublishedDesVectorsBothWays)
{
    for (const DesVector& v : kDesVectors) {
        EXPECT_EQ(ReferenceDes(v.plain, v.key, true), v.cipher) << std::hex << v.key;
        EXPECT_EQ(ReferenceDes(v.cipher, v.key, false), v.plain) << std::hex << v.key;
    }
}

TEST(ReferenceDes, MatchesPublishedTripleDesVectorsBothWays)
{
    for (const TripleDesVector& v : kTripleDesVectors) {
        EXPECT_EQ(ReferenceTripleDes(v.plain, v.k1, v.k2, v.k3, true), v.cipher);
        EXPECT_EQ(ReferenceTripleDes(v.cipher, v.k1, v.k2, v.k3, false), v.plain);
    }
}

TEST(ReferenceDes, IgnoresParityBits)
{
    const std::uint64_t key = 0x133457799BBCDFF1;
    EXPECT_EQ(ReferenceDes(0x0123456789ABCDEF, key ^ 0x0101010101010101, true),
              ReferenceDes(0x0123456789ABCDEF, key, true));
}

} // namespace
} // namespace karsidan::bitslice::test
