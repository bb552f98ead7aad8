// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportJob.h"

#include "common/ImageToolContract.h"
#include "common/Location.h"
#include "model/ExportChecks.h"
#include "model/ExportLog.h"
#include "model/ExportNames.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {
constexpr int cancelGraceMilliseconds = 2000;
constexpr int quitGraceMilliseconds = 3000;
constexpr int copyProgressMilliseconds = 200;
constexpr qsizetype keptErrorBytes = qsizetype { 64 } * 1024;

// What the tool needs for an item it images where it lies: that the export can start, and the path its failure
// lines will name the source by, the one it resolves the source to. A path that is no text goes to the tool as a
// descriptor, since a process's arguments are text here.
StagingResult checkInPlace(const QByteArray& source, const QString& destinationPath)
{
    StagingResult result;
    const QString shown = QFile::decodeName(source);
    result.imagePath = outputImagePath(destinationPath, baseName(shown));
    if (auto problem = exportProblem(source, destinationPath)) {
        result.error = *problem;
        return result;
    }
    if (QByteArrayView(source).isValidUtf8()) {
        result.toolSourcePath = shown;
    } else {
        result.toolSourceFd.reset(::open(source.constData(), O_PATH | O_CLOEXEC));
        if (!result.toolSourceFd.valid()) {
            result.error = QCoreApplication::translate("ExportChecks", "cannot open %1: %2")
                               .arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
            return result;
        }
        result.toolSourcePath = QStringLiteral("/dev/fd/%1").arg(result.toolSourceFd.get());
    }
    char resolved[PATH_MAX];
    if (::realpath(source.constData(), resolved))
        result.toolNamesSourceAs = QFile::decodeName(resolved);
    return result;
}

// Where the image at `imagePath` passes under names of its own while process `processId` makes it: the same
// ".NAME.PID." stem the tool uses, in the same folder.
QString passingStemPath(const QString& destinationPath, const QString& imagePath, qint64 processId)
{
    const std::string stem
        = imagetool::passingStem(QFile::encodeName(itemName(imagePath)).toStdString(), long(processId));
    return destinationPath + QLatin1Char('/') + QFile::decodeName(QByteArray::fromStdString(stem));
}

// Only a regular file of this user's; with `emptyOnly`, only an empty one.
void removeIfOurs(const QString& path, bool emptyOnly)
{
    struct stat status { };
    const QByteArray encoded = QFile::encodeName(path);
    if (::lstat(encoded.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::getuid()
        && (!emptyOnly || status.st_size == 0))
        ::unlink(encoded.constData());
}
} // namespace

ExportJob::ExportJob(
    const QUrl& source, QString destinationPath, QString imageToolPath, StagingStep staging, Replacing replacing)
    : m_sourcePath(source.toLocalFile())
    , m_sourceBytes(locationBytes(source))
    , m_destinationPath(std::move(destinationPath))
    , m_imageToolPath(std::move(imageToolPath))
    , m_stagingStep(std::move(staging))
    , m_replacing(replacing)
{
    m_killTimer.setSingleShot(true);
    connect(&m_killTimer, &QTimer::timeout, this, [this] { m_process.kill(); });
    // Polled, not pushed: a copy of many small files would otherwise flood the event loop.
    m_copyProgressTimer.setInterval(copyProgressMilliseconds);
    connect(&m_copyProgressTimer, &QTimer::timeout, this, [this] {
        const qint64 toCopy = m_stagingControl.bytesToCopy.load(std::memory_order_relaxed);
        if (toCopy > 0 && !m_ended)
            Q_EMIT stagingCopyProgress(m_stagingControl.bytesCopied.load(std::memory_order_relaxed), toCopy);
    });
    if (auto* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &ExportJob::abandon);
}

ExportJob::~ExportJob()
{
    abandon();
}

void ExportJob::start()
{
    m_worker = std::make_unique<WorkerThread>([this] {
        // Before anything is staged; passed over only when the user chose to replace that image.
        const QString image = outputImagePath(m_destinationPath, baseName(m_sourcePath));
        struct stat status { };
        if (m_replacing == Replacing::No && ::lstat(QFile::encodeName(image).constData(), &status) == 0) {
            m_imageExists = true;
            m_staging.error = tr("%1 already exists in %2").arg(itemName(image), m_destinationPath);
            return;
        }
        m_staging = m_stagingStep ? m_stagingStep(m_sourcePath, m_destinationPath, m_stagingControl)
                                  : checkInPlace(m_sourceBytes, m_destinationPath);
    });
    connect(m_worker.get(), &WorkerThread::finished, this, &ExportJob::stagingDone);
    m_worker->start();
    m_copyProgressTimer.start();
}

