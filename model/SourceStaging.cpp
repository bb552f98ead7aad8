// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SourceStaging.h"

#include "model/ExportLog.h"
#include "model/ExportNames.h"
#include "model/FileSize.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(exportLog, "velbrook.export", QtWarningMsg)

namespace {

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<dev_t> deviceOf(const QString& path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status.st_dev;
}

// Why the image cannot be written at `imagePath`, checked before any work is done.
std::optional<QString> destinationProblem(const QString& destinationPath, const QString& imagePath)
{
    const QString imageName = itemName(imagePath);
    if (QFile::encodeName(imageName).size() > NAME_MAX)
        return QStringLiteral("the image name %1 is longer than %2 bytes").arg(imageName).arg(NAME_MAX);
    const QByteArray destination = QFile::encodeName(destinationPath);
    struct stat status { };
    if (::stat(destination.constData(), &status) != 0)
        return QStringLiteral("cannot open %1: %2").arg(destinationPath, systemError());
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(destinationPath);
    if (::access(destination.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("cannot write in %1: %2").arg(destinationPath, systemError());
    if (::lstat(QFile::encodeName(imagePath).constData(), &status) == 0)
        return QStringLiteral("%1 already exists in %2").arg(imageName, destinationPath);
    return std::nullopt;
}

// Links and clones only work within one file system, and the temporary folder is often a RAM-backed one apart
// from the user's files: the temporary or the cache folder, whichever lies on the source's file system.
std::optional<QString> linkableParentFor(dev_t sourceDevice, const QString& temporary, const QString& cache)
{
    if (deviceOf(temporary) == sourceDevice)
        return temporary;
    if (!cache.isEmpty() && QDir().mkpath(cache) && deviceOf(cache) == sourceDevice)
        return cache;
    return std::nullopt;
}

std::optional<QString> spaceProblem(const QString& sourcePath, const QString& parent, const std::atomic<bool>& stop)
{
    struct statvfs space { };
    if (::statvfs(QFile::encodeName(parent).constData(), &space) != 0)
        return std::nullopt; // the copy itself will say what is wrong
    const qint64 available = qint64(space.f_bavail) * qint64(space.f_frsize);
    const qint64 needed = copySize(sourcePath, stop);
    if (needed <= available)
        return std::nullopt;
    const qint64 megabyte = 1048576;
    return QStringLiteral("staging needs %1 MB in %2, but only %3 MB are free")
        .arg((needed + megabyte - 1) / megabyte)
        .arg(parent)
        .arg(sizeInMegabytes(available));
}

} // namespace

void removeStaleStaging()
{
    removeStaleJobFolders(temporaryDirectory());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        removeStaleJobFolders(cache);
}

StagingResult stageSource(const QString& sourcePath, const QString& destinationPath, const std::atomic<bool>& stop)
{
    StagingResult result;
    removeStaleStaging();
    const QString temporary = temporaryDirectory();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);

    const QString base = baseName(sourcePath);
    result.imagePath = outputImagePath(destinationPath, base);
    if (auto problem = destinationProblem(destinationPath, result.imagePath)) {
        result.error = *problem;
        return result;
    }
    const auto sourceDevice = deviceOf(sourcePath);
    if (!sourceDevice) {
        const int error = errno;
        struct stat status { };
        const bool isLink = ::lstat(QFile::encodeName(sourcePath).constData(), &status) == 0 && S_ISLNK(status.st_mode);
        result.error = QStringLiteral("%1 %2: %3")
                           .arg(isLink ? QStringLiteral("cannot follow the link") : QStringLiteral("cannot open"),
                               sourcePath, systemError(error));
        return result;
    }

    const auto linkableParent = linkableParentFor(*sourceDevice, temporary, cache);
    const QString parent = linkableParent.value_or(temporary);
    if (!linkableParent) {
        if (auto problem = spaceProblem(sourcePath, parent, stop)) {
            result.error = *problem;
            return result;
        }
    }
    auto jobFolder = JobFolder::create(parent, base, &result.error);
    if (!jobFolder)
        return result;
    const QString stagedItem = jobFolder->stagingPath() + QLatin1Char('/') + itemName(sourcePath);
    if (auto error = stageItem(sourcePath, stagedItem, stop, result.tally)) {
        result.error = *error;
        return result; // the job folder goes with it
    }
    if (stop.load())
        return result;
    qCDebug(exportLog) << "staged" << sourcePath << "in" << jobFolder->stagingPath() << "by" << result.tally.methods()
                       << "leaving out" << result.tally.leftOut;
    result.jobFolder = std::move(jobFolder);
    return result;
}
