// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

// Whether closing the last main window ends the application; the platform's convention (QuitPolicy_*.cpp).
void applyQuitPolicy(QApplication& application);
