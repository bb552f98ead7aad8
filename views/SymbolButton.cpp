// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SymbolButton.h"

#include "views/KeyboardFocus.h"
#include "views/SymbolIcon.h"

#include <QEvent>
#include <QKeyEvent>

namespace {
constexpr int symbolSide = 24;
} // namespace

SymbolButton::SymbolButton(const QString& symbolName, const Command& command, QWidget* parent)
    : QToolButton(parent)
    , m_symbolName(symbolName)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(symbolSide, symbolSide));
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(toolTipText(command));
    setAccessibleName(command.title);
    updateIcon();
}

void SymbolButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        updateIcon();
}

void SymbolButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    paintFocusRing(*this);
}

void SymbolButton::keyPressEvent(QKeyEvent* event)
{
    if (!pressOnReturn(*this, *event))
        QToolButton::keyPressEvent(event);
}

void SymbolButton::updateIcon()
{
    const QPalette& colors = palette();
    QIcon icon = symbolIcon(m_symbolName, colors.color(QPalette::Normal, QPalette::ButtonText));
    // The style's generated disabled look is a washed-out grey that vanishes on dark palettes.
    const QColor disabled = colors.color(QPalette::Disabled, QPalette::ButtonText);
    for (const qreal ratio : { 1.0, 2.0 })
        icon.addPixmap(symbolPixmap(m_symbolName, disabled, iconSize(), ratio), QIcon::Disabled);
    setIcon(icon);
}
