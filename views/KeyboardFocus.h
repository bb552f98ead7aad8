// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QAbstractButton;
class QKeyEvent;
class QWidget;

// Draws a 2px rounded outline in the highlight colour while `widget` has focus that came from the keyboard.
// The styles' own focus marks on flat controls are faint, most of all on dark palettes.
void paintFocusRing(QWidget& widget, qreal radius = 6.0);

// Presses `button` for Return or Enter, as Space already does; returns whether the key was used.
[[nodiscard]] bool pressOnReturn(QAbstractButton& button, const QKeyEvent& event);
