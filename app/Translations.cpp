// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <tuple>

Translations::Translations(const QLocale& locale)
{
    for (QString language : locale.uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        // Without this stop, "en:de" would show German: there is no English file to find first.
        if (language.startsWith(QLatin1String("en")))
            return;
        // Each load tries the full name, then shorter ones ("de_AT", then "de").
        if (m_ours.load(QStringLiteral("velbrook_") + language, QStringLiteral(":/i18n"))) {
            std::ignore
                = m_qts.load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return;
        }
    }
}

void Translations::install()
{
    if (!m_ours.isEmpty())
        QCoreApplication::installTranslator(&m_ours);
    if (!m_qts.isEmpty())
        QCoreApplication::installTranslator(&m_qts);
}
