// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MenuBar.h"

#include "app/AppTitles.h"
#include "app/MenuItems.h"

namespace {

void buildApplicationMenus(QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands, bool hasWindow)
{
    QMenu& file = *menuBar.addMenu(fileMenuTitle());
    addMenuItem(file, newWindowText(), commands.newWindow, QKeySequence(Qt::CTRL | Qt::Key_N));
    if (hasWindow)
        addMenuItem(file, closeWindowText(), commands.closeWindow, QKeySequence(Qt::CTRL | Qt::Key_W));
    // Both roles move their item into the application menu, where the system expects them.
    addMenuItem(file, quitText(), commands.quit, QKeySequence(Qt::CTRL | Qt::Key_Q), QAction::QuitRole);
    addMenuItem(file, aboutTitle(bundle), commands.showAbout, {}, QAction::AboutRole);

    QMenu& help = *menuBar.addMenu(helpMenuTitle());
    addMenuItem(help, helpTitle(bundle), commands.showHelp);
}

} // namespace

void buildMenus(QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands)
{
    buildApplicationMenus(menuBar, bundle, commands, true);
}

std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle& bundle, const MenuCommands& commands)
{
    // A menu bar without a parent is the one the system shows while no window is open.
    auto menuBar = std::make_unique<QMenuBar>();
    buildApplicationMenus(*menuBar, bundle, commands, false);
    return menuBar;
}
