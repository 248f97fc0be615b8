#include "app/effects/AssistantLoader.h"

#include "app/effects/AssistantCharacter.h"
#include "app/effects/AssistantPosition.h"
#include "app/effects/EffectsLog.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// Places, shows and announces the character; false when it cannot be placed.
bool ShowBeside(AssistantCharacter& character, const QWidget& mainWindow)
{
    const auto position = AssistantPositionBeside(mainWindow);
    if (!position) {
        qCInfo(lcAssistant) << "assistant position out of range";
        return false;
    }
    character.PlaceAt(*position);
    character.show();
    character.Play(QStringLiteral("Announce"));
    return true;
}

// The main window's outer frame is only known once it is shown: waits for
// that, then lets the event loop settle the frame before placing.
class ShowWhenMainWindowShows : public QObject {
public:
    ShowWhenMainWindowShows(QWidget* mainWindow, AssistantCharacter* character)
        : QObject(character), mainWindow_(mainWindow), character_(character)
    {
        mainWindow->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == mainWindow_ && event->type() == QEvent::Show) {
            mainWindow_->removeEventFilter(this);
            QTimer::singleShot(0, character_, [character = character_, main = mainWindow_] {
                if (!ShowBeside(*character, *main))
                    character->deleteLater();
            });
            deleteLater();
        }
        return false;
    }

private:
    QWidget* mainWindow_;
    AssistantCharacter* character_;
};

} // namespace

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
    return AssistantPosition(frame.x() * *twips, frame.y() * *twips, frame.width() * *twips, *twips, *twips);
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
    auto* character = new AssistantCharacter(mainWindow);
    if (!mainWindow->isVisible()) {
        new ShowWhenMainWindowShows(mainWindow, character);
        return character;
    }
    if (!ShowBeside(*character, *mainWindow)) {
        delete character;
        return nullptr;
    }
    return character;
}
