#pragma once
// Descriptors 0, 1 and 2 of karsidan-cli. A caller may start it with one of
// them closed (`>&-`); the first file opened afterwards, such as the
// application object's event descriptor, would then take that number, and
// the output would be written into it and look like success.

// Ignores SIGPIPE, so a reader that has gone shows as a write error
// (EPIPE) instead of killing the process without a word, and opens
// /dev/null onto each closed standard descriptor: read-only onto standard
// output, write-only onto standard input, so that using it still fails as
// the closed descriptor would. Call first in main, before the application
// object exists. False when /dev/null cannot be opened.
bool GuardStandardDescriptors();
