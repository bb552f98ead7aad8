// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ElidedLabel.h"

#include "views/KeyboardFocus.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text)
{
    if (m_fullText == text)
        return;
    m_fullText = text;
    setToolTip(text);
    setAccessibleName(text);
    updateShownText();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return { fontMetrics().horizontalAdvance(QStringLiteral("…")) * 4, QLabel::minimumSizeHint().height() };
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateShownText();
}

void ElidedLabel::keyPressEvent(QKeyEvent* event)
{
    // What is shown may be cut short; a copy always takes the whole reason.
    if (event->matches(QKeySequence::Copy) && text() != m_fullText) {
        QGuiApplication::clipboard()->setText(m_fullText);
        return;
    }
    QLabel::keyPressEvent(event);
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    paintFocusRing(*this, 3.0);
}

void ElidedLabel::updateShownText()
{
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, contentsRect().width());
    if (text() != shown)
        setText(shown);
}
