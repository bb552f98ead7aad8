// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuitPolicy.h"

#include <QApplication>

void applyQuitPolicy(QApplication& application)
{
    // Mac applications stay running without windows; File › New Window or the Dock open another.
    application.setQuitOnLastWindowClosed(false);
}
