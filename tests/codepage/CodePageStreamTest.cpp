// The streamed, vectorised conversions against the whole-text scalar ones:
// every byte, every code point, every kind of malformed UTF-8 at every cut
// between pieces and at every vector lane, and random texts; on each level
// the processor runs.
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"
#include "codepage/ControlBytes.h"
#include "codepage/Utf8ToCodePageStream.h"
#include "tests/codepage/RunnableLevels.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace karsidan;

namespace {

using karsidan::test::RunnableLevels;

const char* Name(AsciiLevel level)
{
    return level == AsciiLevel::Scalar ? "scalar"
        : level == AsciiLevel::Sse2    ? "sse2"
        : level == AsciiLevel::Avx2    ? "avx2"
                                       : "avx512";
}

// The bytes, or the message of the error, of a whole conversion.
std::string Outcome(const std::function<std::string()>& convert)
{
    try {
        return "ok:" + convert();
    } catch (const std::invalid_argument& e) {
        return std::string("error:") + e.what();
    }
}

// The text as the window hands it to the engine: every line break CR LF.
std::string WindowLineBreaks(const std::string& bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

std::string Scalar(const std::string& utf8, bool window)
{
    return Outcome([&] {
        std::string_view text = utf8;
        if (window && text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        const std::string bytes = Utf8ToCodePage(text);
        return window ? WindowLineBreaks(bytes) : bytes;
    });
}

// Through the stream, cut at the given offsets.
std::string Streamed(const std::string& utf8, const std::vector<std::size_t>& cuts, AsciiLevel level, bool window)
{
    return Outcome([&] {
        Utf8ToCodePageStream stream({window, level});
        std::string out;
        std::size_t from = 0;
        auto feed = [&](std::size_t to) {
            std::vector<char> buffer(Utf8ToCodePageStream::MaxOutput(to - from));
            const std::size_t n = stream.Convert(std::string_view(utf8).substr(from, to - from), buffer.data());
            out.append(buffer.data(), n);
            from = to;
        };
        for (const std::size_t cut : cuts)
            feed(cut);
        feed(utf8.size());
        stream.Finish();
        return out;
    });
}

// Only checked, cut at the given offsets: "ok" or the error, as Outcome.
std::string Checked(const std::string& utf8, const std::vector<std::size_t>& cuts, AsciiLevel level)
{
    return Outcome([&] {
        Utf8ToCodePageStream stream({true, level});
        std::size_t from = 0;
        for (const std::size_t cut : cuts) {
            stream.Check(std::string_view(utf8).substr(from, cut - from));
            from = cut;
        }
        stream.Check(std::string_view(utf8).substr(from));
        stream.Finish();
        return std::string();
    });
}

// What Checked gives for a whole conversion's outcome.
std::string Verdict(const std::string& outcome) { return outcome.rfind("ok:", 0) == 0 ? "ok:" : outcome; }

std::string Decoded(const std::string& bytes, const std::vector<std::size_t>& cuts, AsciiLevel level, bool window)
{
    CodePageToUtf8Stream stream({window, level});
    std::string out;
    std::size_t from = 0;
    auto feed = [&](std::size_t to) {
        std::vector<char> buffer(CodePageToUtf8Stream::MaxOutput(to - from));
        out.append(buffer.data(), stream.Convert(std::string_view(bytes).substr(from, to - from), buffer.data()));
        from = to;
    };
    for (const std::size_t cut : cuts)
        feed(cut);
    feed(bytes.size());
    char tail[8];
    out.append(tail, stream.Finish(tail));
    return out;
}

std::string Utf8Of(char32_t c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

} // namespace

TEST(CodePageStream, EveryByteAndEveryCodePointAsTheScalarConversion)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = CodePageToUtf8(all);
    for (const AsciiLevel level : RunnableLevels()) {
        EXPECT_EQ(Decoded(all, {}, level, false), utf8) << Name(level);
        EXPECT_EQ(Streamed(utf8, {}, level, false), "ok:" + all) << Name(level);
    }
    // Each code point alone and after 31 bytes of ASCII, so that it sits at
    // the end of a vector too; the message names the same character.
    const std::string pad(31, 'a');
    // All of the first plane, every 61st beyond (each one throws).
    for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 61) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::string one = Utf8Of(c);
        const std::string expected = Scalar(one, false);
        ASSERT_EQ(Streamed(one, {}, BestAsciiLevel(), false), expected) << std::hex << unsigned(c);
        if (c != 0xFEFF) { // the check reads as the window does, which drops a leading mark
            ASSERT_EQ(Checked(pad + one + pad, {}, BestAsciiLevel()), Verdict(Scalar(pad + one + pad, false)))
                << std::hex << unsigned(c);
        }
        if (c % 97 == 0 || c < 0x3000) {
            ASSERT_EQ(Streamed(pad + one, {}, BestAsciiLevel(), false), Scalar(pad + one, false))
                << std::hex << unsigned(c);
        }
    }
}

