// SPDX-License-Identifier: GPL-3.0-or-later
// The application around the main windows: its menus and its About and Help windows.

#include "app/AppDelegate.h"
#include "app/MenuBar.h"
#include "model/ExportModel.h"
#include "views/HelpView.h"
#include "views/MainView.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const Bundle velbrook { QJsonObject { { QStringLiteral("CFBundleName"), QStringLiteral("Velbrook") } } };

QWidget* windowTitled(const QString& title)
{
    const auto windows = QApplication::topLevelWidgets();
    const auto found = std::ranges::find(windows, title, &QWidget::windowTitle);
    return found == windows.end() ? nullptr : *found;
}

} // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aboutAndHelpAreMadeOnceAndShownAgain()
    {
        AppDelegate delegate(velbrook);
        for (const bool about : { true, false }) {
            const auto show = [&] { about ? delegate.showAboutWindow() : delegate.showHelpWindow(); };
            const QString title = about ? QStringLiteral("About Velbrook") : QStringLiteral("Help Velbrook");
            QVERIFY(!windowTitled(title));
            show();
            QPointer<QWidget> first = windowTitled(title);
            QVERIFY2(first && first->isVisible() && first->minimumSize() == first->maximumSize(), qPrintable(title));
            const QPoint position = first->pos();
            first->close();
            QCoreApplication::processEvents();
            show();
            QVERIFY2(first && windowTitled(title) == first && first->isVisible() && first->pos() == position,
                qPrintable(title));
            first->showMinimized();
            show();
            QVERIFY2(!(first->windowState() & Qt::WindowMinimized), qPrintable(title));
        }
        // Without a name, the titles say that something is wrong.
        AppDelegate nameless { Bundle {} };
        nameless.showAboutWindow();
        nameless.showHelpWindow();
        QVERIFY(
            windowTitled(QStringLiteral("About \u26A0\uFE0F")) && windowTitled(QStringLiteral("Help \u26A0\uFE0F")));
    }

    void eachMenuItemRunsItsOwnCommandAndHelpListsTheShortcuts()
    {
        QString ran;
        const auto note = [&ran](const char* name) { return [&ran, name] { ran += QLatin1String(name); }; };
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        QMenuBar menuBar;
        buildMenus(menuBar, Bundle {}, { note("new"), note("close"), note("quit"), note("help"), note("about") },
            view.actions());
        // The Help window lists each shortcut the main window uses.
        HelpView help;
        QStringList texts;
        for (const QLabel* label : help.findChildren<QLabel*>())
            texts << label->text();
        QList<QKeySequence> shortcuts;
        for (const QAction* action : view.actions()) {
            shortcuts << action->shortcut();
            QVERIFY2(
                !action->shortcut().isEmpty() && texts.contains(action->shortcut().toString(QKeySequence::NativeText)),
                qPrintable(action->text()));
        }
        // What each item that is not the view's own runs; every shortcut, the view's too, belongs to one item.
        QStringList commands;
        for (QAction* menu : menuBar.actions())
            for (QAction* item : menu->menu()->actions())
                if (!item->isSeparator() && !view.actions().contains(item)) {
                    ran.clear();
                    item->trigger();
                    commands << ran;
                    shortcuts << item->shortcut();
                }
        commands.sort();
        QCOMPARE(commands, QStringList({ "about", "close", "help", "new", "quit" }));
        shortcuts.removeAll(QKeySequence());
        QCOMPARE(QSet<QKeySequence>(shortcuts.begin(), shortcuts.end()).size(), shortcuts.size());
    }

    // Last, because it runs the application's event loop until the application quits by itself.
    void anOpenAboutWindowDoesNotOutliveTheLastMainWindow()
    {
        QApplication::setQuitOnLastWindowClosed(true);
        AppDelegate delegate(velbrook);
        auto* mainWindow = new QMainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
        delegate.showAboutWindow();
        delegate.showHelpWindow();
        QTimer::singleShot(0, mainWindow, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(AppWindowsTest)
#include "test_app_windows.moc"
