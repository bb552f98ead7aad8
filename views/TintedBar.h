// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A full-width strip of fixed height, shaded grey over whatever the window background is.
class TintedBar : public QWidget {
    Q_OBJECT

public:
    explicit TintedBar(int height, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