void ExportJob::cancel()
{
    if (m_ended)
        return;
    m_stagingControl.stop = true;
    const bool toolStarted = m_process.state() != QProcess::NotRunning;
    if (toolStarted) {
        qCDebug(exportLog) << "cancel: stopping the image tool";
        m_process.terminate();
        m_killTimer.start(cancelGraceMilliseconds);
    }
    end({ .kind = ExportOutcome::Kind::Cancelled, .toolStarted = toolStarted });
}

void ExportJob::stagingDone()
{
    m_copyProgressTimer.stop();
    if (!joinWorker())
        return; // abandoned meanwhile
    if (m_ended) {
        cleanUp();
        return;
    }
    if (m_staging.toolSourcePath.isEmpty()) {
        end({ .kind = ExportOutcome::Kind::Failed, .reason = m_staging.error, .imageExists = m_imageExists });
        cleanUp();
        return;
    }
    Q_EMIT stagingFinished();
    launchTool();
}

void ExportJob::launchTool()
{
    m_process.setProgram(m_imageToolPath);
    const QString output = m_replacing == Replacing::ByRename ? passingImagePath() : m_staging.imagePath;
    QStringList arguments { QStringLiteral("makehybrid"), QStringLiteral("-o"), output, m_staging.toolSourcePath,
        QStringLiteral("-iso"), QStringLiteral("-joliet") };
    if (!m_stagingStep)
        arguments << QStringLiteral("-item");
    // The tool writes the new image apart and renames it over the old one only once it is complete.
    if (m_replacing == Replacing::ByTool)
        arguments << QStringLiteral("-ov");
    m_process.setArguments(arguments);
    m_process.setInputChannelMode(QProcess::ForwardedInputChannel);
    // A killed application must not leave its tool running on and publishing an image. The source's descriptor, where
    // there is one, is the tool's to inherit, and no other process's.
    m_process.setChildProcessModifier([sourceFd = m_staging.toolSourceFd.get()] {
#ifdef Q_OS_LINUX
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
#endif
        if (sourceFd >= 0)
            ::fcntl(sourceFd, F_SETFD, 0);
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ExportJob::readOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, &ExportJob::readErrors);
    connect(&m_process, &QProcess::started, this, [this] {
        m_toolProcessId = m_process.processId();
        qCDebug(exportLog) << "image tool started, pid" << m_toolProcessId;
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            toolFailedToStart();
    });
    connect(&m_process, &QProcess::finished, this, &ExportJob::toolFinished);
    m_process.start(QIODevice::ReadOnly);
}

void ExportJob::readOutput()
{
    // The tool's own lines, not the pipe's pieces: lines that arrive together are each a step.
    const std::optional<int> tenths = m_progressReader.take(m_process.readAllStandardOutput());
    if (tenths && !m_ended)
        Q_EMIT toolProgress(*tenths);
}

void ExportJob::readErrors()
{
    const QByteArray text = m_process.readAllStandardError();
    // Still the terminal's, as if the tool wrote there itself; but once the job has ended, a cancel or a quit stopped
    // the tool, and its account of that stop is no failure to report.
    if (!m_ended) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
    }
    m_toolErrors += text;
    if (m_toolErrors.size() > keptErrorBytes)
        m_toolErrors = m_toolErrors.right(keptErrorBytes);
}

void ExportJob::toolFailedToStart()
{
    qCDebug(exportLog) << "image tool failed to start:" << m_process.errorString();
    if (!m_ended) {
        end({ .kind = ExportOutcome::Kind::Failed,
            .reason = tr("cannot start the image tool %1: %2").arg(m_imageToolPath, m_process.errorString()) });
    }
    cleanUp();
}

void ExportJob::toolFinished(int exitCode, QProcess::ExitStatus status)
{
    m_killTimer.stop();
    qCDebug(exportLog) << "image tool ended, status" << exitCode << (status == QProcess::CrashExit ? "(signal)" : "");
    readErrors();
    bool succeeded = status == QProcess::NormalExit && exitCode == 0;
    QString renameFailure;
    if (succeeded && m_replacing == Replacing::ByRename) {
        // A cancelled replace keeps the old image, however far the tool got.
        renameFailure = m_ended ? QString() : renameOverOldImage();
        succeeded = !m_ended && renameFailure.isEmpty();
    }
    if (!m_ended) {
        if (!renameFailure.isEmpty())
            end({ .kind = ExportOutcome::Kind::Failed, .reason = renameFailure, .toolStarted = true });
        else if (succeeded)
            end({ .kind = ExportOutcome::Kind::ImageWritten,
                .imagePath = m_staging.imagePath,
                .toolStarted = true,
                .leftOut = m_staging.tally.leftOut });
        else
            end(toolFailureOutcome(exitCode, status));
    }
    if (!succeeded)
        removeLeftoverImage(status == QProcess::CrashExit);
    cleanUp();
}

