#include "app/CipherCommand.h"
#include "tests/app/TestDoubles.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace karsidan {
namespace {

using test::WaitUntil;

CipherRequest Request(std::string text)
{
    CipherRequest request;
    request.text = std::move(text);
    request.keys = TripleDesKeys::FromCodePage("1", "2", "3");
    return request;
}

TEST(CipherCommand, RunsOffTheCallingThreadAndDeliversOnIt)
{
    const auto caller = std::this_thread::get_id();
    std::thread::id worker;
    CipherCommand command([&](const CipherRequest& r, const CipherProgress&) {
        worker = std::this_thread::get_id();
        return r.text + "!";
    });
    QByteArray result;
    std::thread::id delivered;
    QObject::connect(&command, &CipherCommand::Finished, [&](const QByteArray& bytes) {
        result = bytes;
        delivered = std::this_thread::get_id();
    });
    ASSERT_TRUE(command.Start(Request(std::string("a\0b", 3))));
    ASSERT_TRUE(WaitUntil([&] { return !command.IsBusy(); }));
    EXPECT_EQ(result, QByteArray("a\0b!", 4));
    EXPECT_NE(worker, caller);
    EXPECT_EQ(delivered, caller);
}

TEST(CipherCommand, OneAtATime)
{
    test::ScriptedCipher cipher;
    cipher.Close();
    CipherCommand command(cipher.Function());
    QSignalSpy finished(&command, &CipherCommand::Finished);
    EXPECT_TRUE(command.Start(Request("first")));
    EXPECT_FALSE(command.Start(Request("second")));
    cipher.Open();
    ASSERT_TRUE(WaitUntil([&] { return !command.IsBusy(); }));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(cipher.Requests().size(), 1u);
    EXPECT_TRUE(command.Start(Request("third")));
    ASSERT_TRUE(WaitUntil([&] { return !command.IsBusy(); }));
    EXPECT_EQ(finished.count(), 2);
}

TEST(CipherCommand, ExceptionsBecomeMessages)
{
    int calls = 0;
    CipherCommand command([&](const CipherRequest&, const CipherProgress&) -> std::string {
        if (++calls == 1)
            throw std::invalid_argument("Kunci 1 kosong");
        throw 42;
    });
    QStringList failures;
    QObject::connect(&command, &CipherCommand::Failed, [&](const QString& m) { failures << m; });
    QSignalSpy finished(&command, &CipherCommand::Finished);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(command.Start(Request("x")));
        ASSERT_TRUE(WaitUntil([&] { return !command.IsBusy(); }));
    }
    ASSERT_EQ(failures.size(), 2);
    EXPECT_EQ(failures[0], "Kunci 1 kosong");
    EXPECT_FALSE(failures[1].isEmpty());
    EXPECT_EQ(finished.count(), 0);
}

TEST(CipherCommand, ProgressIsThrottledToWholePercents)
{
    CipherCommand command([](const CipherRequest&, const CipherProgress& progress) {
        for (std::size_t done = 0; done <= 100000; ++done)
            progress(done, 100000);
        return std::string("ok");
    });
    std::vector<int> seen;
    QObject::connect(&command, &CipherCommand::ProgressChanged, [&](int p) { seen.push_back(p); });
    ASSERT_TRUE(command.Start(Request("x")));
    ASSERT_TRUE(WaitUntil([&] { return !command.IsBusy(); }));
    ASSERT_FALSE(seen.empty());
    EXPECT_LE(seen.size(), 101u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LE(seen.back(), 100);
}

TEST(CipherCommand, DestroyingWhileRunningWaitsForTheWorker)
{
    std::atomic<bool> done = false;
    {
        CipherCommand command([&](const CipherRequest&, const CipherProgress&) {
            QThread::msleep(50);
            done = true;
            return std::string();
        });
        command.Start(Request("x"));
    }
    EXPECT_TRUE(done);
}

} // namespace
} // namespace karsidan
