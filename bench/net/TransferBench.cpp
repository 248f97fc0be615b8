// A 32 MiB message over loopback, from Sender to the file the Receiver
// stores: the time between "Kirim Data" and the file, and the time until
// the sender knows it (the receiver's orderly close after the file).

#include "net/MessageFormat.h"
#include "net/Receiver.h"
#include "net/Sender.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <limits>

namespace {

using karsidan::net::Receiver;
using karsidan::net::Sender;

// untilAnswer: wait for the sender's SendFinished instead of the file.
void SendToStoredFile(benchmark::State& state, bool untilAnswer)
{
    const qint64 size = state.range(0);
    QTemporaryDir folder;
    Receiver receiver(folder.path());
    // Every run comes from one address, more than a peer may store in an hour.
    receiver.SetHourlyLimit(std::numeric_limits<qint64>::max() / 2);
    if (!receiver.StartListening(0, QHostAddress::LocalHost).isEmpty()) {
        state.SkipWithError("cannot listen");
        return;
    }
    // Cipher text: upper-case hex digits.
    QByteArray body(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        body[i] = "0123456789ABCDEF"[i % 16];
    const QByteArray message = karsidan::net::ComposeMessage("bench.txt", body);

    for (auto _ : state) {
        Sender sender(karsidan::net::kDefaultPort);
        QEventLoop loop;
        bool stored = false;
        QObject::connect(&receiver, &Receiver::FileStored, &loop, [&] {
            stored = true;
            if (!untilAnswer)
                loop.quit();
        });
        bool answered = false;
        QObject::connect(&sender, &Sender::SendFinished, &loop, [&] {
            answered = true;
            if (untilAnswer)
                loop.quit();
        });
        QObject::connect(&receiver, &Receiver::ReceiveFailed, &loop, [&] { loop.quit(); });
        QObject::connect(&sender, &Sender::Failed, &loop, [&] { loop.quit(); });
        QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
        sender.CheckIP(QStringLiteral("127.0.0.1"), receiver.LocalPort());
        sender.SendMessage(message);
        loop.exec();
        if (!stored || QFileInfo(folder.filePath("bench.txt")).size() != size) {
            state.SkipWithError("message not stored whole");
            return;
        }
        if (untilAnswer && !answered) {
            state.SkipWithError("the sender heard no answer");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * message.size());
}
void BM_SendToStoredFile(benchmark::State& state) { SendToStoredFile(state, false); }
void BM_SendUntilTheSenderKnows(benchmark::State& state) { SendToStoredFile(state, true); }
BENCHMARK(BM_SendToStoredFile)->Arg(32 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SendUntilTheSenderKnows)->Arg(32 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
