// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// What a main window asks of the desktop around it: the file manager, the notification service, the dock or task
// manager, and assistive technologies. An interface, so tests can stand in for all of them.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Opens the file manager on the folder holding `path`, with `path` selected where the file manager can; calls
    // `couldNotShow`, perhaps later, when nothing could show that folder.
    virtual void showInFolder(const QString& path, std::function<void()> couldNotShow) = 0;
    // Tells the user about an export's end that happened while they were elsewhere; nothing without a notification
    // service. A click on the notification brings `window` back; with an `image`, the notification also offers to
    // show it in its folder.
    virtual void notify(const QString& summary, const QString& body, const QString& image, QWidget& window) = 0;
    // Shows how far an export has got (0 to 1) on the application's entry in the dock or task manager; no
    // fraction takes it away.
    virtual void showProgress(std::optional<double> fraction) = 0;
    // Has assistive technologies read out `notice`, which stayed on screen and now holds news the user awaits.
    virtual void announce(QWidget& notice) = 0;
};
