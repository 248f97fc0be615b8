#pragma once
// Descriptors 0, 1 and 2 of karsidan-cli. A caller may start it with one of
// them closed (`>&-`); the first file opened afterwards, such as the
// application object's event descriptor, would then take that number, and
// the output would be written into it and look like success.
// POSIX in platform/StandardDescriptorsPosix.cpp, Windows in
// platform/StandardDescriptorsWin.cpp.

// The null device each system has (/dev/null, NUL), for messages.
extern const char kNullDevice[];

// Opens the null device onto each closed standard descriptor: read-only
// onto standard output, write-only onto standard input, so that using it
// still fails as the closed descriptor would. On POSIX it also ignores
// SIGPIPE, so a reader that has gone shows as a write error (EPIPE)
// instead of killing the process without a word; on Windows it puts all
// three into binary mode, so that CR LF and a Ctrl-Z byte (0x1A) are data.
// Call first in main, before the application object exists. False when
// the null device cannot be opened.
bool GuardStandardDescriptors();
