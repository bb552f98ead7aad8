// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/AnimatedProgressBar.h"

#include <QPropertyAnimation>
#include <algorithm>
#include <cmath>

namespace {
constexpr int steps = 1000;
constexpr int glideMilliseconds = 250;
} // namespace

AnimatedProgressBar::AnimatedProgressBar(QWidget* parent)
    : QProgressBar(parent)
    , m_animation(new QPropertyAnimation(this, "value", this))
{
    setRange(0, steps);
    setTextVisible(false);
    m_animation->setDuration(glideMilliseconds);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
}

void AnimatedProgressBar::showFraction(double fraction, bool animated)
{
    const int target = int(std::lround(std::clamp(fraction, 0.0, 1.0) * steps));
    if (maximum() != steps)
        setRange(0, steps);
    if (animated && m_animation->state() == QAbstractAnimation::Running && m_animation->endValue().toInt() == target)
        return;
    m_animation->stop();
    if (!animated || target == value()) {
        setValue(target);
        return;
    }
    m_animation->setStartValue(value());
    m_animation->setEndValue(target);
    m_animation->start();
}

void AnimatedProgressBar::showBusy()
{
    m_animation->stop();
    setRange(0, 0);
}
