// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <functional>

// Adds an item that runs `command`; the parts every platform's menus share.
QAction* addMenuItem(QMenu& menu, const QString& text, const std::function<void()>& command,
    const QKeySequence& shortcut = {}, QAction::MenuRole role = QAction::NoRole);

[[nodiscard]] QString fileMenuTitle();
[[nodiscard]] QString helpMenuTitle();
[[nodiscard]] QString newWindowText();
[[nodiscard]] QString closeWindowText();
[[nodiscard]] QString quitText();
