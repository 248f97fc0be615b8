#pragma once
// What the receiving folder's file system must keep free after a message is
// stored there, so that the user's own saves still succeed: bytes, and
// inodes (files), without which a save fails as "disk penuh" however many
// bytes are left.

#include <QString>

namespace karsidan::net {

// Free bytes on the folder's file system, or -1 when unknown.
qint64 FreeBytesOf(const QString& folder);

// Inodes to keep free on a file system with so many: 1 % of them, and at
// least 1,000.
qint64 InodeFloor(qint64 totalInodes);

// Why one more file in the folder would leave fewer inodes free than the
// floor, or an empty string (also when the file system does not count
// inodes).
QString InodeRefusal(const QString& folder);

} // namespace karsidan::net
