// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The main window's commands and their shortcuts.
class HelpView : public QWidget {
    Q_OBJECT

public:
    explicit HelpView(QWidget* parent = nullptr);
};
