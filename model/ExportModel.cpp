// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportModel.h"

#include "intake/LocationChooser.h"
#include "intake/SourceIntake.h"
#include "model/ExportJob.h"
#include "model/ExportNames.h"
#include "model/FileSize.h"
#include "model/ImageToolPath.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>

namespace {
// The bar stops short of full until the tool's exit says the image is complete.
constexpr int highestStepTenths = 9;
constexpr int endDelayMilliseconds = 1000;
} // namespace

std::shared_ptr<ExportModel> ExportModel::create(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser,
    StagingStep staging, SourceSymbolLookup::Reader symbolReader)
{
    return std::shared_ptr<ExportModel>(
        new ExportModel(imageToolPath, std::move(chooser), std::move(staging), std::move(symbolReader)));
}

ExportModel::ExportModel(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser, StagingStep staging,
    SourceSymbolLookup::Reader symbolReader)
    : m_imageToolPath(imageToolPath)
    , m_chooser(std::move(chooser))
    , m_staging(std::move(staging))
    , m_sourceSymbolLookup(std::move(symbolReader))
    , m_sourceSymbolName(sourceIconName(std::nullopt))
{
    connect(&m_sourceSymbolLookup, &SourceSymbolLookup::found, this, &ExportModel::setSourceSymbolName);
}

ExportModel::~ExportModel() = default;

bool ExportModel::handleDrop(const QList<QUrl>& items)
{
    const Location item = droppedItem(items);
    if (!item)
        return false;
    // The drop is answered at once; the source is set afterwards, in posting order with other drops.
    QMetaObject::invokeMethod(
        this, [this, item] { setSelectedSourceURL(item); }, Qt::QueuedConnection);
    return true;
}

void ExportModel::selectSource()
{
    if (!m_chooser)
        return;
    const ChooserAnswer answer = m_chooser->chooseSource();
    if (answer.confirmed)
        setSelectedSourceURL(answer.location);
}

void ExportModel::selectDestination()
{
    if (!m_chooser)
        return;
    const ChooserAnswer answer = m_chooser->chooseDestination();
    if (answer.confirmed)
        setSelectedDestinationURL(answer.location);
}

bool ExportModel::canStartExport() const
{
    return m_phase == ExportPhase::Idle && !m_job && m_selectedSourceURL && m_selectedDestinationURL;
}

bool ExportModel::showsProgress() const
{
    return exportInProgress() || m_progress == 1.0;
}

qint64 ExportModel::isoFileSizeInMegabytes() const
{
    return sizeInMegabytes(m_isoFileSize);
}

void ExportModel::reportSourceProblem(const QString& reason)
{
    if (m_job)
        return;
    m_lastExportFailure = ExportFailure { .reason = reason, .aboutTheSource = true };
    Q_EMIT exportEndChanged();
}

void ExportModel::startExport()
{
    beginExport(false);
}

bool ExportModel::canReplaceImage() const
{
    return canStartExport() && m_lastExportFailure && m_lastExportFailure->imageExists
        && m_selectedSourceURL == m_lastExportSource && m_selectedDestinationURL == m_lastExportDestination;
}

void ExportModel::replaceImage()
{
    if (canReplaceImage())
        beginExport(true);
}

void ExportModel::beginExport(bool replace)
{
    if (!m_selectedSourceURL || !m_selectedDestinationURL || m_job)
        return;

    m_job = new ExportJob(*m_selectedSourceURL, m_selectedDestinationURL->toLocalFile(), m_imageToolPath, m_staging,
        !replace                     ? ExportJob::Replacing::No
            : imageToolReplacesWhole ? ExportJob::Replacing::ByTool
                                     : ExportJob::Replacing::ByRename);
    m_lastExportImageName = itemName(
        outputImagePath(m_selectedDestinationURL->toLocalFile(), baseName(m_selectedSourceURL->toLocalFile())));
    m_lastExportSource = m_selectedSourceURL;
    m_lastExportDestination = m_selectedDestinationURL;
    m_lastExportFailure.reset();
    // An item imaged where it lies goes straight to the tool's steps.
    if (m_staging) {
        setPhase(ExportPhase::Preparing);
    } else {
        setPhase(ExportPhase::Running);
        setProgress(0.0);
    }
    Q_EMIT exportEndChanged();

    // Each connection owns the model until the job is gone, so an export outlives its window.
    connect(m_job, &ExportJob::stagingCopyProgress, this,
        [self = shared_from_this()](qint64 copied, qint64 toCopy) { self->setStagingCopy(copied, toCopy); });
    connect(m_job, &ExportJob::stagingFinished, this, [self = shared_from_this()] {
        self->setStagingCopy(0, 0);
        self->setPhase(ExportPhase::Running);
        self->setProgress(0.0);
    });
    connect(m_job, &ExportJob::toolProgress, this,
        [self = shared_from_this()](int tenths) { self->advanceProgress(tenths); });
    connect(m_job, &ExportJob::finished, this,
        [self = shared_from_this()](const ExportOutcome& outcome) { self->finishExport(outcome); });
    m_job->start();
}

