// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
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

// A size as people read it in passing, in units of 1024 and rounded down, so work is never shown further on
// than it is: "512 KB", "1.2 GB", "10 GB".
[[nodiscard]] QString readableSize(qint64 bytes);
