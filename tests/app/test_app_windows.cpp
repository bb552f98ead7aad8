// SPDX-License-Identifier: GPL-3.0-or-later
// The application around the main windows: its menus and its About and Help windows.

#include "app/AppDelegate.h"
#include "app/MenuBar.h"
#include "model/ExportModel.h"
#include "views/HelpView.h"
#include "views/MainView.h"

#include <QApplication>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

Bundle bundleNamed(const QString& name)
{
    return Bundle { QJsonObject { { QStringLiteral("CFBundleName"), name } } };
}

QWidget* windowTitled(const QString& title)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowTitle() == title)
            return widget;
    return nullptr;
}

} // namespace

class AppWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aboutAndHelpAreMadeOnceAndShownAgain_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("about") << true;
        QTest::newRow("help") << false;
    }
    void aboutAndHelpAreMadeOnceAndShownAgain()
    {
        QFETCH(bool, about);
        AppDelegate delegate(bundleNamed(QStringLiteral("Velbrook")));
        const auto show = [&] { about ? delegate.showAboutWindow() : delegate.showHelpWindow(); };
        const QString title = about ? QStringLiteral("About Velbrook") : QStringLiteral("Help Velbrook");
        QVERIFY(!windowTitled(title));
        show();
        QPointer<QWidget> first = windowTitled(title);
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->minimumSize(), first->maximumSize());
        const QPoint position = first->pos();

        first->close();
        QCoreApplication::processEvents();
        QVERIFY(first && !first->isVisible());
        show();
        QCOMPARE(windowTitled(title), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(first->pos(), position);

        first->showMinimized();
        show();
        QVERIFY(!(first->windowState() & Qt::WindowMinimized));
    }

    void titlesWarnWhenTheNameIsMissing()
    {
        AppDelegate delegate(Bundle {});
        delegate.showAboutWindow();
        delegate.showHelpWindow();
        QVERIFY(windowTitled(QStringLiteral("About \u26A0\uFE0F")));
        QVERIFY(windowTitled(QStringLiteral("Help \u26A0\uFE0F")));
    }

    void eachMenuItemRunsItsOwnCommandAndShortcut()
    {
        QStringList ran;
        const auto note = [&ran](const char* name) { return [&ran, name] { ran << QLatin1String(name); }; };
        const MenuCommands commands { note("new"), note("close"), note("quit"), note("help"), note("about") };
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        QMenuBar menuBar;
        buildMenus(menuBar, Bundle {}, commands, view.actions());

        QList<QKeySequence> shortcuts;
        for (QAction* menu : menuBar.actions())
            for (QAction* item : menu->menu()->actions()) {
                if (item->isSeparator() || view.actions().contains(item))
                    continue;
                const qsizetype before = ran.size();
                item->trigger();
                QCOMPARE(ran.size(), before + 1);
                if (!item->shortcut().isEmpty())
                    shortcuts << item->shortcut();
            }
        ran.sort();
        QCOMPARE(ran, QStringList({ "about", "close", "help", "new", "quit" }));
        for (const QAction* action : view.actions())
            shortcuts << action->shortcut();
        QCOMPARE(QSet<QKeySequence>(shortcuts.begin(), shortcuts.end()).size(), shortcuts.size());
    }

    void helpListsTheShortcutsTheMainWindowUses()
    {
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        HelpView help;
        QStringList texts;
        for (const QLabel* label : help.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(!view.actions().isEmpty());
        for (const QAction* action : view.actions())
            QVERIFY2(
                !action->shortcut().isEmpty() && texts.contains(action->shortcut().toString(QKeySequence::NativeText)),
                qPrintable(action->text()));
    }

    // Last, because it runs the application's event loop until the application quits by itself.
    void anOpenAboutWindowDoesNotOutliveTheLastMainWindow()
    {
        QApplication::setQuitOnLastWindowClosed(true);
        AppDelegate delegate(bundleNamed(QStringLiteral("Velbrook")));
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
