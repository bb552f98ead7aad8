// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressBar>

class QPropertyAnimation;

// A text-less progress bar for a fraction from 0 to 1 that can glide to a new value.
class AnimatedProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit AnimatedProgressBar(QWidget* parent = nullptr);

    // Shows `fraction`, gliding there when `animated`; any other change stops a glide and shows at once.
    void showFraction(double fraction, bool animated);
    // Moves without a value, for work whose length is not known.
    void showBusy();

private:
    QPropertyAnimation* m_animation;
};
