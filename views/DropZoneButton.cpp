// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DropZoneButton.h"

#include "intake/SourceIntake.h"
#include "views/KeyboardFocus.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMimeData>
#include <algorithm>

namespace {
// Only local files can be a source; a drag of web links or of text would only be refused at the drop.
[[nodiscard]] bool carriesLocalFile(const QMimeData& data)
{
    const QList<QUrl> urls = data.urls();
    return std::ranges::any_of(urls, [](const QUrl& url) { return !localItemPath(url).isEmpty(); });
}
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
    // Flat: nothing but the focus ring. The style's own focus frame would tint the whole area, which is most of
    // the window.
    paintFocusRing(*this);
}

void DropZoneButton::keyPressEvent(QKeyEvent* event)
{
    if (!pressOnReturn(*this, *event))
        QAbstractButton::keyPressEvent(event);
}

void DropZoneButton::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesLocalFile(*event->mimeData()))
        event->acceptProposedAction();
}

void DropZoneButton::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesLocalFile(*event->mimeData()))
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
