#pragma once
// Procedures shared by the windows and the receiving side.
#include <QString>

class QWidget;

namespace karsidan {

class FileDialog;
class FileSystem;

// Places the window so that its client area is centred on its screen (the
// frame therefore sits a little right of and below the middle); with atTop
// it then goes to the screen's top edge, keeping its left.
void CenterForm(QWidget* form, bool atTop);

// Prepares the shared file dialog: starts in the program's folder, offers
// the given filter ("Description |patterns|").
void PrepareFileDialog(FileDialog& dialog, const QString& filter);

// FileSystemObj, or a private helper before Main has set it up.
const FileSystem& FileSystemObject();

} // namespace karsidan
