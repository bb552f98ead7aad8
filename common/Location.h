// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>
#include <optional>

// A chosen file, folder or bundle, as a local file URL; absent until the user chooses one.
using Location = std::optional<QUrl>;

// The plain absolute path of a location (no scheme, no escapes); empty when there is none.
[[nodiscard]] inline QString locationPath(const Location& location)
{
    return location ? location->toLocalFile() : QString();
}

// The bytes of a local file URL's path, exactly, even where they are no UTF-8: toLocalFile() turns such bytes into
// U+FFFD, which names no file.
[[nodiscard]] inline QByteArray locationBytes(const QUrl& url)
{
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

// The file URL of the absolute path `bytes`, keeping them exactly; as QUrl::fromLocalFile() for UTF-8.
[[nodiscard]] inline QUrl locationOf(const QByteArray& bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return QUrl::fromLocalFile(QString::fromUtf8(bytes));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"));
}
