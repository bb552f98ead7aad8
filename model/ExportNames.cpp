// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportNames.h"

QString itemName(const QString& sourcePath)
{
    QString path = sourcePath;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path == QLatin1String("/"))
        return path;
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString baseName(const QString& sourcePath)
{
    QString name = itemName(sourcePath);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // No extension when the only dot leads the name or ends it.
    if (dot <= 0 || dot == name.size() - 1)
        return name;
    return name.left(dot);
}

QString outputImagePath(const QString& destinationPath, const QString& baseName)
{
    QString path = destinationPath;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + baseName + QStringLiteral(".iso");
}
