// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTitles.h"

#include "common/BundleInfo.h"

#include <QCoreApplication>

QString applicationName(const Bundle& bundle)
{
    return bundleInfoString(bundle, QStringLiteral("CFBundleName"));
}

QString aboutPrefix()
{
    return QCoreApplication::translate("AppTitles", "About ");
}

QString helpPrefix()
{
    return QCoreApplication::translate("AppTitles", "Help ");
}

QString aboutTitle(const Bundle& bundle)
{
    return aboutPrefix() + applicationName(bundle);
}

QString helpTitle(const Bundle& bundle)
{
    return helpPrefix() + applicationName(bundle);
}
