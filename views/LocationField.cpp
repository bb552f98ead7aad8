// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LocationField.h"

LocationField::LocationField(const QString& placeholder, QWidget* parent)
    : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setReadOnly(true);
    setEnabled(false);
}

void LocationField::showLocation(const Location& location)
{
    const QString path = locationPath(location);
    if (text() != path)
        setText(path);
}
