// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportModel.h"
#include "model/LocationChooser.h"

void ExportModel::selectDestination()
{
    if (!m_chooser)
        return;
    const ChooserAnswer answer = m_chooser->chooseDestination();
    if (answer.confirmed)
        setSelectedDestinationURL(answer.location);
}
