// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/BundleInfo.h"

#include <QFile>
#include <QJsonDocument>

Bundle Bundle::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return {};
    return Bundle { document.object() };
}

QString bundleInfoString(const Bundle& bundle, const QString& key)
{
    static const QString warningSign = QStringLiteral("\u26A0\uFE0F");
    if (!bundle.infoDictionary)
        return warningSign;
    const auto value = bundle.infoDictionary->value(key);
    return value.isString() ? value.toString() : warningSign;
}