TEST(CodePageStream, MalformedUtf8OfEveryKindAtEveryCut)
{
    // clang-format off
    const std::vector<std::string> bad = {
        "\x80", "\xBF", "\xC0\x80", "\xC1\xBF",      // a continuation alone; overlong two-byte leads
        "\xE0\x80\x80", "\xE0\x9F\xBF", "\xE0\x83\xA9", // overlong three bytes, the last an overlong é
        "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF",      // overlong four bytes
        "\xED\xA0\x80", "\xED\xBF\xBF",              // surrogates
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xFE",  // beyond U+10FFFF
        "\xC3", "\xE2\x82", "\xF0\x9F\x98",          // cut short at the end
        "\xC3(", "\xE2\x82(", "\xF0\x9F\x98(", "\xE2(\xAC", // cut short by ASCII
        "\xF0\x9F\x98\x80",                          // well formed, not in the code page
        "\xE2\x82\xAC\x80",                          // a good character, then a stray byte
    };
    // clang-format on
    for (const AsciiLevel level : RunnableLevels()) {
        for (const std::string& b : bad) {
            for (const std::size_t before : {0u, 5u, 15u, 16u, 31u, 32u, 47u}) {
                const std::string text = std::string(before, 'x') + "\xC3\xA9" + b + "\nekor" + std::string(40, 'y');
                for (const bool window : {false, true}) {
                    const std::string expected = Scalar(text, window);
                    ASSERT_EQ(expected.rfind("error:", 0), 0u) << text;
                    ASSERT_EQ(Streamed(text, {}, level, window), expected) << Name(level) << " " << text;
                    for (std::size_t cut = 1; cut < text.size(); ++cut) {
                        ASSERT_EQ(Streamed(text, {cut}, level, window), expected)
                            << Name(level) << " cut " << cut << " " << text;
                        if (window) {
                            ASSERT_EQ(Checked(text, {cut}, level), Verdict(expected)) << Name(level) << " cut " << cut;
                        }
                    }
                }
                std::vector<std::size_t> bytewise;
                for (std::size_t k = 1; k < text.size(); ++k)
                    bytewise.push_back(k);
                ASSERT_EQ(Streamed(text, bytewise, level, false), Scalar(text, false)) << Name(level);
            }
        }
    }
}

TEST(CodePageStream, LineBreaksAsTheWindowHasThem)
{
    for (const AsciiLevel level : RunnableLevels()) {
        // LF, CR LF and a lone CR all give CR LF; the mark at the start goes.
        EXPECT_EQ(Streamed("\xEF\xBB\xBF"
                           "a\nb\r\nc\rd\n\n",
                           {}, level, true),
                  "ok:a\r\nb\r\nc\r\nd\r\n\r\n");
        EXPECT_EQ(Streamed("a\r\nb", {2}, level, true), "ok:a\r\nb") << "CR LF cut between CR and LF";
        EXPECT_EQ(Streamed("a\r\r\n", {2}, level, true), "ok:a\r\n\r\n");
        EXPECT_EQ(Streamed("\xEF\xBB\xBF"
                           "a",
                           {1}, level, true),
                  "ok:a")
            << "a mark cut in two";
        EXPECT_EQ(Streamed("a\xEF\xBB\xBF", {}, level, true).rfind("error:", 0), 0u) << "only at the start";
        EXPECT_EQ(Streamed("a\nb", {}, level, false), "ok:a\nb") << "raw keeps them";
        // Back: CR LF to LF, a lone CR kept, also when cut after the CR.
        EXPECT_EQ(Decoded("a\r\nb\rc\r", {}, level, true), "a\nb\rc\r");
        EXPECT_EQ(Decoded("a\r\nb", {2}, level, true), "a\nb");
        EXPECT_EQ(Decoded("a\r\nb", {2}, level, false), "a\r\nb");
    }
}

