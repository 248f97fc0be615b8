#pragma once
// State shared by the window, the document commands and the network side.
#include "app/FileSystem.h"
#include "net/MessageFormat.h"

#include <QString>
#include <QtGlobal>

#include <memory>

namespace karsidan::mdlGlobal {

// Folder for received files; always ends in a separator.
inline QString AppFolder;
// Listening port, and the default port to connect to.
inline qint32 CurrentPort = net::kDefaultPort;
// Name of the file last saved or received.
inline QString SavedFileName;
// Set up by Main for the whole run.
inline std::unique_ptr<FileSystem> FileSystemObj;

} // namespace karsidan::mdlGlobal
