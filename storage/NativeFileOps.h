#pragma once
// The system's own file operations under one name, for test doubles that
// fail some calls and make the rest for real on either system.

#ifdef _WIN32
#include "storage/WinFileOps.h"
namespace karsidan::storage {
using NativeFileOps = WinFileOps;
} // namespace karsidan::storage
#else
#include "storage/PosixFileOps.h"
namespace karsidan::storage {
using NativeFileOps = PosixFileOps;
} // namespace karsidan::storage
#endif
