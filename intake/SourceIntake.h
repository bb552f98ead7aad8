// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QList>
#include <QString>
#include <QUrl>

// The path of the local item `url` names: a file URL with a path, on no host but this machine. Empty otherwise.
[[nodiscard]] QString localItemPath(const QUrl& url);

// The item a drop brings: of its URLs in order (the entries of its text/uri-list), the first local one, by its bytes
// (see locationOf). Nothing when none is local.
[[nodiscard]] Location droppedItem(const QList<QUrl>& items);
