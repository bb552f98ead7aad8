// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/Commands.h"

#include <QCoreApplication>

// Qt::CTRL is the Command key on macOS, so one sequence serves every platform.
Command selectSourceCommand()
{
    return { QCoreApplication::translate("Commands", "Select Source"), QKeySequence(Qt::CTRL | Qt::Key_O) };
}

Command selectDestinationCommand()
{
    return { QCoreApplication::translate("Commands", "Select Destination"), QKeySequence(Qt::CTRL | Qt::Key_D) };
}

Command createImageCommand()
{
    return { QCoreApplication::translate("Commands", "Create Bootable ISO"), QKeySequence(Qt::CTRL | Qt::Key_E) };
}

Command cancelExportCommand()
{
    return { QCoreApplication::translate("Commands", "Cancel Export"), QKeySequence(Qt::Key_Escape) };
}

QString shortcutText(const Command& command)
{
    return command.shortcut.toString(QKeySequence::NativeText);
}

QString toolTipText(const Command& command)
{
    return QStringLiteral("%1 (%2)").arg(command.title, shortcutText(command));
}
