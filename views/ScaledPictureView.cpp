// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ScaledPictureView.h"

#include <QPainter>

ScaledPictureView::ScaledPictureView(QSize preferredSize, QWidget* parent)
    : QWidget(parent)
    , m_preferredSize(preferredSize)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScaledPictureView::setPicture(const QString& key, Renderer renderer)
{
    if (key == m_key && m_renderer)
        return;
    m_key = key;
    m_renderer = std::move(renderer);
    m_cache = {};
    update();
}

QSize ScaledPictureView::sizeHint() const
{
    return m_preferredSize.grownBy(contentsMargins());
}

QSize ScaledPictureView::minimumSizeHint() const
{
    return QSize(0, 0).grownBy(contentsMargins());
}

void ScaledPictureView::paintEvent(QPaintEvent*)
{
    const QRect area = contentsRect();
    if (!m_renderer || area.isEmpty())
        return;
    // The pictures are square or nearly so; a square keeps the pixmap small in a wide area.
    const int side = qMin(area.width(), area.height());
    const QSize size(side, side);
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.deviceIndependentSize().toSize() != size || m_cache.devicePixelRatio() != ratio)
        m_cache = m_renderer(size, ratio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(area.center());
    QPainter painter(this);
    painter.drawPixmap(target.topLeft(), m_cache);
}