ExportOutcome ExportJob::toolFailureOutcome(int exitCode, QProcess::ExitStatus status) const
{
    ExportOutcome outcome { .kind = ExportOutcome::Kind::Failed, .toolStarted = true };
    QString& reason = outcome.reason;
    if (status == QProcess::CrashExit) {
        reason = tr("the image tool was stopped by signal %1 (%2)")
                     .arg(exitCode)
                     .arg(QString::fromLocal8Bit(::strsignal(exitCode)));
    } else {
        // The tool's own one-line account, else whatever it said last.
        const QList<QByteArray> lines = m_toolErrors.trimmed().split('\n');
        const QByteArray last = lines.isEmpty() ? QByteArray() : lines.last().trimmed();
        if (const auto report = imagetool::parseFailureLine(last.toStdString())) {
            const imagetool::Failure& told = report->failure;
            reason = QString::fromStdString(report->reason);
            outcome.toolFailure = { .kind = told.kind,
                .path = QFile::decodeName(QByteArray::fromStdString(told.path)),
                .error = told.error,
                .needed = qint64(std::min<uint64_t>(told.needed, std::numeric_limits<qint64>::max())),
                .limit = qint64(std::min<uint64_t>(told.limit, std::numeric_limits<qint64>::max())) };
        } else if (!last.isEmpty()) {
            reason = QString::fromUtf8(last);
        } else {
            reason = tr("the image tool failed with exit status %1").arg(exitCode);
        }
    }
    // The user knows the source as they chose it, not as a staged copy of it or by where its links lead.
    if (!m_staging.toolNamesSourceAs.isEmpty()) {
        reason.replace(m_staging.toolNamesSourceAs, m_sourcePath);
        QString& path = outcome.toolFailure.path;
        if (path == m_staging.toolNamesSourceAs || path.startsWith(m_staging.toolNamesSourceAs + u'/'))
            path.replace(0, m_staging.toolNamesSourceAs.size(), m_sourcePath);
    }
    return outcome;
}

void ExportJob::end(const ExportOutcome& outcome)
{
    m_ended = true;
    Q_EMIT finished(outcome);
}

void ExportJob::removeLeftoverImage(bool toolKilled) const
{
    // Where the destination has no unnamed files, a tool that could not clean up leaves its named one, under
    // its passing name or, for a moment, its probing one.
    if (m_toolProcessId <= 0 || m_staging.imagePath.isEmpty())
        return;
    const QString stem = passingStemPath(m_destinationPath, m_staging.imagePath, m_toolProcessId);
    removeIfOurs(stem + QLatin1StringView(imagetool::partEnding), false);
    removeIfOurs(stem + QLatin1StringView(imagetool::probeEnding), false);
    // Where rename cannot refuse to replace, the tool claims the image's name with an empty file just before
    // the image takes it. No image is empty, and a tool that ended by itself has removed its own claim.
    if (toolKilled && m_replacing == Replacing::No)
        removeIfOurs(m_staging.imagePath, true);
    if (m_replacing == Replacing::ByRename)
        removeIfOurs(passingImagePath(), false);
}

QString ExportJob::passingImagePath() const
{
    // Hidden, in the destination so that one rename publishes it, and ending in the image's own extension, which
    // the tool keeps as given.
    return passingStemPath(m_destinationPath, m_staging.imagePath, QCoreApplication::applicationPid())
        + QLatin1StringView(imagetool::replacementEnding);
}

QString ExportJob::renameOverOldImage() const
{
    const QByteArray passing = QFile::encodeName(passingImagePath());
    if (::rename(passing.constData(), QFile::encodeName(m_staging.imagePath).constData()) == 0)
        return {};
    const int error = errno;
    ::unlink(passing.constData());
    return tr("cannot replace %1: %2").arg(m_staging.imagePath, QString::fromLocal8Bit(std::strerror(error)));
}

void ExportJob::cleanUp()
{
    std::shared_ptr<JobFolder> folder = std::move(m_staging.jobFolder);
    if (!folder) {
        deleteLater();
        return;
    }
    // Removing a large staged tree takes a while; the result is already on screen.
    m_worker = std::make_unique<WorkerThread>([folder] { folder->remove(); });
    connect(m_worker.get(), &WorkerThread::finished, this, [this] {
        if (!joinWorker())
            return; // abandoned meanwhile
        qCDebug(exportLog) << "job folder removed";
        deleteLater();
    });
    m_worker->start();
}

bool ExportJob::joinWorker()
{
    if (!m_worker)
        return false;
    m_worker->join();
    m_worker.reset();
    return true;
}

void ExportJob::abandon()
{
    if (m_abandoned)
        return;
    m_abandoned = true;
    m_stagingControl.stop = true;
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(quitGraceMilliseconds)) {
            m_process.kill();
            m_process.waitForFinished();
        }
        removeLeftoverImage(m_process.exitStatus() == QProcess::CrashExit);
    }
    joinWorker();
    m_staging.jobFolder.reset();
    qCDebug(exportLog) << "job abandoned and cleaned up";
    m_keepApplicationRunning.reset();
    deleteLater();
}
