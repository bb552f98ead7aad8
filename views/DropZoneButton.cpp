// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DropZoneButton.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMimeData>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

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
    // Flat: nothing but the focus frame, so keyboard users can see where they are.
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
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
