// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <memory>

class QApplication;
struct Bundle;

// What the application's own menu items do; the application supplies these for each window.
struct MenuCommands {
    std::function<void()> newWindow;
    std::function<void()> closeWindow;
    std::function<void()> quit;
    std::function<void()> showHelp;
    std::function<void()> showAbout;
};

// What differs per platform lives in MenuBar_linux.cpp and MenuBar_macos.cpp: the menus and the quit policy.

// Fills a main window's menu bar: `windowActions` are the window's own commands (choose, create, cancel),
// shared with its buttons, then the application's items.
void buildMenus(
    QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands, const QList<QAction*>& windowActions);

// A menu bar for when no window is open, where the platform keeps the application running then; else null.
[[nodiscard]] std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle& bundle, const MenuCommands& commands);

// Whether closing the last main window ends the application: the platform's convention.
void applyQuitPolicy(QApplication& application);

// Adds an item that runs `command`; shared by the platforms' menus.
inline QAction* addMenuItem(QMenu& menu, const QString& text, const std::function<void()>& command,
    const QKeySequence& shortcut = {}, QAction::MenuRole role = QAction::NoRole)
{
    QAction* action = menu.addAction(text);
    action->setShortcut(shortcut);
    // Without an explicit role, Qt guesses one from the text and may move the item on macOS.
    action->setMenuRole(role);
    QObject::connect(action, &QAction::triggered, &menu, [command] {
        if (command)
            command();
    });
    return action;
}
