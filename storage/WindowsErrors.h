#pragma once
// Windows only: a system error code (GetLastError) as the errno value the
// same fault has on Linux, so that both say the same words (ReasonFor).

namespace karsidan::storage {

int ErrnoFromWindows(unsigned long error);
// The same for the calling thread's last error.
int LastErrno();

} // namespace karsidan::storage
