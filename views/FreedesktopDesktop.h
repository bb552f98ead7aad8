// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/Desktop.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <map>

// The desktop reached over the session bus (the file manager's ShowItems, the notification service, and the
// launcher entry that docks and task managers read, each without waiting, so a slow or missing service never holds
// up the window) and through Qt's accessibility events.
class FreedesktopDesktop final : public QObject, public Desktop {
    Q_OBJECT

public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `openUrl` opens the folder when the file manager cannot show the item, or there is no bus.
    explicit FreedesktopDesktop(
        QDBusConnection bus = QDBusConnection::sessionBus(), UrlOpener openUrl = defaultUrlOpener());
    // Takes away any progress it left on the launcher entry.
    ~FreedesktopDesktop() override;

    void showInFolder(const QString& path, std::function<void()> couldNotShow) override;
    void notify(const QString& summary, const QString& body, const QString& image, QWidget& window) override;
    void showProgress(std::optional<double> fraction) override;
    void announce(QWidget& notice) override;

private Q_SLOTS:
    // The notification service's signals, which QtDBus delivers only to slots.
    void notificationActionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);
    // Sent before the action of a click: the compositor's leave to raise a window for it.
    void notificationActivationToken(uint id, const QString& token);

private:
    struct SentNotification {
        QString image;
        QPointer<QWidget> window;
        QString activationToken;
    };

    [[nodiscard]] static UrlOpener defaultUrlOpener();
    void listenToNotifications();

    QDBusConnection m_bus;
    UrlOpener m_openUrl;
    bool m_listening = false;
    std::map<uint, SentNotification> m_notifications;
    std::optional<double> m_shownProgress;
};
