// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Why an export of `source` (its path's bytes, which may be no UTF-8) into `destinationPath` cannot start, found before
// anything is made: the whole file system as the source, a source that cannot be opened, an image name too long for a
// folder to hold, a destination that is no folder this user can write in. Nothing when it can start. Reads the file
// system: not on the main thread.
[[nodiscard]] std::optional<QString> exportProblem(const QByteArray& source, const QString& destinationPath);
