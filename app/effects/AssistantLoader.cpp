#include "AssistantLoader.h"

#include "AssistantCharacter.h"
#include "AssistantPosition.h"
#include "EffectsLog.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

bool AssistantDisabledByEnvironment()
{
    const QByteArray value = qgetenv(kNoAssistantVariable);
    return !value.isEmpty() && value != "0";
}

std::optional<double> TwipsPerPixel(const QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen || screen->logicalDotsPerInchX() <= 0.0)
        return std::nullopt;
    return 1440.0 / screen->logicalDotsPerInchX();
}

std::optional<QPoint> AssistantPositionBeside(const QWidget& mainWindow)
{
    const auto twips = TwipsPerPixel(mainWindow);
    if (!twips)
        return std::nullopt;
    const QRect frame = mainWindow.frameGeometry();
    return AssistantPosition(frame.x() * *twips, frame.y() * *twips, frame.width() * *twips,
                             *twips, *twips);
}

AssistantCharacter* LoadAssistantCharacter(QWidget* mainWindow)
{
    if (AssistantDisabledByEnvironment()) {
        qCInfo(lcAssistant) << "assistant switched off by" << kNoAssistantVariable;
        return nullptr;
    }
    if (!mainWindow || !qobject_cast<QApplication*>(QCoreApplication::instance())
        || !QGuiApplication::primaryScreen()) {
        qCInfo(lcAssistant) << "no screen for the assistant";
        return nullptr;
    }
    const auto position = AssistantPositionBeside(*mainWindow);
    if (!position) {
        qCInfo(lcAssistant) << "assistant position out of range";
        return nullptr;
    }
    auto* character = new AssistantCharacter(mainWindow);
    character->PlaceAt(*position);
    character->show();
    character->Play(QStringLiteral("Announce"));
    return character;
}
