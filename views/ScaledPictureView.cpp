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

void ScaledPictureView::setShrinkablePadding(int padding, int minimumSide)
{
    m_padding = padding;
    m_minimumSide = minimumSide;
    updateGeometry();
    update();
}

QSize ScaledPictureView::sizeHint() const
{
    const QMargins padding(m_padding, m_padding, m_padding, m_padding);
    return m_preferredSize.grownBy(padding).grownBy(contentsMargins());
}

QSize ScaledPictureView::minimumSizeHint() const
{
    return QSize(m_minimumSide, m_minimumSide).grownBy(contentsMargins());
}

void ScaledPictureView::paintEvent(QPaintEvent*)
{
    const QRect area = contentsRect();
    if (!m_renderer || area.isEmpty())
        return;
    // The pictures are square or nearly so; a square keeps the pixmap small in a wide area.
    const int room = qMin(area.width(), area.height());
    const int preferredSide = qMin(m_preferredSize.width(), m_preferredSize.height());
    // With room to spare the padding stays whole and the picture takes the rest; with less, both shrink alike.
    const int side
        = m_padding == 0 ? room : qMax(room - 2 * m_padding, room * preferredSide / (preferredSide + 2 * m_padding));
    if (side <= 0)
        return;
    const QSize size(side, side);
    const qreal ratio = devicePixelRatioF();
    if (m_cache.isNull() || m_cache.deviceIndependentSize().toSize() != size || m_cache.devicePixelRatio() != ratio)
        m_cache = m_renderer(size, ratio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(area.center());
    QPainter painter(this);
    painter.drawPixmap(target.topLeft(), m_cache);
}
