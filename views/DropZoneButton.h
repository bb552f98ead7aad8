// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QList>
#include <QUrl>
#include <functional>

// A borderless button that holds other widgets in a layout and takes dropped local files.
// A click anywhere inside it, or Space, Return or Enter while it has focus, press it.
class DropZoneButton : public QAbstractButton {
    Q_OBJECT

public:
    // `takeDrop` answers whether a drop of these URLs is taken.
    explicit DropZoneButton(std::function<bool(const QList<QUrl>&)> takeDrop, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The whole area is the button, not only a painted face.
    [[nodiscard]] bool hitButton(const QPoint& position) const override;

private:
    std::function<bool(const QList<QUrl>&)> m_takeDrop;
};
