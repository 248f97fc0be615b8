#pragma once
// Indonesian for the texts Qt itself puts into the window: the file
// dialog's labels, buttons and questions, the standard buttons of message
// boxes and the editors' context menus. Debian ships no Indonesian Qt
// translation, so the few texts the window can show are kept here and
// built into the program.
#include <QTranslator>

class QCoreApplication;

namespace karsidan {

class QtTextsIndonesian : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    // The Indonesian text, or a null string (Qt then keeps its own).
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

// Installs the translation on app; call before the first window is made.
void InstallIndonesianQtTexts(QCoreApplication& app);

} // namespace karsidan
