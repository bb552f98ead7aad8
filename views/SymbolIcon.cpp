// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SymbolIcon.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <initializer_list>

// Outside any namespace, as the macro requires; the static library's resources are otherwise never registered
// when the app is built with the qrc rather than the target form of qt_add_resources.
static void registerIconResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

QByteArray readSvg(const QString& name)
{
    // A name is a file stem, never a path: keeps lookups inside the icon resources.
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    registerIconResources();
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray recoloured(QByteArray svg, const QColor& color)
{
    // QtSvg resolves currentColor to black unless told otherwise, so the colour is written into the text;
    // alpha is applied to the finished drawing because SVG Tiny colours carry none.
    return svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
}

QPixmap render(const QByteArray& svg, const QSize& size, qreal devicePixelRatio, qreal opacity)
{
    if (svg.isEmpty() || size.isEmpty() || !(devicePixelRatio > 0))
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPixmap pixmap(QSize(qRound(size.width() * devicePixelRatio), qRound(size.height() * devicePixelRatio)));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    if (opacity < 1.0) {
        // Fading the finished drawing, not each shape, so overlapping strokes do not come out darker.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), QColor(0, 0, 0, qRound(opacity * 255)));
    }
    return pixmap;
}

// Pre-rendered at each pixel size QIcon is likely to ask for, so it picks an exact match instead of scaling;
// QIcon requests device pixels, hence ratio 1 here.
QIcon iconFrom(const QByteArray& svg, qreal opacity, std::initializer_list<int> pixelSizes)
{
    if (svg.isEmpty() || !QSvgRenderer(svg).isValid())
        return {};
    QIcon icon;
    for (const int side : pixelSizes)
        icon.addPixmap(render(svg, QSize(side, side), 1.0, opacity));
    return icon;
}

} // namespace

QIcon symbolIcon(const QString& symbolName, const QColor& color)
{
    const QByteArray svg = readSvg(symbolName);
    if (svg.isEmpty())
        return {};
    return iconFrom(recoloured(svg, color), color.alphaF(), { 16, 20, 24, 32, 40, 48, 64, 96, 128 });
}

QPixmap symbolPixmap(const QString& symbolName, const QColor& color, const QSize& size, qreal devicePixelRatio)
{
    const QByteArray svg = readSvg(symbolName);
    if (svg.isEmpty())
        return {};
    return render(recoloured(svg, color), size, devicePixelRatio, color.alphaF());
}

QIcon artworkIcon(const QString& name)
{
    return iconFrom(readSvg(name), 1.0, { 16, 24, 32, 48, 64, 128, 256, 512 });
}

QPixmap artworkPixmap(const QString& name, const QSize& size, qreal devicePixelRatio)
{
    return render(readSvg(name), size, devicePixelRatio, 1.0);
}
