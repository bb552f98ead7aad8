// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// What a main window asks of the desktop around it: the file manager, the notification service and assistive
// technologies. An interface, so tests can stand in for all three.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Opens the file manager on the folder holding `path`, with `path` selected where the file manager can.
    virtual void showInFolder(const QString& path) = 0;
    // Tells the user about something that happened while they were elsewhere; nothing without a notification
    // service.
    virtual void notify(const QString& summary, const QString& body) = 0;
    // Has assistive technologies read out `line`, whose text has just changed to news the user awaits.
    virtual void announce(QWidget& line) = 0;
};
