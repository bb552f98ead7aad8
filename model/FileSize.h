// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <QtGlobal>

// The size the file system reports for the item itself (a link is not followed, a folder is not summed).
// Every failure gives 0; an item that cannot be examined also prints one line on standard output.
[[nodiscard]] qint64 fileSize(const QUrl& location);

// Whole megabytes of 1048576 bytes, rounded down.
[[nodiscard]] constexpr qint64 sizeInMegabytes(qint64 bytes)
{
    return bytes / 1048576;
}