TEST(CodePageStream, RandomTextsInRandomPieces)
{
    const std::vector<std::string> pieces = {"a",        "kata ",    "\n",           "\r\n",
                                             "\r",       "\t",       "\xC3\xA9",     "\xE2\x82\xAC",
                                             "\xC2\xB7", "\xC5\xA0", "\xE2\x84\xA2", std::string(40, 'x'),
                                             " "};
    std::mt19937 rng(1252);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(rng() % 60);
        for (int k = 0; k < count; ++k)
            text += pieces[rng() % pieces.size()];
        if (round % 5 == 0) // now and then something malformed or foreign
            text.insert(rng() % (text.size() + 1), round % 2 ? "\xE2\x98\x83" : "\xE2\x82");
        std::vector<std::size_t> cuts;
        for (std::size_t at = rng() % 7; at < text.size(); at += 1 + rng() % 23)
            cuts.push_back(at);
        const bool window = round % 2 == 0;
        const std::string expected = Scalar(text, window);
        for (const AsciiLevel level : RunnableLevels()) {
            ASSERT_EQ(Streamed(text, cuts, level, window), expected) << Name(level) << " round " << round;
            if (window) {
                ASSERT_EQ(Checked(text, cuts, level), Verdict(expected)) << Name(level) << " round " << round;
            }
            if (expected.rfind("ok:", 0) == 0) {
                const std::string bytes = expected.substr(3);
                std::string back = CodePageToUtf8(bytes);
                if (window) { // CR LF to LF
                    std::string lf;
                    for (std::size_t i = 0; i < back.size(); ++i)
                        if (!(back[i] == '\r' && i + 1 < back.size() && back[i + 1] == '\n'))
                            lf += back[i];
                    back = lf;
                }
                std::vector<std::size_t> byteCuts;
                for (const std::size_t cut : cuts)
                    if (cut <= bytes.size())
                        byteCuts.push_back(cut);
                ASSERT_EQ(Decoded(bytes, byteCuts, level, window), back) << Name(level) << " round " << round;
            }
        }
    }
}

TEST(CodePageStream, ControlBytesFoundAtEveryLane)
{
    for (const AsciiLevel level : RunnableLevels()) {
        for (int b = 0; b < 256; ++b) {
            const bool control = (b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7F || b == 0x81
                || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
            for (const std::size_t at : {0u, 7u, 15u, 16u, 31u, 32u, 63u, 70u}) {
                std::string text(80, 'a');
                text[20 % (at + 1)] = '\xE9'; // a letter of the upper half is text
                text[at] = static_cast<char>(b);
                const std::size_t found = FindControlByte(text, level);
                if (control)
                    ASSERT_EQ(found, at) << Name(level) << " byte " << b;
                else
                    ASSERT_EQ(found, text.size()) << Name(level) << " byte " << b;
            }
        }
        EXPECT_EQ(FindControlByte("", level), 0u);
        EXPECT_EQ(FindControlByte("baris\r\n\tdua", level), 11u);
    }
}

// The 64-byte blocks: every character of two and three bytes the blocks
// know or must leave alone, and every kind of fault, at every lane of a
// block and across the edge of the next, among dense line breaks.
TEST(CodePageStream, EveryLaneOfTheWideBlocks)
{
    std::vector<std::string> odd = {"\r",           "\n",
                                    "\r\n",         "\n\r",
                                    "\xC2\x80",     "\xC2\x81",
                                    "\xC2\x9D",     "\xC2\x9F",
                                    "\xC2\xA0",     "\xC3\xBF",
                                    "\xC5\x92",     "\xCB\x9C",
                                    "\xE2\x82\xAC", "\xE2\x82\xA2",
                                    "\xE2\x84\xA2", "\xE2\x84\xA1",
                                    "\xE2\x80\x93", "\xE2\x80\xBF",
                                    "\xE2\x81\x80", "\xEF\xBB\xBF",
                                    "\xC3",         "\xE2\x82",
                                    "\x80",         "\xC3(",
                                    "\xE2(\xAC",    "\xF0\x9F\x98\x80",
                                    "\xE0\x83\xA9", "\xED\xA0\x80",
                                    "\xFF"};
    for (unsigned c = 0x2000; c < 0x2140; ++c) // the pages the blocks look up, and their neighbours
        odd.push_back(Utf8Of(c));
    const std::string filler = "kata caf\xC3\xA9 \xE2\x82\xAC"
                               "5 na\xC3\xAFve\n";
    std::string background;
    while (background.size() < 200)
        background += filler;
    std::string dense = "\n\r\n\r\r\n\n\xC3\xA9\n";
    for (const AsciiLevel level : RunnableLevels()) {
        for (const std::string& o : odd) {
            for (std::size_t at = 0; at < 130; ++at) {
                for (const std::string* base : {&background, &dense}) {
                    std::string text;
                    while (text.size() < 200)
                        text += *base;
                    text.insert(at, o);
                    for (const bool window : {false, true}) {
                        const std::string expected = Scalar(text, window);
                        ASSERT_EQ(Streamed(text, {}, level, window), expected)
                            << Name(level) << " at " << at << " " << text;
                        ASSERT_EQ(Streamed(text, {at + 1}, level, window), expected)
                            << Name(level) << " at " << at << " cut after";
                    }
                    ASSERT_EQ(Checked(text, {}, level), Verdict(Scalar(text, true))) << Name(level) << " at " << at;
                }
            }
        }
    }
}

// Texts of nothing but line breaks give twice their bytes: more than one
// block holds, so a block takes only what fits.
TEST(CodePageStream, LineBreaksThatDoubleTheText)
{
    std::mt19937 rng(64);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const std::size_t size = 64 + rng() % 300;
        while (text.size() < size) {
            const unsigned pick = rng() % 10;
            text += pick < 4 ? "\n"
                : pick < 6   ? "\r"
                : pick < 7   ? "\r\n"
                : pick < 8   ? "\xC3\xA9"
                : pick < 9   ? "a"
                             : "\xE2\x80\x9C";
        }
        std::vector<std::size_t> cuts;
        for (std::size_t at = rng() % 90; at < text.size(); at += 1 + rng() % 130)
            cuts.push_back(at);
        const std::string expected = Scalar(text, true);
        for (const AsciiLevel level : RunnableLevels())
            ASSERT_EQ(Streamed(text, cuts, level, true), expected) << Name(level) << " round " << round;
    }
}

