// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/Desktop.h"

#include <QDBusConnection>
#include <QUrl>
#include <functional>

// The desktop reached over the session bus (the file manager's ShowItems and the notification service, each
// called without waiting, so a slow or missing service never holds up the window) and through Qt's
// accessibility events.
class FreedesktopDesktop final : public Desktop {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `openUrl` opens the folder when the file manager cannot show the item, or there is no bus.
    explicit FreedesktopDesktop(
        QDBusConnection bus = QDBusConnection::sessionBus(), UrlOpener openUrl = defaultUrlOpener());

    void showInFolder(const QString& path) override;
    void notify(const QString& summary, const QString& body) override;
    void announce(QWidget& line) override;

private:
    [[nodiscard]] static UrlOpener defaultUrlOpener();

    QDBusConnection m_bus;
    UrlOpener m_openUrl;
};
