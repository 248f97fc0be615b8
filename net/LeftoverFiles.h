#pragma once
// Temporary files that a writer killed in the middle (kill -9, a power cut)
// left in the receiving folder: hidden ".karsidan-*.part" files that no
// running writer holds any more.

#include <QString>

namespace karsidan::net {

// Removes the folder's ".karsidan-*.part" files that are regular files of
// this user last written before startedNs (nanoseconds since the epoch,
// the receiver's start). Returns how many were removed.
int RemoveLeftoverFiles(const QString& folder, long long startedNs);

} // namespace karsidan::net