// Blocks of 64 bytes with none to six line breaks at random lanes, as the
// blocks take them by count: each break a CR more in the output, the
// output buffer no larger than asked for (a sanitizer build sees a store
// beyond it).
TEST(CodePageStream, EveryCountOfLineBreaksInABlock)
{
    const std::vector<std::string> letters = {"a", "b", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xC2\xB7"};
    const std::vector<std::string> breaks = {"\n", "\r", "\r\n"};
    std::mt19937 rng(1964);
    for (int round = 0; round < 3000; ++round) {
        const unsigned count = round % 7;
        const bool ascii = round % 3 == 0;
        std::string text;
        for (int block = 0; block < 4; ++block) {
            std::vector<std::string> items;
            for (std::size_t bytes = 0; bytes < 64 - 2 * count;) {
                items.push_back(ascii ? "k" : letters[rng() % letters.size()]);
                bytes += items.back().size();
            }
            for (unsigned k = 0; k < count; ++k) {
                const auto at = items.begin() + static_cast<long>(rng() % (items.size() + 1));
                items.insert(at, breaks[rng() % breaks.size()]);
            }
            for (const std::string& item : items)
                text += item;
        }
        const std::string expected = Scalar(text, true);
        ASSERT_EQ(expected.rfind("ok:", 0), 0u);
        for (const AsciiLevel level : RunnableLevels()) {
            ASSERT_EQ(Streamed(text, {}, level, true), expected) << Name(level) << " round " << round;
            ASSERT_EQ(Streamed(text, {text.size() / 2}, level, true), expected) << Name(level) << " round " << round;
        }
    }
}

// Long stretches of plain ASCII go four blocks at a time; a letter among
// them, a character cut by the end of a judged stretch or of a run, and
// faults of every kind there, as the scalar conversion has them. The
// letter at the start has the first kilobyte judged block by block, so an
// unfinished character at its end is followed by plain runs.
TEST(CodePageStream, PlainRunsAndTheCharactersAroundThem)
{
    std::string ascii = "\xC3\xA9";
    while (ascii.size() < 3000)
        ascii += ascii.size() % 71 == 70 ? '\n' : static_cast<char>('a' + ascii.size() % 26);
    const std::vector<std::string> items = {"\xC3\xA9", "\xE2\x82\xAC", "\xC3", "\xE2\x82", "\xE2",
                                            "\x80",     "\xE2\x98\x83", "\r",   "\r\n",     "\xC3\xA9\r"};
    std::vector<std::size_t> places;
    for (const std::size_t edge : {0u, 256u, 1024u, 1026u, 1280u, 2050u})
        for (std::size_t at = edge > 4 ? edge - 4 : 2; at <= edge + 4; ++at)
            places.push_back(at);
    for (const AsciiLevel level : RunnableLevels()) {
        for (const std::string& item : items) {
            for (const std::size_t at : places) {
                std::string text = ascii;
                text.insert(at, item);
                for (const bool window : {false, true}) {
                    const std::string expected = Scalar(text, window);
                    ASSERT_EQ(Streamed(text, {}, level, window), expected)
                        << Name(level) << " at " << at << " " << item;
                    ASSERT_EQ(Streamed(text, {at + 1}, level, window), expected)
                        << Name(level) << " at " << at << " cut after";
                }
                ASSERT_EQ(Checked(text, {}, level), Verdict(Scalar(text, true))) << Name(level) << " at " << at;
            }
        }
        // Nothing but ASCII, with and without line breaks.
        const std::string plain(5000, 'p');
        ASSERT_EQ(Streamed(plain, {}, level, true), "ok:" + plain) << Name(level);
        ASSERT_EQ(Streamed(ascii.substr(2), {}, level, true), Scalar(ascii.substr(2), true)) << Name(level);
    }
}
