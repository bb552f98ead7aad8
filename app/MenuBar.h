// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenuBar>
#include <functional>
#include <memory>

struct Bundle;

// What the menu items do; the application supplies these for each window.
struct MenuCommands {
    std::function<void()> newWindow;
    std::function<void()> closeWindow;
    std::function<void()> quit;
    std::function<void()> showHelp;
    std::function<void()> showAbout;
};

// Fills a main window's menu bar; the same items on every window. Differs per platform (MenuBar_*.cpp).
void buildMenus(QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands);

// A menu bar for when no window is open, where the platform keeps the application running then; else null.
[[nodiscard]] std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle& bundle, const MenuCommands& commands);
