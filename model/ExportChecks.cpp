// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportChecks.h"

#include "model/ExportNames.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QString> sourceProblem(const QByteArray& source)
{
    const QString sourcePath = QFile::decodeName(source);
    struct stat status { };
    if (::stat(source.constData(), &status) != 0) {
        const int error = errno;
        const bool isLink = ::lstat(source.constData(), &status) == 0 && S_ISLNK(status.st_mode);
        return (isLink ? QCoreApplication::translate("ExportChecks", "cannot follow the link %1: %2")
                       : QCoreApplication::translate("ExportChecks", "cannot open %1: %2"))
            .arg(sourcePath, systemError(error));
    }
    return std::nullopt;
}

std::optional<QString> destinationProblem(const QString& destinationPath, const QString& imagePath)
{
    const QString imageName = itemName(imagePath);
    if (QFile::encodeName(imageName).size() > NAME_MAX)
        return QCoreApplication::translate("ExportChecks", "the image name %1 is longer than %2 bytes")
            .arg(imageName)
            .arg(NAME_MAX);
    const QByteArray destination = QFile::encodeName(destinationPath);
    struct stat status { };
    if (::stat(destination.constData(), &status) != 0)
        return QCoreApplication::translate("ExportChecks", "cannot open %1: %2").arg(destinationPath, systemError());
    if (!S_ISDIR(status.st_mode))
        return QCoreApplication::translate("ExportChecks", "%1 is not a folder").arg(destinationPath);
    if (::access(destination.constData(), W_OK | X_OK) != 0)
        return QCoreApplication::translate("ExportChecks", "cannot write in %1: %2")
            .arg(destinationPath, systemError());
    return std::nullopt;
}

} // namespace

std::optional<QString> exportProblem(const QByteArray& source, const QString& destinationPath)
{
    const QString sourcePath = QFile::decodeName(source);
    // The whole file system first: it is no item, wherever it was to go.
    char resolved[PATH_MAX];
    if (::realpath(source.constData(), resolved) && std::strcmp(resolved, "/") == 0)
        return QCoreApplication::translate(
            "ExportChecks", "The whole file system cannot be exported; choose a folder inside it");
    if (auto problem = destinationProblem(destinationPath, outputImagePath(destinationPath, baseName(sourcePath))))
        return problem;
    return sourceProblem(source);
}
