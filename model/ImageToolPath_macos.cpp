// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ImageToolPath.h"

QString defaultImageToolPath()
{
    return QStringLiteral("/usr/bin/hdiutil");
}
