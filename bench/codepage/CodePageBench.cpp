// Decrypted code-page text to UTF-8 with LF line breaks, as `decrypt`
// writes it, in the command line's pieces of 256 KiB: by level, on three
// texts (words with a few accented letters and euro signs as the command
// line's benchmark has them, plain ASCII, and nothing but the upper half),
// against the control-byte scan and the conversion as two passes. And the
// way in, as `encrypt` reads a UTF-8 file with LF line breaks: the check of
// its first reading and the conversion to CR LF of its second, by level,
// on the words and the ASCII text.
#include "codepage/CodePage.h"
#include "codepage/CodePageToUtf8Stream.h"
#include "codepage/ControlBytes.h"
#include "codepage/Utf8ToCodePageStream.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using karsidan::AsciiLevel;
using karsidan::CodePageToUtf8Stream;

constexpr std::size_t kTextBytes = std::size_t{16} << 20;
constexpr std::size_t kPiece = std::size_t{256} << 10;

enum Kind { Words, Ascii, Upper };

const std::string& Text(Kind kind)
{
    static std::array<std::string, 3> texts;
    std::string& t = texts[kind];
    if (!t.empty())
        return t;
    std::mt19937 rng(1252);
    if (kind == Upper) {
        while (t.size() < kTextBytes) {
            const auto b = static_cast<unsigned char>(0x80 | (rng() & 0x7F));
            if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) // the controls of the half
                t += static_cast<char>(b);
        }
        return t;
    }
    const std::vector<std::string> words = kind == Words
        ? std::vector<std::string>{"kata",
                                   "rahasia",
                                   "pesan",
                                   "jam",
                                   "sepuluh",
                                   "kafe",
                                   "caf\xE9",
                                   "\x80"
                                   "5",
                                   "pertemuan",
                                   "di",
                                   "dan",
                                   "yang",
                                   "untuk",
                                   "na\xEFve",
                                   "baris",
                                   "kedua",
                                   "KARSIDAN",
                                   "2026,",
                                   "itu."}
        : std::vector<std::string>{"kata", "rahasia", "pesan", "jam", "sepuluh", "kafe", "pertemuan", "di"};
    std::size_t line = 0;
    while (t.size() < kTextBytes) {
        const std::string& w = words[rng() % words.size()];
        t += w;
        line += w.size() + 1;
        if (line > 70) {
            t += "\r\n";
            line = 0;
        } else {
            t += ' ';
        }
    }
    return t;
}

void Convert(benchmark::State& state, Kind kind, AsciiLevel level, bool scanFirst)
{
    if (level > karsidan::BestAsciiLevel()) {
        state.SkipWithError("this processor lacks the level");
        return;
    }
    const std::string& text = Text(kind);
    const auto out = std::make_unique<char[]>(CodePageToUtf8Stream::MaxOutput(kPiece));
    std::size_t written = 0;
    bool control = false;
    for (auto _ : state) {
        CodePageToUtf8Stream stream({.windowText = true, .level = level});
        written = 0;
        control = false;
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::string_view piece = std::string_view(text).substr(at, kPiece);
            // The two passes the command line took before the conversion
            // noted control bytes itself.
            if (scanFirst && !control)
                control = karsidan::FindControlByte(piece, level) < piece.size();
            written += stream.Convert(piece, out.get());
            benchmark::DoNotOptimize(out.get());
        }
        written += stream.Finish(out.get());
        control = control || stream.controlBytes();
    }
    if (control)
        state.SkipWithError("a control byte in a text without any");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["out/in"] = static_cast<double>(written) / static_cast<double>(text.size());
}

// The same text as a UTF-8 file has it: LF line breaks.
const std::string& Utf8Text(Kind kind)
{
    static std::array<std::string, 3> texts;
    std::string& t = texts[kind];
    if (t.empty()) {
        for (const char c : karsidan::CodePageToUtf8(Text(kind)))
            if (c != '\r')
                t += c;
    }
    return t;
}

void FromUtf8(benchmark::State& state, Kind kind, AsciiLevel level, bool checkOnly)
{
    if (level > karsidan::BestAsciiLevel()) {
        state.SkipWithError("this processor lacks the level");
        return;
    }
    const std::string& text = Utf8Text(kind);
    const auto out = std::make_unique<char[]>(karsidan::Utf8ToCodePageStream::MaxOutput(kPiece));
    std::size_t written = 0;
    for (auto _ : state) {
        karsidan::Utf8ToCodePageStream stream({.windowText = true, .level = level});
        written = 0;
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::string_view piece = std::string_view(text).substr(at, kPiece);
            if (checkOnly) {
                stream.Check(piece);
            } else {
                written += stream.Convert(piece, out.get());
                benchmark::DoNotOptimize(out.get());
            }
        }
        stream.Finish();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    if (!checkOnly)
        state.counters["out/in"] = static_cast<double>(written) / static_cast<double>(text.size());
}

void Register()
{
    const std::array<std::pair<const char*, Kind>, 3> kinds = {{{"words", Words}, {"ascii", Ascii}, {"upper", Upper}}};
    const std::array<std::pair<const char*, AsciiLevel>, 4> levels = {{{"scalar", AsciiLevel::Scalar},
                                                                       {"sse2", AsciiLevel::Sse2},
                                                                       {"avx2", AsciiLevel::Avx2},
                                                                       {"avx512", AsciiLevel::Avx512}}};
    for (const auto& [kindName, kind] : kinds) {
        for (const auto& [levelName, level] : levels) {
            const std::string name = std::string("CodePageToUtf8/") + kindName + "/" + levelName;
            benchmark::RegisterBenchmark(name.c_str(), [kind, level](benchmark::State& s) {
                Convert(s, kind, level, false);
            })->Unit(benchmark::kMillisecond);
        }
        const std::string twoPasses = std::string("ScanThenConvert/") + kindName + "/avx2";
        benchmark::RegisterBenchmark(twoPasses.c_str(), [kind](benchmark::State& s) {
            Convert(s, kind, AsciiLevel::Avx2, true);
        })->Unit(benchmark::kMillisecond);
    }
    for (const auto& [kindName, kind] : {std::pair{"words", Words}, std::pair{"ascii", Ascii}}) {
        for (const auto& [levelName, level] : levels) {
            for (const bool checkOnly : {true, false}) {
                const std::string what = checkOnly ? "Utf8Check/" : "Utf8ToCodePage/";
                const std::string name = what + kindName + "/" + levelName;
                benchmark::RegisterBenchmark(name.c_str(), [kind, level, checkOnly](benchmark::State& s) {
                    FromUtf8(s, kind, level, checkOnly);
                })->Unit(benchmark::kMillisecond);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
