// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/FreedesktopDesktop.h"

#include <QAccessible>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QWidget>

namespace {
const QString desktopFileName = QStringLiteral("org.velbrook.Velbrook");
} // namespace

FreedesktopDesktop::FreedesktopDesktop(QDBusConnection bus, UrlOpener openUrl)
    : m_bus(std::move(bus))
    , m_openUrl(std::move(openUrl))
{ }

FreedesktopDesktop::UrlOpener FreedesktopDesktop::defaultUrlOpener()
{
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void FreedesktopDesktop::showInFolder(const QString& path)
{
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    if (!m_bus.isConnected()) {
        m_openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) } << QString();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call));
    // The opener is copied: the reply may come after this window has closed.
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [openUrl = m_openUrl, folder](QDBusPendingCallWatcher* finished) {
            if (finished->isError())
                openUrl(folder);
            finished->deleteLater();
        });
}

void FreedesktopDesktop::notify(const QString& summary, const QString& body)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    // The desktop entry lets the notification service show the app's own name and icon.
    const QVariantMap hints { { QStringLiteral("desktop-entry"), desktopFileName } };
    call << QGuiApplication::applicationDisplayName() << uint(0) << desktopFileName << summary << body << QStringList()
         << hints << int(-1);
    // No reply is awaited: without a service there is nothing else worth doing.
    m_bus.send(call);
}

void FreedesktopDesktop::announce(QWidget& line)
{
    // A changed name alone is read only for the focused control; an alert is read wherever it comes from.
    QAccessibleEvent nameChanged(&line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
    QAccessibleEvent alert(&line, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
