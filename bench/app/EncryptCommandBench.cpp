// A 1 MiB source from the click on "Enkripsi" until the last row of its
// 2 MiB cipher text is shown in the window, and how long the event loop is
// kept from running meanwhile (the display's slices included).
// Run: QT_QPA_PLATFORM=offscreen build/bench/app/karsidan_app_bench
#include "app/EditorText.h"
#include "app/EngineCipher.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using namespace karsidan;

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

QString MebibyteOfText()
{
    const QString line = QStringLiteral("Sebuah baris teks biasa untuk dienkripsi, 0123456789 ABC xyz.");
    QString text;
    while (text.size() + line.size() + 1 <= 1024 * 1024)
        text += line + QLatin1Char('\n');
    text += QString(1024 * 1024 - text.size(), QLatin1Char('z')); // exactly 1 MiB in the code page
    return text;
}

void BM_EncryptMebibyteFromClickToShown(benchmark::State& state)
{
    NoDialog dialog;
    CountingMessages messages;
    frmMain window(MainServices{RunTripleDes, &dialog, &messages});
    window.show();
    auto* source = window.findChild<QTextEdit*>(QStringLiteral("rtbSource"));
    auto* target = window.findChild<QTextEdit*>(QStringLiteral("rtbTarget"));
    auto* encrypt = window.findChild<QPushButton*>(QStringLiteral("cmdEncrypt"));
    for (const char* name : {"txtKey0", "txtKey1", "txtKey2"})
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QStringLiteral("kunci%1").arg(name[6]));
    EditorText::SetPlainText(*source, MebibyteOfText());
    QCoreApplication::processEvents();

    double worstStall = 0, worstClick = 0, worstDisplay = 0, worstAfter = 0;
    for (auto _ : state) {
        target->clear();
        QCoreApplication::processEvents();

        QElapsedTimer total;
        total.start();
        encrypt->click(); // reads the source and hands it to the worker
        const double click = total.nsecsElapsed() / 1e6;
        double stall = 0, display = 0;
        QElapsedTimer slice;
        while (window.IsBusy()) {
            slice.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const double ms = slice.nsecsElapsed() / 1e6;
            if (window.IsBusy())
                stall = std::max(stall, ms);
            else
                display = ms; // this slice put the result into the editor
        }
        target->viewport()->repaint();
        state.SetIterationTime(total.nsecsElapsed() / 1e9);

        // The editor lays out the rest of a long text in steps afterwards.
        state.PauseTiming();
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < 3000) {
            slice.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            worstAfter = std::max(worstAfter, slice.nsecsElapsed() / 1e6);
        }
        state.ResumeTiming();

        worstStall = std::max(worstStall, stall);
        worstClick = std::max(worstClick, click);
        worstDisplay = std::max(worstDisplay, display);
        if (messages.count != 0 || target->document()->isEmpty())
            state.SkipWithError("encrypt failed");
    }
    state.counters["click_ms"] = worstClick;
    state.counters["max_stall_during_transform_ms"] = worstStall;
    state.counters["show_result_ms"] = worstDisplay;
    state.counters["max_stall_after_shown_ms"] = worstAfter;
    state.SetBytesProcessed(int64_t(state.iterations()) * 1024 * 1024);
}
BENCHMARK(BM_EncryptMebibyteFromClickToShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

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
