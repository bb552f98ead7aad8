// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MenuBar.h"

#include "app/AppTitles.h"
#include "app/MenuItems.h"

void buildMenus(QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands)
{
    QMenu& file = *menuBar.addMenu(fileMenuTitle());
    addMenuItem(file, newWindowText(), commands.newWindow, QKeySequence(Qt::CTRL | Qt::Key_N));
    addMenuItem(file, closeWindowText(), commands.closeWindow, QKeySequence(Qt::CTRL | Qt::Key_W));
    file.addSeparator();
    addMenuItem(file, quitText(), commands.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu& help = *menuBar.addMenu(helpMenuTitle());
    addMenuItem(help, helpTitle(bundle), commands.showHelp);
    addMenuItem(help, aboutTitle(bundle), commands.showAbout);
}

std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle&, const MenuCommands&)
{
    // The application ends once its last main window has closed (after any running export has finished),
    // so nobody could reach a menu bar without a window.
    return nullptr;
}
