// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/LocationChooser.h"
#include "model/ExportModel.h"

void ExportModel::selectDestination()
{
    if (!m_chooser)
        return;
    const ChooserAnswer answer = m_chooser->chooseDestination();
    if (answer.confirmed)
        setSelectedDestinationURL(answer.location);
}
