#pragma once
// Windows only: a system error code (GetLastError) as the errno value the
// same fault has on Linux, so that both say the same words (ReasonFor).

namespace karsidan::storage {

int ErrnoFromWindows(unsigned long error);
// The same for the calling thread's last error.
int LastErrno();
// A C runtime descriptor (binary, with flags) owning a handle that
// CreateFileW returned: 0, or the errno of the failed open (the handle is
// then closed).
int DescriptorOfHandle(void* handle, int flags, int* fd);

} // namespace karsidan::storage
