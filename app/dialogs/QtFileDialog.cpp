#include "app/dialogs/QtFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace karsidan {

QStringList QtFileDialog::ToNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        if (patterns.isEmpty())
            continue;
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

std::optional<QString> QtFileDialog::Ask(QWidget* parent, const Request& request)
{
    const bool open = request.form == Form::Open;
    QFileDialog dialog(parent, open ? QStringLiteral("Buka") : QStringLiteral("Simpan"));
    dialog.setObjectName(QStringLiteral("cdlFile"));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters = ToNameFilters(request.filter);
    filters << QStringLiteral("Semua berkas (*)");
    dialog.setNameFilters(filters);
    if (!request.proposedName.isEmpty()) {
        const QFileInfo last(request.proposedName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    } else {
        dialog.setDirectory(request.initialFolder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

} // namespace karsidan
