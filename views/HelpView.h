// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The main window's commands and their shortcuts.
class HelpView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize fixedSize { 300, 200 };

    explicit HelpView(QWidget* parent = nullptr);
};
