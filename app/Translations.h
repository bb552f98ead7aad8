// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

// The texts in the user's language: ours, built into the app, and Qt's own for the standard dialogs where the
// system has them. English, the language the texts are written in, needs neither.
class Translations {
public:
    // The first of the locale's languages that is English or that we speak.
    explicit Translations(const QLocale& locale = QLocale::system());
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Into the application object that exists now; each one made later needs it again.
    void install();

private:
    QTranslator m_ours;
    QTranslator m_qts;
};
