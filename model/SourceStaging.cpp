// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SourceStaging.h"

#include "model/ExportChecks.h"
#include "model/ExportLog.h"
#include "model/ExportNames.h"
#include "model/FileSize.h"
#include "model/ImageToolPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <sys/statfs.h>
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

// The nearest folder at or above `path` that exists: the cache folder may not, and a new folder would lie on
// that one's file system.
QString existingAncestor(const QString& path)
{
    QString folder = QDir::cleanPath(path);
    while (!QFileInfo::exists(folder) && folder != QLatin1String("/"))
        folder = QFileInfo(folder).path();
    return folder;
}

// What `path` names once its links are followed, even where the last elements do not exist yet.
QString resolvedPath(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    const QString ancestor = existingAncestor(clean);
    return QDir::cleanPath(QFileInfo(ancestor).canonicalFilePath() + clean.mid(ancestor.size()));
}

// Staging in a folder inside the source would copy into itself, and would change the source.
bool isInside(const QString& place, const QString& sourcePath)
{
    const QString source = resolvedPath(sourcePath);
    const QString resolved = resolvedPath(place);
    return resolved == source || resolved.startsWith(source == QLatin1String("/") ? source : source + u'/');
}

bool isRamBacked(const QString& place)
{
    constexpr decltype(statfs::f_type) tmpfsMagic = 0x01021994;
    constexpr decltype(statfs::f_type) ramfsMagic = static_cast<decltype(statfs::f_type)>(0x858458f6);
    struct statfs fs { };
    if (::statfs(QFile::encodeName(existingAncestor(place)).constData(), &fs) != 0)
        return false;
    return fs.f_type == tmpfsMagic || fs.f_type == ramfsMagic;
}

std::optional<qint64> freeBytes(const QString& place)
{
    struct statvfs space { };
    if (::statvfs(QFile::encodeName(existingAncestor(place)).constData(), &space) != 0)
        return std::nullopt;
    return qint64(space.f_bavail) * qint64(space.f_frsize);
}

// Links and clones only work within one file system, and the temporary folder is often a RAM-backed one apart
// from the user's files: the temporary or the cache folder, whichever lies on the source's file system.
std::optional<QString> linkableParentFor(
    const QString& sourcePath, dev_t sourceDevice, const QString& temporary, const QString& cache)
{
    for (const QString& place : { temporary, cache }) {
        if (!place.isEmpty() && deviceOf(existingAncestor(place)) == sourceDevice && !isInside(place, sourcePath))
            return place;
    }
    return std::nullopt;
}

// A copy goes to disk where a disk has room: the cache folder, then the temporary folder, and into RAM only
// where no disk can take it. Nothing when no place can; `error` then names every place it tried.
std::optional<QString> copyParentFor(
    const QString& sourcePath, const QString& temporary, const QString& cache, StagingControl& control, QString& error)
{
    const qint64 needed = copySize(sourcePath, control.stop);
    control.bytesToCopy = needed;
    QStringList tried;
    for (const bool ramBacked : { false, true }) {
        for (const QString& place : { cache, temporary }) {
            if (place.isEmpty() || isRamBacked(place) != ramBacked || isInside(place, sourcePath))
                continue;
            const std::optional<qint64> available = freeBytes(place);
            if (!available || needed <= *available)
                return place; // where the size is unknown, the copy itself will say what is wrong
            tried << QCoreApplication::translate("SourceStaging", "%1 MB in %2")
                         .arg(sizeInMegabytes(*available))
                         .arg(place);
        }
    }
    const qint64 megabyte = 1048576;
    const QString neededText = QString::number((needed + megabyte - 1) / megabyte);
    error = tried.isEmpty() ? QCoreApplication::translate(
                "SourceStaging", "staging needs %1 MB outside %2, but the temporary and cache folders are inside it")
                                  .arg(neededText, sourcePath)
                            : QCoreApplication::translate("SourceStaging", "staging needs %1 MB, but only %2 are free")
                                  .arg(neededText, tried.join(QStringLiteral(", ")));
    return std::nullopt;
}

} // namespace

StagingStep platformStaging()
{
    return imageToolTakesItem ? StagingStep {} : StagingStep(stageSource);
}

void removeStaleStaging()
{
    removeStaleJobFolders(temporaryDirectory());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        removeStaleJobFolders(cache);
}

StagingResult stageSource(const QString& sourcePath, const QString& destinationPath, StagingControl& control)
{
    StagingResult result;
    removeStaleStaging();
    const QString temporary = temporaryDirectory();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);

    result.imagePath = outputImagePath(destinationPath, baseName(sourcePath));
    if (auto problem = exportProblem(QFile::encodeName(sourcePath), destinationPath)) {
        result.error = *problem;
        return result;
    }
    const auto sourceDevice = deviceOf(sourcePath);
    if (!sourceDevice) {
        result.error = QCoreApplication::translate("ExportChecks", "cannot open %1: %2").arg(sourcePath, systemError());
        return result;
    }
    auto parent = linkableParentFor(sourcePath, *sourceDevice, temporary, cache);
    if (!parent)
        parent = copyParentFor(sourcePath, temporary, cache, control, result.error);
    if (!parent)
        return result;
    // A stopped export makes nothing more; what it made is gone with it.
    if (control.stop.load())
        return result;
    // Made only now, so nothing is made where it is not used: above all, never inside the source.
    if (*parent == cache && !QDir().mkpath(cache)) {
        result.error = QCoreApplication::translate("SourceStaging", "cannot create %1").arg(cache);
        return result;
    }
    auto jobFolder = JobFolder::create(*parent, baseName(sourcePath), &result.error);
    if (!jobFolder)
        return result;
    const QString stagedItem = jobFolder->stagingPath() + QLatin1Char('/') + itemName(sourcePath);
    if (auto error = stageItem(sourcePath, stagedItem, control, result.tally)) {
        result.error = *error;
        return result; // the job folder goes with it
    }
    if (control.stop.load())
        return result;
    result.toolSourcePath = jobFolder->stagingPath();
    result.toolNamesSourceAs = stagedItem;
    qCDebug(exportLog) << "staged" << sourcePath << "in" << jobFolder->stagingPath() << "by" << result.tally.methods()
                       << "leaving out" << result.tally.leftOut;
    result.jobFolder = std::move(jobFolder);
    return result;
}
