// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/MenuBar.h"

#include <QApplication>

namespace {

void buildApplicationMenus(
    QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands, const QList<QAction*>& windowActions)
{
    const bool hasWindow = !windowActions.isEmpty();
    QMenu& file = *menuBar.addMenu(QApplication::translate("MenuBar", "&File"));
    if (hasWindow) {
        file.addActions(windowActions);
        file.addSeparator();
    }
    addMenuItem(
        file, QApplication::translate("MenuBar", "New Window"), commands.newWindow, QKeySequence(Qt::CTRL | Qt::Key_N));
    if (hasWindow)
        addMenuItem(file, QApplication::translate("MenuBar", "Close Window"), commands.closeWindow,
            QKeySequence(Qt::CTRL | Qt::Key_W));
    // Both roles move their item into the application menu, where the system expects them.
    addMenuItem(file, QApplication::translate("MenuBar", "Quit"), commands.quit, QKeySequence(Qt::CTRL | Qt::Key_Q),
        QAction::QuitRole);
    addMenuItem(file, aboutTitle(bundle), commands.showAbout, {}, QAction::AboutRole);

    QMenu& help = *menuBar.addMenu(QApplication::translate("MenuBar", "&Help"));
    addMenuItem(help, helpTitle(bundle), commands.showHelp, QKeySequence(QKeySequence::HelpContents));
}

} // namespace

void buildMenus(
    QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands, const QList<QAction*>& windowActions)
{
    buildApplicationMenus(menuBar, bundle, commands, windowActions);
}

std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle& bundle, const MenuCommands& commands)
{
    // A menu bar without a parent is the one the system shows while no window is open.
    auto menuBar = std::make_unique<QMenuBar>();
    buildApplicationMenus(*menuBar, bundle, commands, {});
    return menuBar;
}

void applyQuitPolicy(QApplication& application)
{
    // Mac applications stay running without windows; File › New Window or the Dock open another.
    application.setQuitOnLastWindowClosed(false);
}
