// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ImageToolPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The build passes where the tool is installed relative to the app's folder, so a relocated prefix still works.
#ifndef VELBROOK_TOOL_DIR_FROM_BIN_DIR
#define VELBROOK_TOOL_DIR_FROM_BIN_DIR "../libexec/velbrook"
#endif

namespace {
const auto toolName = QStringLiteral("velbrook-hdiutil");
}

QString imageToolPathForAppDir(const QString& appDir)
{
    const QDir dir(appDir);
    // The installed location comes first, so a stray tool left in bin/ by an older install is never run.
    QString installed
        = QDir::cleanPath(dir.absoluteFilePath(QStringLiteral(VELBROOK_TOOL_DIR_FROM_BIN_DIR "/") + toolName));
    if (QFileInfo(installed).isFile())
        return installed;
    return QDir::cleanPath(dir.absoluteFilePath(toolName));
}

QString defaultImageToolPath()
{
    return imageToolPathForAppDir(QCoreApplication::applicationDirPath());
}
