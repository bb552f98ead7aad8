// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LinkButton.h"

#include "views/KeyboardFocus.h"

#include <QKeyEvent>
#include <QPainter>

namespace {
// Room for the focus ring around the text.
constexpr int ringRoom = 4;
} // namespace

LinkButton::LinkButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize LinkButton::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, text()).grownBy(QMargins(ringRoom, ringRoom, ringRoom, ringRoom));
}

void LinkButton::paintEvent(QPaintEvent*)
{
    {
        QPainter painter(this);
        painter.setPen(palette().color(isDown() ? QPalette::LinkVisited : QPalette::Link));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    paintFocusRing(*this, 3.0);
}

void LinkButton::keyPressEvent(QKeyEvent* event)
{
    if (!pressOnReturn(*this, *event))
        QAbstractButton::keyPressEvent(event);
}
