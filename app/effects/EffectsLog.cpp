#include "app/effects/EffectsLog.h"

Q_LOGGING_CATEGORY(lcAssistant, "karsidan.assistant", QtWarningMsg)
