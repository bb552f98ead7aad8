// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportModel.h"
#include "model/LocationChooser.h"

#include <QMetaObject>
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

bool ExportModel::handleDrop(const QList<QUrl>& items)
{
    const auto first
        = std::find_if(items.begin(), items.end(), [](const QUrl& url) { return !localItemPath(url).isEmpty(); });
    if (first == items.end())
        return false;
    // The drop is answered at once; the source is set afterwards, in posting order with other drops.
    QMetaObject::invokeMethod(
        this, [this, location = locationOf(locationBytes(*first))] { setSelectedSourceURL(location); },
        Qt::QueuedConnection);
    return true;
}

void ExportModel::selectSource()
{
    if (!m_chooser)
        return;
    const ChooserAnswer answer = m_chooser->chooseSource();
    if (answer.confirmed)
        setSelectedSourceURL(answer.location);
}
