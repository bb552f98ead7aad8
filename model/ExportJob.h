// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ExportOutcome.h"
#include "model/SourceStaging.h"
#include "model/ToolProgressReader.h"
#include "model/WorkerThread.h"

#include <QEventLoopLocker>
#include <QObject>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <memory>

// One export: checks on a worker thread that it can start, and runs the image tool on the source where it lies or,
// with a staging step, over a copy the worker staged, removing the job folder again. It owns all of that (the worker,
// the process, the job folder) and reports only through its signals; `finished` comes exactly once. It deletes itself
// once everything it made is gone, and holds the application open until then, so closing the last window does not cut
// an export short. Quitting stops it and cleans up before the application ends.
class ExportJob : public QObject {
    Q_OBJECT

public:
    // Whether an image already at the destination may be replaced (once the new one is complete), and how: by the
    // tool's overwrite option, or, for a tool that would remove the old image first, by writing the new one under a
    // passing name in the destination and renaming it over the old one.
    enum class Replacing { No, ByTool, ByRename };

    // With no `staging`, the tool is given the source itself, as its one item.
    ExportJob(const QUrl& source, QString destinationPath, QString imageToolPath, StagingStep staging,
        Replacing replacing = Replacing::No);
    ~ExportJob() override;

    // Returns at once; the work goes on in the background.
    void start();
    // Stops staging or the tool and ends the job as cancelled at once; cleanup goes on in the background.
    void cancel();

Q_SIGNALS:
    // How far staging's copy has got, now and then while it copies; never while it links or clones.
    void stagingCopyProgress(qint64 bytesCopied, qint64 bytesToCopy);
    // The source is staged, or found ready to image in place, and the tool is being started.
    void stagingFinished();
    // The tool reported `tenths` of the image written, in a progress line of its own.
    void toolProgress(int tenths);
    void finished(const ExportOutcome& outcome);

private:
    void stagingDone();
    void launchTool();
    void readOutput();
    void readErrors();
    void toolFailedToStart();
    void toolFinished(int exitCode, QProcess::ExitStatus status);
    [[nodiscard]] ExportOutcome toolFailureOutcome(int exitCode, QProcess::ExitStatus status) const;
    void end(const ExportOutcome& outcome);
    void removeLeftoverImage(bool toolKilled) const;
    [[nodiscard]] QString passingImagePath() const;
    [[nodiscard]] QString renameOverOldImage() const;
    void cleanUp();
    // Waits for the worker and lets it go; false when there was none.
    bool joinWorker();
    void abandon();

    // As shown, and as the file system names it, which the shown text cannot always say.
    QString m_sourcePath;
    QByteArray m_sourceBytes;
    QString m_destinationPath;
    QString m_imageToolPath;
    StagingStep m_stagingStep;
    Replacing m_replacing;
    StagingControl m_stagingControl;
    bool m_imageExists = false;
    std::unique_ptr<WorkerThread> m_worker;
    StagingResult m_staging;
    QProcess m_process;
    qint64 m_toolProcessId = 0;
    QTimer m_killTimer;
    QTimer m_copyProgressTimer;
    ToolProgressReader m_progressReader;
    QByteArray m_toolErrors;
    bool m_ended = false;
    bool m_abandoned = false;
    std::unique_ptr<QEventLoopLocker> m_keepApplicationRunning = std::make_unique<QEventLoopLocker>();
};
