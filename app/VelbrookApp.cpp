// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VelbrookApp.h"

#include "app/AppTitles.h"
#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "app/QuitPolicy.h"
#include "model/ImageToolPath.h"
#include "views/SymbolIcon.h"

#include <QApplication>
#include <QPointer>

VelbrookApp::VelbrookApp(QApplication& application)
    : m_bundle(Bundle::load(mainBundleInfoPath))
    , m_imageToolPath(defaultImageToolPath())
    , m_appDelegate(m_bundle)
{
    QApplication::setApplicationName(QStringLiteral("Velbrook"));
    QApplication::setApplicationVersion(bundleInfoString(m_bundle, QStringLiteral("CFBundleShortVersionString")));
    QApplication::setDesktopFileName(QStringLiteral("org.velbrook.Velbrook"));
    QApplication::setWindowIcon(artworkIcon(QStringLiteral("velbrook")));
    applyQuitPolicy(application);

    m_windowlessMenuBar = makeWindowlessMenuBar(m_bundle, menuCommands(nullptr));
    openMainWindow();
}

VelbrookApp::~VelbrookApp() = default;

MainWindow* VelbrookApp::openMainWindow()
{
    auto* window = new MainWindow(m_imageToolPath, applicationName(m_bundle));
    buildMenus(*window->menuBar(), m_bundle, menuCommands(window));
    window->show();
    return window;
}

MenuCommands VelbrookApp::menuCommands(QWidget* window)
{
    return MenuCommands {
        .newWindow = [this] { openMainWindow(); },
        .closeWindow =
            [window = QPointer<QWidget>(window)] {
                if (window)
                    window->close();
            },
        .quit = [] { QApplication::quit(); },
        .showHelp = [this] { m_appDelegate.showHelpWindow(); },
        .showAbout = [this] { m_appDelegate.showAboutWindow(); },
    };
}
