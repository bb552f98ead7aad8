// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DropZoneButton.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMimeData>
#include <QPainter>

namespace {
constexpr qreal focusOutlineWidth = 2.0;
constexpr qreal focusOutlineRadius = 6.0;
} // namespace

DropZoneButton::DropZoneButton(std::function<bool(const QList<QUrl>&)> takeDrop, QWidget* parent)
    : QAbstractButton(parent)
    , m_takeDrop(std::move(takeDrop))
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize DropZoneButton::sizeHint() const
{
    return layout() ? layout()->sizeHint() : QAbstractButton::sizeHint();
}

QSize DropZoneButton::minimumSizeHint() const
{
    return layout() ? layout()->minimumSize() : QAbstractButton::minimumSizeHint();
}

void DropZoneButton::paintEvent(QPaintEvent*)
{
    // Flat: nothing but an outline while focus came from the keyboard. The style's own focus frame would
    // tint the whole area, which is most of the window.
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), focusOutlineWidth));
    const qreal inset = focusOutlineWidth;
    painter.drawRoundedRect(
        QRectF(rect()).adjusted(inset, inset, -inset, -inset), focusOutlineRadius, focusOutlineRadius);
}

void DropZoneButton::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void DropZoneButton::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void DropZoneButton::dropEvent(QDropEvent* event)
{
    if (m_takeDrop(event->mimeData()->urls()))
        event->acceptProposedAction();
    else
        event->ignore();
}

bool DropZoneButton::hitButton(const QPoint& position) const
{
    return rect().contains(position);
}
