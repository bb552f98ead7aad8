// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QLineEdit>

// Shows a chosen location as its plain path; only the choosers change it, so it is never editable.
class LocationField : public QLineEdit {
    Q_OBJECT

public:
    explicit LocationField(const QString& placeholder, QWidget* parent = nullptr);

    void showLocation(const Location& location);
};
