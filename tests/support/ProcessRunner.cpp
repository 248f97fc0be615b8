#include "tests/support/ProcessRunner.h"

#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

namespace karsidan::test {

void StartProcess(QProcess& process, const ProcessRun& run)
{
    if (run.environment)
        process.setProcessEnvironment(*run.environment);
    if (run.childSetup)
        process.setChildProcessModifier(run.childSetup);
    if (!run.stdoutFile.isEmpty())
        process.setStandardOutputFile(run.stdoutFile);
    process.start(run.program, run.args);
    EXPECT_TRUE(process.waitForStarted(run.timeoutMs)) << run.program.toStdString();
}

ProcessResult RunProcess(const ProcessRun& run)
{
    QProcess process;
    StartProcess(process, run);
    // Written while the program reads: a pipe, in pieces of its own size.
    process.write(run.input);
    process.closeWriteChannel();
    ProcessResult result;
    if (run.turnEventLoop)
        result.finished = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, run.timeoutMs);
    else
        result.finished = process.waitForFinished(run.timeoutMs);
    EXPECT_TRUE(result.finished) << run.program.toStdString() << " " << run.args.join(' ').toStdString();
    result.status = process.exitStatus();
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void LeaveTerminal() { ::setsid(); }

QProcessEnvironment WithoutKeys()
{
    auto env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"KARSIDAN_KEY1", "KARSIDAN_KEY2", "KARSIDAN_KEY3"})
        env.remove(name);
    return env;
}

} // namespace karsidan::test
