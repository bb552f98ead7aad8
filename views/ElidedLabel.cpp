// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ElidedLabel.h"

#include "views/KeyboardFocus.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTextLayout>
#include <algorithm>

namespace {
constexpr int lineCount = 2;
} // namespace

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

QSize ElidedLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return { fontMetrics().horizontalAdvance(m_fullText) + margins.left() + margins.right(),
        fontMetrics().lineSpacing() * lineCount + margins.top() + margins.bottom() };
}

QSize ElidedLabel::minimumSizeHint() const
{
    return { fontMetrics().horizontalAdvance(QStringLiteral("…")) * 4, sizeHint().height() };
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
    const int width = contentsRect().width();
    QString shown = m_fullText;
    if (width > 0 && fontMetrics().horizontalAdvance(m_fullText) > width) {
        // The first line breaks where the text would wrap; the rest, elided, is the second.
        QTextLayout layout(m_fullText, font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine first = layout.createLine();
        first.setLineWidth(width);
        layout.endLayout();
        const int cut = std::max(1, first.textLength());
        shown = m_fullText.left(cut).trimmed() + QLatin1Char('\n')
            + fontMetrics().elidedText(m_fullText.mid(cut).trimmed(), Qt::ElideMiddle, width);
    }
    if (text() != shown)
        setText(shown);
}
