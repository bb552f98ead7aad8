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
        // The load tries the full name, then shorter ones ("de_AT", then "de").
        if (m_ours.load(QStringLiteral("velbrook_") + language, QStringLiteral(":/i18n"))) {
            m_language = m_ours.filePath().section(QLatin1Char('_'), 1).section(QLatin1Char('.'), 0, 0);
            std::ignore = m_qts.load(
                QStringLiteral("qtbase_") + m_language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
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
