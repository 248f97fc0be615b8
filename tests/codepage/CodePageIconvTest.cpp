// The Windows-1252 table against an independent decoder, the C library's
// iconv, on all 256 bytes and in both directions, through the whole-text
// and the streamed conversions at every level: a table checked only
// against itself passes with two characters swapped.
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"
#include "codepage/Utf8ToCodePageStream.h"
#include "tests/codepage/RunnableLevels.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

using namespace karsidan;

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(::iconv_open(to, from)) { }
    ~Iconv()
    {
        if (Usable())
            ::iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when iconv refuses any of it.
    std::optional<std::string> Convert(const std::string& input)
    {
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out(input.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        if (::iconv(handle_, &in, &inLeft, &to, &outLeft) == std::size_t(-1) || inLeft != 0)
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t handle_;
};

// iconv leaves five bytes unassigned; the program gives each the C1
// control of its own value, so every byte survives a round trip.
constexpr unsigned char kUnassigned[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

bool IsUnassigned(int byte)
{
    for (const unsigned char u : kUnassigned)
        if (u == byte)
            return true;
    return false;
}

std::u32string AsUtf32(const std::string& utf32le)
{
    std::u32string out;
    for (std::size_t i = 0; i + 3 < utf32le.size(); i += 4) {
        const auto at = [&](std::size_t k) { return char32_t(static_cast<unsigned char>(utf32le[i + k])); };
        out += at(0) | at(1) << 8 | at(2) << 16 | at(3) << 24;
    }
    return out;
}

} // namespace

TEST(CodePageIconv, EveryByteDecodesAsTheCLibraryDecodesIt)
{
    Iconv decode("UTF-32LE", "WINDOWS-1252");
    if (!decode.Usable())
        GTEST_SKIP() << "iconv has no WINDOWS-1252 here";
    int compared = 0;
    for (int b = 0; b < 256; ++b) {
        const std::optional<std::string> theirs = decode.Convert(std::string(1, char(b)));
        if (IsUnassigned(b)) {
            EXPECT_FALSE(theirs.has_value()) << "iconv now assigns byte " << b;
            EXPECT_EQ(ByteToUnicode(static_cast<unsigned char>(b)), char32_t(b));
            continue;
        }
        ASSERT_TRUE(theirs.has_value()) << b;
        const std::u32string expected = AsUtf32(*theirs);
        ASSERT_EQ(expected.size(), 1u) << b;
        EXPECT_EQ(ByteToUnicode(static_cast<unsigned char>(b)), expected[0]) << "byte " << b;
        EXPECT_EQ(UnicodeToByte(expected[0]), std::optional<unsigned char>(static_cast<unsigned char>(b)))
            << "character U+" << std::hex << unsigned(expected[0]);
        ++compared;
    }
    EXPECT_EQ(compared, 251);
}

TEST(CodePageIconv, WholeTextsAndStreamsAtEveryLevelAgreeWithTheCLibrary)
{
    Iconv toUtf8("UTF-8", "WINDOWS-1252");
    Iconv fromUtf8("WINDOWS-1252", "UTF-8");
    if (!toUtf8.Usable() || !fromUtf8.Usable())
        GTEST_SKIP() << "iconv has no WINDOWS-1252 here";
    // Every assigned byte, several times over, so the wide paths see each
    // one at every position of a block.
    std::string assigned;
    for (int round = 0; round < 67; ++round)
        for (int i = 0; i < 256; ++i)
            if (const int b = (i + round) % 256; !IsUnassigned(b))
                assigned += char(b);
    const std::optional<std::string> utf8 = toUtf8.Convert(assigned);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(CodePageToUtf8(assigned), *utf8);
    EXPECT_EQ(Utf8ToCodePage(*utf8), assigned);
    ASSERT_EQ(fromUtf8.Convert(*utf8), std::optional<std::string>(assigned));

    for (const AsciiLevel level : test::RunnableLevels()) {
        CodePageToUtf8Stream decoder(CodePageToUtf8Stream::Options{false, level});
        std::vector<char> out(CodePageToUtf8Stream::MaxOutput(assigned.size()));
        std::size_t n = decoder.Convert(assigned, out.data());
        n += decoder.Finish(out.data() + n);
        EXPECT_TRUE(std::string(out.data(), n) == *utf8) << "level " << int(level);

        Utf8ToCodePageStream encoder(Utf8ToCodePageStream::Options{false, level});
        std::vector<char> back(Utf8ToCodePageStream::MaxOutput(utf8->size()));
        const std::size_t m = encoder.Convert(*utf8, back.data());
        encoder.Finish();
        EXPECT_TRUE(std::string(back.data(), m) == assigned) << "level " << int(level);
    }
}
