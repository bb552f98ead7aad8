// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LocationField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

LocationField::LocationField(const QString& placeholder, QWidget* parent)
    : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setReadOnly(true);
    // A drop belongs to the area around the field, not to the text in it.
    setAcceptDrops(false);
}

void LocationField::showLocation(const Location& location)
{
    const QString path = locationPath(location);
    if (text() == path)
        return;
    setText(path);
    setToolTip(path);
    // A long path shows its end, the item's own name; the whole path is in the tooltip.
    setCursorPosition(int(path.size()));
}

bool LocationField::event(QEvent* event)
{
    // A read-only field needs Ctrl only to select and copy; other Ctrl keys (Ctrl+E, which a line edit takes for
    // "end of line") are the window's commands, as the menus promise.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers().testFlag(Qt::ControlModifier) && !key->matches(QKeySequence::Copy)
            && !key->matches(QKeySequence::SelectAll)) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void LocationField::mousePressEvent(QMouseEvent* event)
{
    m_pressPosition = event->position().toPoint();
    QLineEdit::mousePressEvent(event);
}

void LocationField::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    const bool dragged
        = (event->position().toPoint() - m_pressPosition).manhattanLength() >= QApplication::startDragDistance();
    if (event->button() == Qt::LeftButton && !dragged && !hasSelectedText())
        Q_EMIT clicked();
}
