#include "cli/platform/StopSignals.h"

#include <csignal>

#include <windows.h>

namespace platform {

namespace {

StopHandler g_handler = nullptr;
void* g_context = nullptr;

// Windows runs this on a thread of its own.
BOOL WINAPI OnControl(DWORD event)
{
    g_handler(event == CTRL_C_EVENT ? SIGINT : SIGTERM, g_context);
    return TRUE;
}

} // namespace

bool WatchStopSignals(StopHandler handler, void* context)
{
    g_handler = handler;
    g_context = context;
    return ::SetConsoleCtrlHandler(OnControl, TRUE) != 0;
}

void StopWatchingStopSignals() { ::SetConsoleCtrlHandler(OnControl, FALSE); }

} // namespace platform