void ExportModel::cancelExport()
{
    if (m_job)
        m_job->cancel();
}

void ExportModel::advanceProgress(int tenths)
{
    // In tenths, not by adding 0.1: the bar shows what the tool said, with no rounding carried from step to step.
    const double reached = std::min(tenths, highestStepTenths) / 10.0;
    if (reached > m_progress)
        setProgress(reached);
}

void ExportModel::finishExport(const ExportOutcome& outcome)
{
    m_job.clear();
    setStagingCopy(0, 0);
    if (m_phase == ExportPhase::Preparing)
        setPhase(ExportPhase::Idle);
    switch (outcome.kind) {
    case ExportOutcome::Kind::ImageWritten:
        m_exportedImagePath = outcome.imagePath;
        m_leftOutCount = outcome.leftOut;
        setIsoFileSize(fileSize(QUrl::fromLocalFile(outcome.imagePath)));
        setProgress(1.0, true);
        break;
    case ExportOutcome::Kind::Failed:
        m_lastExportFailure = ExportFailure {
            .reason = outcome.reason,
            .tool = outcome.toolFailure,
            .imageExists = outcome.imageExists,
            .imageName = m_lastExportImageName,
        };
        break;
    case ExportOutcome::Kind::Cancelled:
        m_lastExportFailure = ExportFailure { .cancelled = true, .imageName = m_lastExportImageName };
        break;
    }
    Q_EMIT exportEndChanged();

    // Only the tool's exit has an end step; a cancel or a start that never reached the tool ends at once.
    if (outcome.toolStarted && outcome.kind != ExportOutcome::Kind::Cancelled)
        scheduleEndStep();
    else
        setPhase(ExportPhase::Idle);
}

void ExportModel::scheduleEndStep()
{
    setPhase(ExportPhase::Ending);
    // The captured owner keeps the model alive until the end step has run, even without its window.
    QTimer::singleShot(endDelayMilliseconds, this, [self = shared_from_this()] { self->setPhase(ExportPhase::Idle); });
}

void ExportModel::setSelectedSourceURL(const Location& location)
{
    m_selectedSourceURL = location;
    Q_EMIT selectedSourceURLChanged();
    // No source needs no lookup; a chosen one is unknown until its lookup answers.
    if (location) {
        setSourceSymbolName(QStringLiteral("questionmark.square.dashed"));
        m_sourceSymbolLookup.lookUp(location);
    } else {
        setSourceSymbolName(sourceIconName(location));
    }
}

void ExportModel::setSourceSymbolName(const QString& name)
{
    if (m_sourceSymbolName == name)
        return;
    m_sourceSymbolName = name;
    Q_EMIT sourceSymbolNameChanged();
}

void ExportModel::setSelectedDestinationURL(const Location& location)
{
    m_selectedDestinationURL = location;
    Q_EMIT selectedDestinationURLChanged();
}

void ExportModel::setPhase(ExportPhase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    Q_EMIT phaseChanged();
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

void ExportModel::setStagingCopy(qint64 copied, qint64 toCopy)
{
    // A file that grew while it was copied must not take the bar past its end.
    copied = std::min(copied, toCopy);
    if (m_stagingBytesCopied == copied && m_stagingBytesToCopy == toCopy)
        return;
    m_stagingBytesCopied = copied;
    m_stagingBytesToCopy = toCopy;
    Q_EMIT stagingCopyChanged();
}
