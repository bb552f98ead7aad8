// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoopLocker>
#include <QObject>
#include <QProcess>
#include <memory>

class ExportModel;
class StagingFolder;

// One run of the image tool over a staged copy. It owns itself: it lives until the tool has exited and its
// end has been handed to the model, and it keeps the model alive until then, whatever happens to the window.
// An explicit quit stops the tool instead.
class ExportJob : public QObject {
    Q_OBJECT

public:
    // Launches the tool; returns false (and removes the staging folder) when it cannot be started.
    [[nodiscard]] static bool launch(
        std::shared_ptr<ExportModel> model, std::unique_ptr<StagingFolder> stagingFolder, const QString& outputImage);
    ~ExportJob() override;

private:
    ExportJob(std::shared_ptr<ExportModel> model, std::unique_ptr<StagingFolder> stagingFolder, QString outputImage);

    [[nodiscard]] bool start();
    void readOutput();
    void finish();
    // The application is quitting: stop the tool and clean up rather than leave a child behind.
    void abandon();

    std::shared_ptr<ExportModel> m_model;
    std::unique_ptr<StagingFolder> m_stagingFolder;
    QString m_outputImage;
    QProcess m_process;
    // Closing the last window does not cut an export short: the application waits for the tool's end.
    QEventLoopLocker m_keepApplicationRunning;
};
