// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportModel.h"

#include "intake/LocationChooser.h"
#include "model/FileSize.h"
#include "model/StagingFolder.h"

#include <QProcess>
#include <QTimer>

namespace {
constexpr double progressStep = 0.1;
constexpr double progressCeiling = 0.9;
constexpr int endDelayMilliseconds = 1000;
} // namespace

std::shared_ptr<ExportModel> ExportModel::create(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser)
{
    return std::shared_ptr<ExportModel>(new ExportModel(imageToolPath, std::move(chooser)));
}

ExportModel::ExportModel(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser)
    : m_imageToolPath(imageToolPath)
    , m_chooser(std::move(chooser))
{ }

ExportModel::~ExportModel() = default;

bool ExportModel::canStartExport() const
{
    return !m_exportInProgress && m_selectedSourceURL && m_selectedDestinationURL;
}

bool ExportModel::showsProgress() const
{
    return m_exportInProgress || m_progress == 1.0;
}

qint64 ExportModel::isoFileSizeInMegabytes() const
{
    return sizeInMegabytes(m_isoFileSize);
}

void ExportModel::advanceProgress()
{
    if (m_progress < progressCeiling)
        setProgress(m_progress + progressStep);
}

void ExportModel::finishExport(StagingFolder& stagingFolder, const QProcess& process, const QString& outputImage)
{
    stagingFolder.remove();

    const bool succeeded = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (succeeded) {
        setIsoFileSize(fileSize(QUrl::fromLocalFile(outputImage)));
        setProgress(1.0, true);
    }

    // The captured owner keeps the model alive until the end step has run, even without its window.
    QTimer::singleShot(endDelayMilliseconds, this, [self = shared_from_this()] { self->setExportInProgress(false); });
}

void ExportModel::setSelectedSourceURL(const Location& location)
{
    m_selectedSourceURL = location;
    Q_EMIT selectedSourceURLChanged();
}

void ExportModel::setSelectedDestinationURL(const Location& location)
{
    m_selectedDestinationURL = location;
    Q_EMIT selectedDestinationURLChanged();
}

void ExportModel::setExportInProgress(bool inProgress)
{
    if (m_exportInProgress == inProgress)
        return;
    m_exportInProgress = inProgress;
    Q_EMIT exportInProgressChanged();
}

void ExportModel::setProgress(double progress, bool animated)
{
    if (m_progress == progress)
        return;
    m_progress = progress;
    Q_EMIT progressChanged(animated);
}

void ExportModel::setIsoFileSize(qint64 size)
{
    if (m_isoFileSize == size)
        return;
    m_isoFileSize = size;
    Q_EMIT isoFileSizeChanged();
}
