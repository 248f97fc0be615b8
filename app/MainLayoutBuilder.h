#pragma once
#include "app/MainWidgets.h"

class QMainWindow;
class QWidget;

namespace karsidan {

// Builds the fixed layout of the main window: menu bar on top, and below it
// a 9810 x 5940 twip area holding toolbar, frames, editors, keys, buttons
// and status bar. Every control gets its object name; the window gets a
// fixed size and the tab order of the design.
class MainLayoutBuilder {
public:
    static MainWidgets Build(QMainWindow& window);

private:
    static void BuildMenus(QMainWindow& window, MainWidgets& w);
    static void BuildToolbar(QWidget* area, MainWidgets& w);
    static void BuildSource(QWidget* area, MainWidgets& w);
    static void BuildFunction(QWidget* area, MainWidgets& w);
    static void BuildTarget(QWidget* area, MainWidgets& w);
    static void BuildStatusBar(QWidget* area, MainWidgets& w);
    static void BuildNotice(QWidget* area, MainWidgets& w);
    static void SetTabOrder(const MainWidgets& w);
};

} // namespace karsidan
