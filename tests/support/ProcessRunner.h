#pragma once
// The tests' one way to run a program: its arguments, what goes to its
// standard input, its environment, where its standard output goes, and a
// hook that runs in the child just before the program starts (to close a
// descriptor, leave the terminal, reset a signal).

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace karsidan::test {

struct ProcessRun {
    QString program{};
    QStringList args{};
    QByteArray input{}; // written to standard input, which is then closed
    std::optional<QProcessEnvironment> environment{}; // this process's own when unset
    std::function<void()> childSetup{}; // in the child, after fork, before exec
    QString stdoutFile{}; // standard output to this file instead of a pipe
    int timeoutMs = 60000;
    // Turn the event loop while waiting: the program's peer may live in
    // this process.
    bool turnEventLoop = false;
};

struct ProcessResult {
    bool finished = false; // within the time
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Sets process up as run asks and starts it; a failure to start is a test
// failure. For programs that keep running while the test talks to them.
void StartProcess(QProcess& process, const ProcessRun& run);

// Runs the program to its end; not starting or not finishing within the
// time is a test failure.
ProcessResult RunProcess(const ProcessRun& run);

// A child setup: a session of its own, so the program has no controlling
// terminal to ask for a key on.
void LeaveTerminal();

// This process's environment without KARSIDAN_KEY1..3.
QProcessEnvironment WithoutKeys();

} // namespace karsidan::test
