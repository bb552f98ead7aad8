// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

class QAbstractButton;
class QAction;
class QWidget;

// A main window command as the user meets it: its title, its keyboard shortcut and its menu item.
// The buttons, their tooltips, the menus and the Help window all read these, so they cannot disagree.
struct Command {
    QString title;
    QKeySequence shortcut;
    QString menuText;
};

[[nodiscard]] Command selectSourceCommand();
[[nodiscard]] Command selectDestinationCommand();
[[nodiscard]] Command createImageCommand();
[[nodiscard]] Command cancelExportCommand();

// The shortcut as this platform writes it ("Ctrl+O" here, "⌘O" on macOS).
[[nodiscard]] QString shortcutText(const Command& command);
// "Select Source (Ctrl+O)".
[[nodiscard]] QString toolTipText(const Command& command);

// The window's action for `command`, added to `owner`. Only the action holds the shortcut, so a button and a
// menu item for the same command never compete for it, and a disabled command ignores its shortcut.
[[nodiscard]] QAction* makeCommandAction(const Command& command, QWidget& owner);
// A click on `button` triggers `action`, and the button is enabled exactly while the action is.
void pressesAction(QAbstractButton& button, QAction& action);
