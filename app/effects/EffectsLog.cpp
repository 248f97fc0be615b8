#include "EffectsLog.h"

Q_LOGGING_CATEGORY(lcAssistant, "karsidan.assistant", QtWarningMsg)
