// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/MenuBar.h"

#include <QApplication>

void buildMenus(
    QMenuBar& menuBar, const Bundle& bundle, const MenuCommands& commands, const QList<QAction*>& windowActions)
{
    QMenu& file = *menuBar.addMenu(QApplication::translate("MenuBar", "&File"));
    file.addActions(windowActions);
    file.addSeparator();
    addMenuItem(
        file, QApplication::translate("MenuBar", "New Window"), commands.newWindow, QKeySequence(Qt::CTRL | Qt::Key_N));
    addMenuItem(file, QApplication::translate("MenuBar", "Close Window"), commands.closeWindow,
        QKeySequence(Qt::CTRL | Qt::Key_W));
    file.addSeparator();
    addMenuItem(file, QApplication::translate("MenuBar", "Quit"), commands.quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu& help = *menuBar.addMenu(QApplication::translate("MenuBar", "&Help"));
    addMenuItem(help, helpTitle(bundle), commands.showHelp, QKeySequence(QKeySequence::HelpContents));
    addMenuItem(help, aboutTitle(bundle), commands.showAbout);
}

std::unique_ptr<QMenuBar> makeWindowlessMenuBar(const Bundle&, const MenuCommands&)
{
    // The application ends once its last main window has closed (after any running export has finished),
    // so nobody could reach a menu bar without a window.
    return nullptr;
}

void applyQuitPolicy(QApplication& application)
{
    // Only main windows count: the About and Help windows opt out with Qt::WA_QuitOnClose.
    application.setQuitOnLastWindowClosed(true);
}
