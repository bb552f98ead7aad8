// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/KeyboardFocus.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr qreal ringWidth = 2.0;
} // namespace

void paintFocusRing(QWidget& widget, qreal radius)
{
    if (!widget.hasFocus() || !widget.window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), ringWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = ringWidth / 2;
    painter.drawRoundedRect(QRectF(widget.rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

bool pressOnReturn(QAbstractButton& button, const QKeyEvent& event)
{
    const bool returnKey = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (!returnKey || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (!event.isAutoRepeat() && button.isEnabled())
        button.click();
    return true;
}
