// A source of 1 or 5 MiB from the click on "Enkripsi" until the last row of
// its cipher text is shown in the window, and the longest time the event
// loop is kept from running meanwhile (the click, the transform's reports
// and the display's slices). Beside it, in the same run:
//  - the display as it was before cipher texts went in as blocks of rows
//    (one block per visual row), after the same transform;
//  - the editor's own limit: setPlainText of the same cipher text on an
//    idle editor, in both shapes, in one step that holds the loop.
// Run: QT_QPA_PLATFORM=offscreen build/bench/app/karsidan_app_bench
#include "app/EditorText.h"
#include "app/EngineCipher.h"
#include "app/ResultDisplay.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/frmMain.h"

#include "cipher/keys/TripleDesKeys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using namespace karsidan;

constexpr qsizetype kMebibyte = 1024 * 1024;

class NoDialog : public FileDialog {
protected:
    std::optional<QString> Ask(QWidget*, const Request&) override { return std::nullopt; }
};

class CountingMessages : public MessageBoxHook {
public:
    int count = 0;
    void Warn(QWidget*, const QString&) override { ++count; }
    void About(QWidget*, const QString&, const QString&) override { }
};

QString SourceText(qsizetype size)
{
    const QString line = QStringLiteral("Sebuah baris teks biasa untuk dienkripsi, 0123456789 ABC xyz.");
    QString text;
    text.reserve(size);
    while (text.size() + line.size() + 1 <= size)
        text += line + QLatin1Char('\n');
    text += QString(size - text.size(), QLatin1Char('z')); // exactly size bytes in the code page
    return text;
}

// Runs the loop for a while and returns its longest turn.
double LongestTurnFor(int milliseconds)
{
    double worst = 0;
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < milliseconds) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        worst = std::max(worst, turn.nsecsElapsed() / 1e6);
    }
    return worst;
}

void BM_EncryptFromClickToShown(benchmark::State& state)
{
    const qsizetype size = state.range(0) * kMebibyte;
    NoDialog dialog;
    CountingMessages messages;
    frmMain window(MainServices{RunTripleDes, &dialog, &messages});
    window.show();
    auto* source = window.findChild<QTextEdit*>(QStringLiteral("rtbSource"));
    auto* target = window.findChild<QTextEdit*>(QStringLiteral("rtbTarget"));
    auto* encrypt = window.findChild<QPushButton*>(QStringLiteral("cmdEncrypt"));
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("prgTransform"));
    for (const char* name : {"txtKey0", "txtKey1", "txtKey2"})
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QStringLiteral("kunci%1x").arg(name[6]));
    EditorText::SetPlainText(*source, SourceText(size));
    QCoreApplication::processEvents();

    double worstStall = 0, worstClick = 0, worstAfter = 0;
    int earlyHundred = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (value == 100 && target->document()->characterCount() < 2 * size)
            ++earlyHundred;
    });
    for (auto _ : state) {
        target->clear();
        QCoreApplication::processEvents();

        QElapsedTimer total;
        total.start();
        encrypt->click(); // reads the source and hands it to the worker
        const double click = total.nsecsElapsed() / 1e6;
        double stall = click;
        QElapsedTimer turn;
        while (window.IsBusy()) {
            turn.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            stall = std::max(stall, turn.nsecsElapsed() / 1e6);
        }
        state.SetIterationTime(total.nsecsElapsed() / 1e9);
        // The editor lays out the rest of a long text in steps afterwards.
        worstAfter = std::max(worstAfter, LongestTurnFor(2000));

        worstStall = std::max(worstStall, stall);
        worstClick = std::max(worstClick, click);
        if (messages.count != 0 || EditorText::PlainText(*target->document()).size() < 2 * size) {
            state.SkipWithError("encrypt failed");
            break;
        }
    }
    state.counters["click_ms"] = worstClick;
    state.counters["max_stall_ms"] = worstStall;
    state.counters["max_stall_after_shown_ms"] = worstAfter;
    state.counters["bar_100_before_shown"] = earlyHundred;
    state.SetBytesProcessed(int64_t(state.iterations()) * size);
}
BENCHMARK(BM_EncryptFromClickToShown)->Arg(1)->Arg(5)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The cipher text the window shows for a source of size bytes, and how long
// the transform took.
QString CipherTextOf(qsizetype size, double& transformMs)
{
    const QString source = SourceText(size);
    CipherRequest request;
    request.keys = TripleDesKeys::FromCodePage("kunci0x", "kunci1x", "kunci2x");
    QElapsedTimer clock;
    clock.start();
    request.text = EditorText::ToCodePage(source);
    const std::string bytes = RunTripleDes(request, [](std::size_t, std::size_t) {});
    const QString text = EditorText::FromCodePage(bytes);
    transformMs = clock.nsecsElapsed() / 1e6;
    return text;
}

