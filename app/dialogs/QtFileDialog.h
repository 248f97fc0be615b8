#pragma once
#include "app/dialogs/FileDialog.h"

#include <QStringList>

namespace karsidan {

// The file dialog on Qt's own dialog.
class QtFileDialog : public FileDialog {
public:
    // "Text File |*.txt;*.rtb|" becomes {"Text File (*.txt *.rtb)"}.
    static QStringList ToNameFilters(const QString& filter);

protected:
    std::optional<QString> Ask(QWidget* parent, const Request& request) override;
};

} // namespace karsidan
