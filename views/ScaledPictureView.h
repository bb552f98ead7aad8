// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

// Shows a vector picture as large as its contents rectangle allows, aspect ratio kept, centred.
// Padding is the widget's contents margins plus a shrinkable padding (setShrinkablePadding) that gives way
// together with the picture when there is too little room. The picture is drawn afresh for each size, so it
// stays sharp.
class ScaledPictureView : public QWidget {
    Q_OBJECT

public:
    // Draws the picture into a pixmap of the given logical size and pixel ratio, centred, aspect kept.
    using Renderer = std::function<QPixmap(const QSize& size, qreal devicePixelRatio)>;

    explicit ScaledPictureView(QSize preferredSize, QWidget* parent = nullptr);

    // `key` names what `renderer` draws; the same key again keeps the drawing already made.
    void setPicture(const QString& key, Renderer renderer);
    [[nodiscard]] const QString& pictureKey() const { return m_key; }
    // Padding on every side while there is room for it and the preferred size; with less room the padding and
    // the picture shrink in proportion, down to `minimumSide` for the picture.
    void setShrinkablePadding(int padding, int minimumSide);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize m_preferredSize;
    int m_padding = 0;
    int m_minimumSide = 0;
    QString m_key;
    Renderer m_renderer;
    QPixmap m_cache;
};
