// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VelbrookApp.h"

#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "common/DescriptorLimit.h"
#include "common/StopSignals.h"
#include "model/ExportModel.h"
#include "model/ImageToolPath.h"
#include "model/SourceStaging.h"
#include "views/SymbolIcon.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

VelbrookApp::VelbrookApp(QApplication& application, const QString& imageToolPath)
    : m_bundle(Bundle::load(mainBundleInfoPath))
    , m_imageToolPath(imageToolPath)
    , m_appDelegate(m_bundle)
    , m_stopSignals(new StopSignals(&application))
    , m_staleStagingSweep(removeStaleStaging)
{
    // A signal from outside is a quit the user already agreed to: stop the exports, clean up, exit 0.
    QObject::connect(m_stopSignals, &StopSignals::stopRequested, &application, [] { QApplication::quit(); });
    raiseDescriptorLimit();

    QApplication::setApplicationName(QStringLiteral("Velbrook"));
    QApplication::setApplicationVersion(bundleInfoString(m_bundle, QStringLiteral("CFBundleShortVersionString")));
    QApplication::setDesktopFileName(QStringLiteral("org.velbrook.Velbrook"));
    QApplication::setWindowIcon(artworkIcon(QStringLiteral("velbrook")));
    applyQuitPolicy(application);
    // After the name is set: the cache folder it sweeps is named after the application.
    m_staleStagingSweep.start();

    m_windowlessMenuBar = makeWindowlessMenuBar(m_bundle, menuCommands(nullptr));
    openMainWindow();
}

VelbrookApp::~VelbrookApp() = default;

MainWindow* VelbrookApp::openMainWindow()
{
    auto* window = new MainWindow(m_imageToolPath, applicationName(m_bundle));
    std::erase_if(m_models, [](const auto& model) { return model.expired(); });
    m_models.push_back(window->model());
    buildMenus(*window->menuBar(), m_bundle, menuCommands(window), window->commandActions());
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
        .quit = [this] { requestQuit(); },
        .showHelp = [this] { m_appDelegate.showHelpWindow(); },
        .showAbout = [this] { m_appDelegate.showAboutWindow(); },
    };
}

bool VelbrookApp::exportRunning() const
{
    return std::ranges::any_of(m_models, [](const auto& weak) {
        const auto model = weak.lock();
        return model && model->canCancelExport();
    });
}

void VelbrookApp::requestQuit()
{
    if (exportRunning()) {
        QMessageBox question(QMessageBox::Question, applicationName(m_bundle),
            QApplication::translate("VelbrookApp", "An export is running. Stop it and quit?"), QMessageBox::NoButton,
            QApplication::activeWindow());
        QPushButton* stop
            = question.addButton(QApplication::translate("VelbrookApp", "Stop and Quit"), QMessageBox::DestructiveRole);
        QPushButton* cancel = question.addButton(QMessageBox::Cancel);
        question.setDefaultButton(cancel);
        question.setEscapeButton(cancel);
        question.exec();
        if (question.clickedButton() != stop)
            return;
    }
    // Each running job stops its tool and removes its job folder before the application ends.
    QApplication::quit();
}
