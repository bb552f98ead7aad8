// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppDelegate.h"
#include "common/BundleInfo.h"
#include "model/ImageToolPath.h"
#include "model/WorkerThread.h"

#include <QString>
#include <memory>
#include <vector>

class ExportModel;
class MainWindow;
class StopSignals;
class QApplication;
class QMenuBar;
class QWidget;
struct MenuCommands;

// The running application: its information dictionary, its image tool, its About and Help windows,
// and the main windows it opens.
class VelbrookApp {
public:
    // Reads the information dictionary from the resources, finds the image tool and opens the first window.
    // `imageToolPath` is where the tool is found beside the application, unless told otherwise.
    explicit VelbrookApp(QApplication& application, const QString& imageToolPath = defaultImageToolPath());
    ~VelbrookApp();
    VelbrookApp(const VelbrookApp&) = delete;
    VelbrookApp& operator=(const VelbrookApp&) = delete;

    MainWindow* openMainWindow();
    // Quit from the menu: asks first while an export runs, in any window or in one already closed.
    void requestQuit();
    [[nodiscard]] bool exportRunning() const;

private:
    [[nodiscard]] MenuCommands menuCommands(QWidget* window);

    Bundle m_bundle;
    QString m_imageToolPath;
    AppDelegate m_appDelegate;
    std::unique_ptr<QMenuBar> m_windowlessMenuBar;
    // Every window's model; a closed window's model lives on while its export runs.
    std::vector<std::weak_ptr<ExportModel>> m_models;
    StopSignals* m_stopSignals;
    WorkerThread m_staleStagingSweep;
};
