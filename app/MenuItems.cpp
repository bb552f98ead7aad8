// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MenuItems.h"

#include <QCoreApplication>

QAction* addMenuItem(QMenu& menu, const QString& text, const std::function<void()>& command,
    const QKeySequence& shortcut, QAction::MenuRole role)
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

QString fileMenuTitle()
{
    return QCoreApplication::translate("MenuBar", "&File");
}

QString helpMenuTitle()
{
    return QCoreApplication::translate("MenuBar", "&Help");
}

QString newWindowText()
{
    return QCoreApplication::translate("MenuBar", "New Window");
}

QString closeWindowText()
{
    return QCoreApplication::translate("MenuBar", "Close Window");
}

QString quitText()
{
    return QCoreApplication::translate("MenuBar", "Quit");
}
