// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuitPolicy.h"

#include <QApplication>

void applyQuitPolicy(QApplication& application)
{
    // Only main windows count: the About and Help windows opt out with Qt::WA_QuitOnClose.
    application.setQuitOnLastWindowClosed(true);
}
