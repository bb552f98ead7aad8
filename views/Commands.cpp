// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/Commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>

// Qt::CTRL is the Command key on macOS, so one sequence serves every platform.
Command selectSourceCommand()
{
    return { QCoreApplication::translate("Commands", "Select Source"), QKeySequence(Qt::CTRL | Qt::Key_O),
        QCoreApplication::translate("Commands", "Select Source…") };
}

Command selectDestinationCommand()
{
    return { QCoreApplication::translate("Commands", "Select Destination"), QKeySequence(Qt::CTRL | Qt::Key_D),
        QCoreApplication::translate("Commands", "Select Destination…") };
}

Command createImageCommand()
{
    return { QCoreApplication::translate("Commands", "Create Bootable ISO"), QKeySequence(Qt::CTRL | Qt::Key_E),
        QCoreApplication::translate("Commands", "Create Bootable ISO") };
}

Command cancelExportCommand()
{
    return { QCoreApplication::translate("Commands", "Cancel Export"), QKeySequence(Qt::Key_Escape),
        QCoreApplication::translate("Commands", "Cancel Export") };
}

QString shortcutText(const Command& command)
{
    return command.shortcut.toString(QKeySequence::NativeText);
}

QString toolTipText(const Command& command)
{
    return QStringLiteral("%1 (%2)").arg(command.title, shortcutText(command));
}

QAction* makeCommandAction(const Command& command, QWidget& owner)
{
    auto* action = new QAction(command.menuText, &owner);
    action->setShortcut(command.shortcut);
    // Without an explicit role, Qt guesses one from the text and may move the item on macOS.
    action->setMenuRole(QAction::NoRole);
    owner.addAction(action);
    return action;
}

void pressesAction(QAbstractButton& button, QAction& action)
{
    button.setEnabled(action.isEnabled());
    QObject::connect(&button, &QAbstractButton::clicked, &action, &QAction::trigger);
    QObject::connect(&action, &QAction::enabledChanged, &button, &QWidget::setEnabled);
}
