// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TintedBar.h"

#include <QPainter>

namespace {
constexpr qreal tintOpacity = 0.2;
} // namespace

TintedBar::TintedBar(int height, QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TintedBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setOpacity(tintOpacity);
    painter.fillRect(rect(), QColor(Qt::gray));
}
