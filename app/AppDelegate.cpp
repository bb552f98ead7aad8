// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "views/AboutView.h"
#include "views/HelpView.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

namespace {

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace

QString applicationName(const Bundle& bundle)
{
    return bundleInfoString(bundle, QStringLiteral("CFBundleName"));
}

QString aboutTitle(const Bundle& bundle)
{
    return QCoreApplication::translate("AppDelegate", "About %1").arg(applicationName(bundle));
}

QString helpTitle(const Bundle& bundle)
{
    return QCoreApplication::translate("AppDelegate", "Help %1").arg(applicationName(bundle));
}

AppDelegate::AppDelegate(Bundle bundle)
    : m_bundle(std::move(bundle))
{ }

AppDelegate::~AppDelegate() = default;

void AppDelegate::showAboutWindow()
{
    presentWindow(
        aboutBoxWindowController, aboutTitle(m_bundle), [this] { return std::make_unique<AboutView>(m_bundle); });
}

void AppDelegate::showHelpWindow()
{
    presentWindow(helpWindowController, helpTitle(m_bundle), [] { return std::make_unique<HelpView>(); });
}

void AppDelegate::presentWindow(std::unique_ptr<QWidget>& slot, const QString& title, const WindowFactory& makeContent)
{
    if (!slot) {
        slot = makeContent();
        QWidget& window = *slot;
        window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowMinimizeButtonHint);
        window.setWindowTitle(title);
        // Closing only hides it; and an open About window alone must not keep the application running.
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.setAttribute(Qt::WA_QuitOnClose, false);
        window.setFixedSize(window.sizeHint().expandedTo(window.minimumSize()));
        // Closed by the keys that close any dialog: Escape, and Ctrl+W (Command-W on macOS).
        for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) })
            new QShortcut(keys, &window, &window, &QWidget::close);
        centreOnScreen(window);
    }
    QWidget& window = *slot;
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}
