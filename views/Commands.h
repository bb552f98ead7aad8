// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

// A main window command as the user meets it: its title and its keyboard shortcut.
// The buttons, their tooltips and the Help window all read these, so they cannot disagree.
struct Command {
    QString title;
    QKeySequence shortcut;
};

[[nodiscard]] Command selectSourceCommand();
[[nodiscard]] Command selectDestinationCommand();
[[nodiscard]] Command createImageCommand();
[[nodiscard]] Command cancelExportCommand();

// The shortcut as this platform writes it ("Ctrl+O" here, "⌘O" on macOS).
[[nodiscard]] QString shortcutText(const Command& command);
// "Select Source (Ctrl+O)".
[[nodiscard]] QString toolTipText(const Command& command);
