// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/Commands.h"

#include <QToolButton>

// A flat, icon-only button for one command: its symbol follows the palette and its tooltip names the command
// and its shortcut. The shortcut itself belongs to the command's action (see pressesAction).
class SymbolButton : public QToolButton {
    Q_OBJECT

public:
    SymbolButton(const QString& symbolName, const Command& command, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateIcon();

    QString m_symbolName;
};
