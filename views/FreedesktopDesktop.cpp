// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/FreedesktopDesktop.h"

#include <QAccessible>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

namespace {
const QString desktopFileName = QStringLiteral("org.velbrook.Velbrook");
const QString notificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
// The action a click on the notification itself invokes.
const QString defaultAction = QStringLiteral("default");
const QString showInFolderAction = QStringLiteral("show-in-folder");
} // namespace

FreedesktopDesktop::FreedesktopDesktop(QDBusConnection bus, UrlOpener openUrl)
    : m_bus(std::move(bus))
    , m_openUrl(std::move(openUrl))
{ }

FreedesktopDesktop::~FreedesktopDesktop()
{
    showProgress(std::nullopt);
}

FreedesktopDesktop::UrlOpener FreedesktopDesktop::defaultUrlOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void FreedesktopDesktop::showInFolder(const QString& path, std::function<void()> couldNotShow)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    const auto openFolder = [openUrl = m_openUrl, folder, couldNotShow = std::move(couldNotShow)] {
        if (!openUrl(folder) && couldNotShow)
            couldNotShow();
    };
    if (!m_bus.isConnected()) {
        openFolder();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) } << QString();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call));
    // The opener is copied: the reply may come after this window has closed.
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, watcher, [openFolder](QDBusPendingCallWatcher* finished) {
            if (finished->isError())
                openFolder();
            finished->deleteLater();
        });
}

void FreedesktopDesktop::notify(const QString& summary, const QString& body, const QString& image, QWidget& window)
{
    if (!m_bus.isConnected())
        return;
    listenToNotifications();
    QDBusMessage call = QDBusMessage::createMethodCall(
        notificationsService, notificationsPath, notificationsService, QStringLiteral("Notify"));
    QStringList actions { defaultAction, tr("Show Window") };
    if (!image.isEmpty())
        actions << showInFolderAction << tr("Show in Folder");
    // The desktop entry lets the notification service show the app's own name and icon.
    const QVariantMap hints { { QStringLiteral("desktop-entry"), desktopFileName } };
    call << QGuiApplication::applicationDisplayName() << uint(0) << desktopFileName << summary << body << actions
         << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, sent = SentNotification { image, &window, {} }](QDBusPendingCallWatcher* finished) {
            const QDBusPendingReply<uint> reply = *finished;
            // Without a service there is nothing else worth doing.
            if (reply.isValid())
                m_notifications[reply.value()] = sent;
            finished->deleteLater();
        });
}

void FreedesktopDesktop::listenToNotifications()
{
    if (m_listening)
        return;
    m_listening = true;
    m_bus.connect(notificationsService, notificationsPath, notificationsService, QStringLiteral("ActionInvoked"), this,
        SLOT(notificationActionInvoked(uint, QString)));
    m_bus.connect(notificationsService, notificationsPath, notificationsService, QStringLiteral("NotificationClosed"),
        this, SLOT(notificationClosed(uint, uint)));
    m_bus.connect(notificationsService, notificationsPath, notificationsService, QStringLiteral("ActivationToken"),
        this, SLOT(notificationActivationToken(uint, QString)));
}

void FreedesktopDesktop::notificationActivationToken(uint id, const QString& token)
{
    if (const auto sent = m_notifications.find(id); sent != m_notifications.end())
        sent->second.activationToken = token;
}

void FreedesktopDesktop::notificationActionInvoked(uint id, const QString& action)
{
    const auto sent = m_notifications.find(id);
    if (sent == m_notifications.end())
        return; // another application's, or one of ours already answered
    if (action == showInFolderAction)
        showInFolder(sent->second.image, {});
    else if (QWidget* window = sent->second.window; action == defaultAction && window) {
        // Wayland compositors raise a window only for a token from the user's click; Qt's Wayland plugin takes it
        // from the environment as the window asks to be activated.
        if (!sent->second.activationToken.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", sent->second.activationToken.toUtf8());
        window->show();
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
    }
}

void FreedesktopDesktop::notificationClosed(uint id, uint /*reason*/)
{
    m_notifications.erase(id);
}

void FreedesktopDesktop::showProgress(std::optional<double> fraction)
{
    if (!m_bus.isConnected() || fraction == m_shownProgress)
        return;
    m_shownProgress = fraction;
    // Docks and task managers match the entry to the application by its desktop file.
    QDBusMessage update = QDBusMessage::createSignal(QStringLiteral("/org/velbrook/Velbrook/LauncherEntry"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    update << QStringLiteral("application://%1.desktop").arg(desktopFileName)
           << QVariantMap { { QStringLiteral("progress"), fraction.value_or(0.0) },
                  { QStringLiteral("progress-visible"), fraction.has_value() } };
    m_bus.send(update);
}

void FreedesktopDesktop::announce(QWidget& notice)
{
    // Screen readers on the accessibility bus read a notification as it appears, so one already shown appears anew
    // (the accessibility library passes on only a change); an alert is what other platforms' readers take.
    for (const QAccessible::Event change : { QAccessible::ObjectHide, QAccessible::ObjectShow }) {
        QAccessibleEvent event(&notice, change);
        QAccessible::updateAccessibility(&event);
    }
    QAccessibleEvent alert(&notice, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
