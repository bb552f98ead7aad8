// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

struct Bundle;

// Name, web address, version and copyright, read from the information dictionary.
class AboutView : public QWidget {
    Q_OBJECT

public:
    explicit AboutView(const Bundle& bundle, QWidget* parent = nullptr);

    // Where the web link leads; its visible text is the address itself.
    [[nodiscard]] static QUrl webAddress();
};
