// Reading speed of the rich-text reader on documents of the size users open.
#include "app/rtf/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// A WordPad-style document: paragraphs with bold, colour and size changes.
QByteArray FormattedDocument(int paragraphs)
{
    QByteArray data = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Calibri;}{\\f1\\fmodern "
                      "Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs22 ";
    for (int p = 0; p < paragraphs; ++p) {
        data += "Paragraf \\b tebal\\b0 , \\cf1 merah\\cf0 , \\f1\\fs20 kode 9F3A00B7\\f0\\fs22 dan "
                "teks biasa yang cukup panjang untuk satu baris caf\\'e9 \\u8364?.\\par\r\n";
    }
    return data + "}";
}

// One long line of cipher text, as a rich-text box saves it.
QByteArray CipherTextDocument(int blocks)
{
    QByteArray data = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    for (int b = 0; b < blocks; ++b)
        data += "0123456789ABCDEF";
    return data + "\\par}";
}

void Read(benchmark::State& state, const QByteArray& data)
{
    QTextDocument document;
    for (auto _ : state) {
        karsidan::RtfReader::Read(data, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
    state.counters["input_bytes"] = static_cast<double>(data.size());
}

void BM_FormattedDocument(benchmark::State& state) { Read(state, FormattedDocument(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_FormattedDocument)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_CipherText(benchmark::State& state) { Read(state, CipherTextDocument(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_CipherText)->Arg(64)->Arg(65536)->Unit(benchmark::kMillisecond);

void BM_DeepNesting(benchmark::State& state)
{
    const int depth = static_cast<int>(state.range(0));
    Read(state, "{\\rtf1 " + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "}");
}
BENCHMARK(BM_DeepNesting)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
