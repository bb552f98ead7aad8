// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportJob.h"

#include "model/ExportModel.h"
#include "model/ExportNames.h"
#include "model/ItemCopy.h"
#include "model/StagingFolder.h"
#include "model/Utf8.h"

#include <QCoreApplication>
#include <QDir>

namespace {
constexpr int startTimeoutMilliseconds = 30000;
constexpr int quitGraceMilliseconds = 3000;
} // namespace

void ExportModel::startExport()
{
    if (!m_selectedSourceURL || !m_selectedDestinationURL)
        return;

    const QString sourcePath = m_selectedSourceURL->toLocalFile();
    const QString base = baseName(sourcePath);
    auto stagingFolder = StagingFolder::create(QDir::tempPath(), base);
    if (!stagingFolder || !copyItem(sourcePath, stagingFolder->path() + QLatin1Char('/') + itemName(sourcePath))) {
        // The job folder, with whatever part of the copy was made, goes with `stagingFolder`.
        setExportInProgress(false);
        return;
    }

    const QString outputImage = outputImagePath(m_selectedDestinationURL->toLocalFile(), base);
    setExportInProgress(true);
    setProgress(0.0);
    if (!ExportJob::launch(shared_from_this(), std::move(stagingFolder), outputImage))
        setExportInProgress(false);
}

bool ExportJob::launch(
    std::shared_ptr<ExportModel> model, std::unique_ptr<StagingFolder> stagingFolder, const QString& outputImage)
{
    auto* job = new ExportJob(std::move(model), std::move(stagingFolder), outputImage);
    if (job->start())
        return true;
    delete job;
    return false;
}

ExportJob::ExportJob(
    std::shared_ptr<ExportModel> model, std::unique_ptr<StagingFolder> stagingFolder, QString outputImage)
    : m_model(std::move(model))
    , m_stagingFolder(std::move(stagingFolder))
    , m_outputImage(std::move(outputImage))
{ }

ExportJob::~ExportJob() = default;

bool ExportJob::start()
{
    m_process.setProgram(m_model->imageToolPath());
    m_process.setArguments({ QStringLiteral("makehybrid"), QStringLiteral("-o"), m_outputImage, m_stagingFolder->path(),
        QStringLiteral("-iso"), QStringLiteral("-joliet") });
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setInputChannelMode(QProcess::ForwardedInputChannel);

    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ExportJob::readOutput);
    connect(&m_process, &QProcess::finished, this, &ExportJob::finish);
    if (auto* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &ExportJob::abandon);

    m_process.start(QIODevice::ReadOnly);
    return m_process.waitForStarted(startTimeoutMilliseconds);
}

void ExportJob::readOutput()
{
    // One chunk is whatever has arrived; a chunk cut inside a character is not valid text and steps nothing.
    const QByteArray chunk = m_process.readAllStandardOutput();
    if (isValidUtf8(chunk))
        m_model->advanceProgress();
}

void ExportJob::finish()
{
    m_model->finishExport(*m_stagingFolder, m_process, m_outputImage);
    deleteLater();
}

void ExportJob::abandon()
{
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(quitGraceMilliseconds)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    m_stagingFolder->remove();
    deleteLater();
}
