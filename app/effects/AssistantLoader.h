#pragma once
// Creating the assistant may fail (no screen, no widgets, or the user asked
// for none); the program then works on without it.

#include <QPoint>
#include <optional>

class AssistantCharacter;
class QWidget;

// Set to anything but "" or "0" to run without the assistant.
inline constexpr char kNoAssistantVariable[] = "KARSIDAN_NO_ASSISTANT";

bool AssistantDisabledByEnvironment();

// Twips per pixel of the screen `window` is on (1440 twips make an inch):
// 15 at 96 dots per inch. Empty when there is no screen.
std::optional<double> TwipsPerPixel(const QWidget& window);

// Where the character goes beside `mainWindow`, from its outer frame.
std::optional<QPoint> AssistantPositionBeside(const QWidget& mainWindow);

// Creates the character as a child window of `mainWindow` (it goes when the
// main window goes), places it once beside the window's outer frame, shows it
// and plays "Announce". Called before the main window is first shown, it does
// all that when the window shows, its frame known; should the position then
// fall out of range the character deletes itself, so hold it in a QPointer.
// Returns nullptr, having shown nothing, when it cannot be had.
AssistantCharacter* LoadAssistantCharacter(QWidget* mainWindow);
