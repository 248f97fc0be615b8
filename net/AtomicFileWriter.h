#pragma once
// Writes a whole file so that readers see either the old file or the new
// one, never a torn one: the bytes go to a temporary file in the same
// folder, which is then renamed over the target.

#include <QByteArrayView>
#include <QString>

class QTemporaryFile;

namespace karsidan::net {

// Template for a QTemporaryFile in folder, under our temporary prefix.
QString TemporaryFileTemplate(const QString& folder);

// Stores data as folder/name, replacing an existing file of that name.
// name must be a plain file name (see SafeFileName). Returns an empty
// string on success, otherwise the reason in Indonesian; on failure the
// target is unchanged and no temporary file is left behind.
QString WriteFileAtomically(const QString& folder, const QString& name, QByteArrayView data);

// The last step of the above for a temporary file already written in
// folder: gives it the usual rights and renames it over folder/name. On
// failure the temporary file is left to its owner (which removes it).
QString ReplaceWithTemporary(QTemporaryFile& temp, const QString& folder, const QString& name);

} // namespace karsidan::net
