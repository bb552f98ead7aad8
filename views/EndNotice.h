// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The part of the window that says how the last export ended. Assistive technologies meet it as a
// notification, the one kind of object screen readers read out when it appears wherever the focus is; its
// accessible name is the whole news.
class EndNotice : public QWidget {
    Q_OBJECT

public:
    explicit EndNotice(QWidget* parent = nullptr);
};
