#pragma once
// Diagnostics of the assistant and the window effects; quiet unless enabled
// with QT_LOGGING_RULES="karsidan.assistant.info=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAssistant)
