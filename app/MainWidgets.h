#pragma once
// The controls of the main window, as the layout builder made them.
#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QToolBar;

namespace karsidan {

struct MainWidgets {
    QToolBar* tlbMain = nullptr;
    std::array<QAction*, 3> toolbarButtons{}; // "Baru", "Buka", "Simpan" in order
    QGroupBox* fraSource = nullptr;
    QTextEdit* rtbSource = nullptr;
    QGroupBox* fraFunction = nullptr;
    std::array<QLabel*, 3> lblKey{};
    std::array<QLineEdit*, 3> txtKey{};
    QPushButton* cmdEncrypt = nullptr;
    QPushButton* cmdDecrypt = nullptr;
    QPushButton* cmdSend = nullptr;
    QGroupBox* fraChiper = nullptr;
    QTextEdit* rtbTarget = nullptr;
    QStatusBar* stbMain = nullptr;
    QLabel* stbMainPanel1 = nullptr; // connection messages; tooltip: the last failure's reason
    QLabel* lblNotice = nullptr; // warnings that do not stop a command
    QProgressBar* prgTransform = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSeparator = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuWindows = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
};

} // namespace karsidan
