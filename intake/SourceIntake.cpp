// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/SourceIntake.h"

#include <algorithm>

QString localItemPath(const QUrl& url)
{
    // "file:" names nothing, and file://otherhost/x is another machine's file, not the path //otherhost/x.
    if (!url.isLocalFile() || !(url.host().isEmpty() || url.host() == QLatin1String("localhost")))
        return {};
    QUrl here = url;
    here.setHost(QString());
    return here.toLocalFile();
}

Location droppedItem(const QList<QUrl>& items)
{
    const auto first
        = std::find_if(items.begin(), items.end(), [](const QUrl& url) { return !localItemPath(url).isEmpty(); });
    if (first == items.end())
        return std::nullopt;
    return locationOf(locationBytes(*first));
}
