// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FileSize.h"

#include <QLocale>
#include <cerrno>
#include <cmath>
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

QString readableSize(qint64 bytes)
{
    static const char* const units[] = { "KB", "MB", "GB", "TB" };
    double value = double(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    // One decimal only where it tells something: below ten, and not for kilobytes.
    const int decimals = unit > 0 && value < 10 ? 1 : 0;
    const double scale = decimals ? 10.0 : 1.0;
    return QStringLiteral("%1 %2").arg(
        QLocale().toString(std::floor(value * scale) / scale, 'f', decimals), QLatin1String(units[unit]));
}
