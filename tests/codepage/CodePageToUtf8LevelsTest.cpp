// Code-page bytes to UTF-8 on every level the processor runs, against the
// whole-text conversion with CR LF folded by hand: every byte at every lane
// of the 64-byte blocks and of the tail after them, line breaks split by
// blocks and by pieces, odd alignments, and the control bytes it notes.
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"
#include "tests/codepage/RunnableLevels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace karsidan;

namespace {

using karsidan::test::RunnableLevels;

bool IsControl(unsigned char b)
{
    return (b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F
        || b == 0x90 || b == 0x9D;
}

// The UTF-8 and whether a control byte was seen.
using Result = std::pair<std::string, bool>;

Result Expected(const std::string& bytes, bool window)
{
    std::string folded;
    bool control = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        control = control || IsControl(static_cast<unsigned char>(bytes[i]));
        if (!(window && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            folded += bytes[i];
    }
    return {CodePageToUtf8(folded), control};
}

// Through the stream in pieces cut at the offsets, each piece copied to
// `shift` bytes past a 64-byte boundary; the output buffer exactly as large
// as MaxOutput says, and guard bytes behind it that must stay.
Result Converted(const std::string& bytes, const std::vector<std::size_t>& cuts, AsciiLevel level, bool window,
                 std::size_t shift = 0)
{
    CodePageToUtf8Stream stream({window, level});
    std::string utf8;
    constexpr std::size_t kGuard = 64;
    std::size_t from = 0;
    auto feed = [&](std::size_t to) {
        const std::size_t n = to - from;
        std::vector<char> in(n + 128);
        char* at = in.data() + (64 - reinterpret_cast<std::uintptr_t>(in.data()) % 64) % 64 + shift;
        std::memcpy(at, bytes.data() + from, n);
        const std::size_t room = CodePageToUtf8Stream::MaxOutput(n);
        std::vector<char> out(room + kGuard, '\x5A');
        const std::size_t written = stream.Convert({at, n}, out.data());
        EXPECT_LE(written, room);
        EXPECT_EQ(std::string(out.data() + room, kGuard), std::string(kGuard, '\x5A')) << "written past the room";
        utf8.append(out.data(), written);
        from = to;
    };
    for (const std::size_t cut : cuts)
        feed(cut);
    feed(bytes.size());
    char tail[8];
    utf8.append(tail, stream.Finish(tail));
    return {utf8, stream.controlBytes()};
}

// A text of every kind of byte the blocks take apart: ASCII, letters of two
// UTF-8 bytes and of three, line breaks.
std::string Background(std::size_t size)
{
    const std::string words = "kata caf\xE9 \x80"
                              "5 na\xEFve \x99\r\n\xC0\x9C\xA0 satu\tdua\r\n";
    std::string t;
    while (t.size() < size)
        t += words;
    t.resize(size);
    return t;
}

} // namespace

TEST(CodePageToUtf8Levels, EveryByteAtEveryLaneOfTheBlocksAndTheTail)
{
    const std::string base = Background(200);
    for (int b = 0; b < 256; ++b) {
        for (std::size_t at = 0; at < 150; ++at) {
            std::string text = base;
            text[at] = static_cast<char>(b);
            for (const bool window : {false, true}) {
                const Result expected = Expected(text, window);
                for (const AsciiLevel level : RunnableLevels()) {
                    ASSERT_EQ(Converted(text, {}, level, window), expected)
                        << "byte " << b << " at " << at << " level " << int(level);
                    ASSERT_EQ(Converted(text, {at + 1}, level, window), expected)
                        << "byte " << b << " at " << at << " cut after, level " << int(level);
                }
            }
        }
    }
}

TEST(CodePageToUtf8Levels, LineBreaksAcrossBlocksAndPieces)
{
    // A CR that ends a block or a piece; a lone CR; CR CR LF.
    for (const std::string br : {"\r\n", "\r", "\r\r\n", "\n\r", "\r\r"}) {
        for (const std::size_t at : {0u, 62u, 63u, 64u, 126u, 127u, 128u, 191u, 192u}) {
            const std::string text = std::string(at, 'a') + br + std::string(200, 'z');
            const Result expected = Expected(text, true);
            for (const AsciiLevel level : RunnableLevels())
                for (std::size_t cut = at; cut <= at + br.size(); ++cut)
                    ASSERT_EQ(Converted(text, {cut}, level, true), expected)
                        << "at " << at << " cut " << cut << " level " << int(level);
        }
    }
}

TEST(CodePageToUtf8Levels, RandomTextsAtOddAlignmentsInRandomPieces)
{
    std::mt19937 rng(1252);
    const std::string kinds = "a \r\n\t\xE9\x80\x99\x8C\xFF\x7F\x81\x01";
    for (int round = 0; round < 1500; ++round) {
        const std::size_t size = rng() % 3000;
        std::string text;
        // Mostly one kind, so that blocks of each sort occur.
        const unsigned mix = rng() % 4;
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned pick = rng() % 100;
            const std::size_t limit = mix == 0 ? 2 : mix == 1 ? 4 : mix == 2 ? 9 : kinds.size();
            text += pick < 80 && mix < 3 ? 'a' : kinds[rng() % limit];
        }
        std::vector<std::size_t> cuts;
        for (std::size_t at = rng() % 200; at < size; at += 1 + rng() % 700)
            cuts.push_back(at);
        const bool window = round % 3 != 0;
        const Result expected = Expected(text, window);
        for (const AsciiLevel level : RunnableLevels())
            ASSERT_EQ(Converted(text, cuts, level, window, rng() % 64), expected)
                << "round " << round << " level " << int(level);
    }
}

TEST(CodePageToUtf8Levels, ControlBytesOnlyWhereThereAreSome)
{
    // Every byte that is text, blocks of it: no control byte.
    std::string clean;
    for (int b = 0; b < 256; ++b)
        if (!IsControl(static_cast<unsigned char>(b)))
            clean += static_cast<char>(b);
    while (clean.size() < 1000)
        clean += clean;
    for (const AsciiLevel level : RunnableLevels()) {
        EXPECT_FALSE(Converted(clean, {}, level, true).second) << int(level);
        EXPECT_FALSE(Converted(clean, {}, level, false).second) << int(level);
        // Once seen it stays, whatever the pieces after it hold.
        const std::string early = "\x1B" + clean;
        EXPECT_TRUE(Converted(early, {1, 100, 500}, level, true).second) << int(level);
        // In the last bytes, after the blocks.
        EXPECT_TRUE(Converted(clean + "\x9D", {}, level, true).second) << int(level);
    }
}

// Texts of characters of three UTF-8 bytes fill the room MaxOutput gives
// to the last byte: every length, so that each path ends at each lane.
TEST(CodePageToUtf8Levels, NoWriteBeyondTheRoomForTheLongestCharacters)
{
    const std::string threes = "\x80\x99\x85\x84\x8B\x9B\x96\x97";
    for (std::size_t n = 0; n < 300; ++n) {
        std::string text;
        for (std::size_t i = 0; i < n; ++i)
            text += i % 37 == 36 ? '\r' : threes[i % threes.size()];
        for (const AsciiLevel level : RunnableLevels())
            for (const bool window : {false, true})
                ASSERT_EQ(Converted(text, {}, level, window), Expected(text, window)) << n << " level " << int(level);
    }
}
