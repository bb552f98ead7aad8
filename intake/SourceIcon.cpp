// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/SourceIcon.h"

QString sourceIconName(const Location& location)
{
    if (!location)
        return QStringLiteral("plus.square.dashed");
    return QStringLiteral("doc");
}