// The display before: one block per visual row, 16 rows per insertion,
// slices of 8 ms. Returns the time to the last row; worst is the longest
// turn of the loop.
double ShowRowPerBlock(QTextEdit& editor, const QString& text, double& worst)
{
    QElapsedTimer total;
    total.start();
    editor.setWordWrapMode(QTextOption::WordWrap);
    editor.clear();
    editor.document()->setUndoRedoEnabled(false);
    const auto rows = EditorText::SplitRows(text, EditorText::RowLength(editor));
    std::size_t next = 0;
    QString chunk;
    while (next < rows.size()) {
        QElapsedTimer slice;
        slice.start();
        QTextCursor cursor(editor.document());
        cursor.movePosition(QTextCursor::End);
        while (next < rows.size() && slice.elapsed() < ResultDisplay::kSliceMs) {
            const std::size_t end = std::min(rows.size(), next + 16);
            chunk.clear();
            for (std::size_t i = next; i < end; ++i) {
                if (i != 0)
                    chunk += QChar::ParagraphSeparator;
                chunk += QStringView(text).sliced(rows[i].from, rows[i].length);
            }
            cursor.insertText(chunk);
            QTextBlock block = editor.document()->lastBlock();
            for (std::size_t i = end; i-- > next; block = block.previous())
                block.setUserState(rows[i].continues ? EditorText::kContinuation : -1);
            next = end;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        worst = std::max(worst, slice.nsecsElapsed() / 1e6);
    }
    editor.document()->setUndoRedoEnabled(true);
    return total.nsecsElapsed() / 1e6;
}

void BM_BeforeRowPerBlockFromClickToShown(benchmark::State& state)
{
    const qsizetype size = state.range(0) * kMebibyte;
    NoDialog dialog;
    CountingMessages messages;
    frmMain window(MainServices{RunTripleDes, &dialog, &messages});
    window.show();
    auto* target = window.findChild<QTextEdit*>(QStringLiteral("rtbTarget"));
    double transform = 0;
    const QString text = CipherTextOf(size, transform);
    double worst = 0, display = 0;
    for (auto _ : state) {
        display = ShowRowPerBlock(*target, text, worst);
        state.SetIterationTime((transform + display) / 1e3);
    }
    state.counters["transform_ms"] = transform;
    state.counters["display_ms"] = display;
    state.counters["max_stall_ms"] = worst;
}
BENCHMARK(BM_BeforeRowPerBlockFromClickToShown)
    ->Arg(1)
    ->Arg(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The editor's limit: the cipher text put into an idle editor in one call,
// as a block per row (word wrap) and as blocks of rows (wrap anywhere).
void BM_EditorSetPlainTextIdle(benchmark::State& state)
{
    const qsizetype size = state.range(0) * kMebibyte;
    const bool blocksOfRows = state.range(1) != 0;
    NoDialog dialog;
    CountingMessages messages;
    frmMain window(MainServices{RunTripleDes, &dialog, &messages});
    window.show();
    auto* target = window.findChild<QTextEdit*>(QStringLiteral("rtbTarget"));
    double transform = 0;
    const QString text = CipherTextOf(size, transform);
    QString joined;
    if (blocksOfRows) {
        target->setWordWrapMode(QTextOption::WrapAnywhere);
        const qsizetype row = ResultDisplay::RowCharacters(*target);
        const qsizetype block = (EditorText::kLongLine / row) * row;
        for (qsizetype at = 0; at < text.size(); at += block) {
            if (at)
                joined += QLatin1Char('\n');
            joined += QStringView(text).sliced(at, std::min(block, text.size() - at));
        }
    } else {
        target->setWordWrapMode(QTextOption::WordWrap);
        const auto rows = EditorText::SplitRows(text, EditorText::RowLength(*target));
        for (const auto& row : rows) {
            if (row.from)
                joined += QLatin1Char('\n');
            joined += QStringView(text).sliced(row.from, row.length);
        }
    }
    for (auto _ : state) {
        target->clear();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        target->document()->setPlainText(joined);
        target->viewport()->repaint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["blocks"] = target->document()->blockCount();
}
BENCHMARK(BM_EditorSetPlainTextIdle)
    ->Args({5, 0})
    ->Args({5, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
