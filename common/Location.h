// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
