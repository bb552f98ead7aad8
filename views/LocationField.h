// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QLineEdit>

// Shows a chosen location as its plain path. Only the choosers change it, so it is read-only; but it stays
// enabled, so the path reads in the normal text colour and can be reached, selected and copied.
class LocationField : public QLineEdit {
    Q_OBJECT

public:
    explicit LocationField(const QString& placeholder, QWidget* parent = nullptr);

    void showLocation(const Location& location);

Q_SIGNALS:
    // A plain click that selected nothing, for a field that stands for a button around it.
    void clicked();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint m_pressPosition;
};
