#pragma once

namespace karsidan {

// Start of the program: options, shared state, the main window, the event
// loop. Returns the process exit code.
int Main(int argc, char** argv);

} // namespace karsidan
