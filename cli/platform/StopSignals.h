#pragma once
// Requests to stop (SIGINT and SIGTERM on POSIX; Ctrl-C, Ctrl-Break and a
// closing console on Windows, as SIGINT and SIGTERM) handed to a function
// on a thread of the watch's own, where it may do anything a thread may,
// such as posting to an event loop. POSIX in StopSignalsPosix.cpp (a
// self-pipe read by that thread), Windows in StopSignalsWin.cpp
// (SetConsoleCtrlHandler, whose handler runs on such a thread already).

namespace platform {

using StopHandler = void (*)(int signalNumber, void* context);

// One watch per process. False when it cannot be set up; the defaults then
// stay (the program ends at once).
bool WatchStopSignals(StopHandler handler, void* context);
// Gives the defaults back; when it returns, the handler is not running and
// will not be called again.
void StopWatchingStopSignals();

} // namespace platform
