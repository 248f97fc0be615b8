// Small messages stored into a folder that already holds many received
// files: what the list of received files costs as it grows. Each message is
// a connection of its own over loopback. The timed ones replace eight
// received files in turn, so the folder keeps its size while timed.

#include "net/MessageFormat.h"
#include "net/Receiver.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <limits>
#include <map>
#include <memory>

namespace {

using karsidan::net::Receiver;

struct Folder {
    QTemporaryDir dir;
    Receiver receiver{dir.path()};
    int filled = 0;
    int timed = 0;

    Folder() { receiver.SetHourlyLimit(std::numeric_limits<qint64>::max() / 2); }

    // One message, returns whether it was stored.
    bool Store(const QByteArray& name)
    {
        QTcpSocket socket;
        QEventLoop loop;
        bool stored = false;
        const auto done = QObject::connect(&receiver, &Receiver::FileStored, &loop, [&] {
            stored = true;
            loop.quit();
        });
        const auto failed = QObject::connect(&receiver, &Receiver::ReceiveFailed, &loop, [&] { loop.quit(); });
        // Stopped on return: thousands of pending timers would slow every
        // later one down.
        QTimer limit;
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(10'000);
        socket.connectToHost(QHostAddress::LocalHost, receiver.LocalPort());
        socket.write(karsidan::net::ComposeMessage(name, "0A1B2C3D4E5F6071"));
        socket.disconnectFromHost();
        loop.exec();
        QObject::disconnect(done);
        QObject::disconnect(failed);
        return stored;
    }
};

// One folder per size, filled once.
Folder* FolderWith(int files)
{
    static std::map<int, std::unique_ptr<Folder>> folders;
    auto& folder = folders[files];
    if (!folder) {
        folder = std::make_unique<Folder>();
        if (!folder->receiver.StartListening(0, QHostAddress::LocalHost).isEmpty())
            return nullptr;
        while (folder->filled < files)
            if (!folder->Store("pesan-" + QByteArray::number(folder->filled++) + ".txt"))
                return nullptr;
    }
    return folder.get();
}

void BM_StoreSmallMessage(benchmark::State& state)
{
    Folder* folder = FolderWith(int(state.range(0)));
    if (!folder) {
        state.SkipWithError("folder not filled");
        return;
    }
    for (auto _ : state)
        if (!folder->Store("ulang-" + QByteArray::number(folder->timed++ % 8) + ".txt")) {
            state.SkipWithError("message not stored");
            return;
        }
    state.counters["stores/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StoreSmallMessage)->Arg(10)->Arg(10'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
