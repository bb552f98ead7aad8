// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// Line symbols from :/icons/<name>.svg, drawn in the given colour so they follow the palette.
// An unknown name gives a null icon or pixmap.
[[nodiscard]] QIcon symbolIcon(const QString& symbolName, const QColor& color);
[[nodiscard]] QPixmap symbolPixmap(
    const QString& symbolName, const QColor& color, const QSize& size, qreal devicePixelRatio);

// Colourful artwork ("isoDiscIcon", "velbrook"), drawn as authored.
[[nodiscard]] QIcon artworkIcon(const QString& name);
[[nodiscard]] QPixmap artworkPixmap(const QString& name, const QSize& size, qreal devicePixelRatio);
