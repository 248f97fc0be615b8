#include "app/DocumentCommands.h"

#include "app/DocumentReader.h"
#include "app/EditorText.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/mdlGlobal.h"
#include "app/mdlProcedures.h"

#include "codepage/CodePage.h"

#include <QLineEdit>
#include <QTextEdit>

#include <stdexcept>

namespace karsidan {

DocumentCommands::DocumentCommands(Controls controls, FileDialog& dialog, MessageBoxHook& messages)
    : controls_(controls), dialog_(dialog), messages_(messages)
{ }

void DocumentCommands::NewDocument()
{
    controls_.source->clear();
    controls_.target->clear();
    for (QLineEdit* key : controls_.keys)
        key->clear();
    mdlGlobal::SavedFileName.clear();
}

bool DocumentCommands::OpenFile()
{
    mdlGlobal::SavedFileName.clear();
    const auto name = dialog_.ShowOpen(controls_.window);
    if (!name || IsBlank(*name))
        return false;

    QByteArray data;
    QString reason;
    if (!FileSystemObject().ReadFile(*name, data, &reason)) {
        messages_.Warn(controls_.window, QStringLiteral("Berkas \"%1\" tidak dapat dibuka.\n%2").arg(*name, reason));
        return false;
    }
    DocumentReader::Read(data, *controls_.source);
    return true;
}

bool DocumentCommands::SaveFile()
{
    const auto name = dialog_.ShowSave(controls_.window);
    if (!name || IsBlank(*name))
        return false;

    std::string bytes;
    const QString text = EditorText::PlainText(*controls_.target->document());
    try {
        bytes = EditorText::ToCodePage(text);
    } catch (const UnmappableCharacterError& e) {
        messages_.Warn(controls_.window,
                       QStringLiteral("Hasil tidak disimpan. %1.").arg(EditorText::UnmappableMessage(text, e)));
        return false;
    } catch (const std::invalid_argument& e) {
        messages_.Warn(controls_.window, QStringLiteral("Hasil tidak disimpan. %1.").arg(QString::fromUtf8(e.what())));
        return false;
    }

    QString reason;
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!FileSystemObject().WriteFileAtomically(*name, data, &reason)) {
        messages_.Warn(controls_.window, QStringLiteral("Berkas \"%1\" tidak dapat disimpan.\n%2").arg(*name, reason));
        return false;
    }
    mdlGlobal::SavedFileName = *name;
    return true;
}

} // namespace karsidan
