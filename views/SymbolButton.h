// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/Commands.h"

#include <QToolButton>

// A flat, icon-only button for one command: its symbol follows the palette, its tooltip names the command
// and its shortcut, and the shortcut presses it only while it is enabled.
class SymbolButton : public QToolButton {
    Q_OBJECT

public:
    SymbolButton(const QString& symbolName, const Command& command, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateIcon();

    QString m_symbolName;
};
