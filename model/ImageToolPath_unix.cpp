// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ImageToolPath.h"

#include <QCoreApplication>
#include <QDir>

// Our own tool, installed beside the application's executable.
QString defaultImageToolPath()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("velbrook-hdiutil"));
}
