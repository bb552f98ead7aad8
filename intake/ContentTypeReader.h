// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMimeType>
#include <QString>
#include <optional>

// The content type of the item at `path`: by name first, then by content for regular files whose name is unknown
// or ambiguous. Nothing when the item cannot be reached (missing, a dangling link, an empty path). Asks the file
// system about the item once and never reads a directory, device, pipe or socket.
[[nodiscard]] std::optional<QMimeType> contentTypeOf(const QString& path);

// Whether a directory of this name is a package, handled as one item, rather than a folder.
[[nodiscard]] bool hasPackageExtension(const QString& fileName);
