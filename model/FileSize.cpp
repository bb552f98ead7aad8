// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FileSize.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

qint64 fileSize(const QUrl& location)
{
    const QByteArray path = location.toLocalFile().toLocal8Bit();
    struct stat status { };
    if (path.isEmpty() || ::lstat(path.constData(), &status) != 0) {
        const int error = path.isEmpty() ? ENOENT : errno;
        std::printf("Error getting file size: %s\n", std::strerror(error));
        std::fflush(stdout);
        return 0;
    }
    return status.st_size >= 0 ? qint64(status.st_size) : 0;
}
