// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/MenuBar.h"
#include "common/BundleInfo.h"
#include "model/ExportModel.h"
#include "views/HelpView.h"
#include "views/MainView.h"

#include <QApplication>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

const QString warningSign = QStringLiteral("\u26A0\uFE0F");

Bundle bundleNamed(const QJsonValue& name)
{
    QJsonObject dictionary { { QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.0.0") },
        { QStringLiteral("CFBundleVersion"), QStringLiteral("7") },
        { QStringLiteral("NSHumanReadableCopyright"), QStringLiteral("Copyright line") } };
    if (!name.isUndefined())
        dictionary.insert(QStringLiteral("CFBundleName"), name);
    return Bundle { dictionary };
}

// The texts of every item of every menu, menu titles first.
QStringList menuTexts(const QMenuBar& menuBar)
{
    QStringList texts;
    for (QAction* menuAction : menuBar.actions()) {
        texts << menuAction->text();
        if (QMenu* menu = menuAction->menu())
            for (QAction* item : menu->actions())
                if (!item->isSeparator())
                    texts << item->text();
    }
    return texts;
}

QAction* findItem(const QMenuBar& menuBar, const QString& text)
{
    for (QAction* menuAction : menuBar.actions())
        if (QMenu* menu = menuAction->menu())
            for (QAction* item : menu->actions())
                if (item->text() == text)
                    return item;
    return nullptr;
}

QStringList labelTexts(const QWidget& widget)
{
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

class TestAppWindows : public QObject {
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
        const auto window = [&] { return about ? delegate.aboutBoxWindow() : delegate.helpWindow(); };
        QVERIFY(!window());

        show();
        QPointer<QWidget> first = window();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->windowTitle(), about ? QStringLiteral("About Velbrook") : QStringLiteral("Help Velbrook"));
        QCOMPARE(first->minimumSize(), first->maximumSize());
        const QPoint position = first->pos();

        first->close();
        QCoreApplication::processEvents();
        QVERIFY(first);
        QVERIFY(!first->isVisible());

        show();
        QCOMPARE(window(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(first->pos(), position);

        first->showMinimized();
        show();
        QVERIFY(!(first->windowState() & Qt::WindowMinimized));
        QCOMPARE(window(), first.data());
    }

    void titlesWarnWhenTheNameIsMissing_data()
    {
        QTest::addColumn<QJsonValue>("name");
        QTest::newRow("no name") << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("a number") << QJsonValue(42);
    }
    void titlesWarnWhenTheNameIsMissing()
    {
        QFETCH(QJsonValue, name);
        const Bundle bundle = bundleNamed(name);
        AppDelegate delegate(bundle);
        delegate.showAboutWindow();
        delegate.showHelpWindow();
        QCOMPARE(delegate.aboutBoxWindow()->windowTitle(), QStringLiteral("About ") + warningSign);
        QCOMPARE(delegate.helpWindow()->windowTitle(), QStringLiteral("Help ") + warningSign);

        QMenuBar menuBar;
        buildMenus(menuBar, bundle, {}, {});
        const QStringList texts = menuTexts(menuBar);
        QVERIFY2(texts.contains(QStringLiteral("Help ") + warningSign), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("About ") + warningSign), qPrintable(texts.join(u'|')));
    }

    void menuItemsRunTheirCommands()
    {
        QStringList ran;
        const MenuCommands commands {
            .newWindow = [&] { ran << QStringLiteral("new"); },
            .closeWindow = [&] { ran << QStringLiteral("close"); },
            .quit = [&] { ran << QStringLiteral("quit"); },
            .showHelp = [&] { ran << QStringLiteral("help"); },
            .showAbout = [&] { ran << QStringLiteral("about"); },
        };
        QMenuBar menuBar;
        buildMenus(menuBar, bundleNamed(QStringLiteral("Velbrook")), commands, {});

        const struct {
            const char* text;
            const char* command;
            QKeySequence shortcut;
        } items[] = {
            { "New Window", "new", QKeySequence(Qt::CTRL | Qt::Key_N) },
            { "Close Window", "close", QKeySequence(Qt::CTRL | Qt::Key_W) },
            { "Quit", "quit", QKeySequence(Qt::CTRL | Qt::Key_Q) },
            { "Help Velbrook", "help", QKeySequence(Qt::Key_F1) },
            { "About Velbrook", "about", QKeySequence() },
        };
        for (const auto& item : items) {
            QAction* action = findItem(menuBar, QString::fromLatin1(item.text));
            QVERIFY2(action, item.text);
            QCOMPARE(action->shortcut(), item.shortcut);
            ran.clear();
            action->trigger();
            QCOMPARE(ran, QStringList { QString::fromLatin1(item.command) });
        }
    }

    void helpListsTheShortcutsTheMainWindowUses()
    {
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        HelpView help;
        const QStringList texts = labelTexts(help);
        QVERIFY(!view.actions().isEmpty());
        for (const QAction* action : view.actions()) {
            QVERIFY2(!action->shortcut().isEmpty(), qPrintable(action->text()));
            QVERIFY2(
                texts.contains(action->shortcut().toString(QKeySequence::NativeText)), qPrintable(texts.join(u'|')));
        }
    }

    // Last, because it runs the application's event loop until the application quits.
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
        QTimer stillRunning;
        stillRunning.setSingleShot(true);
        connect(&stillRunning, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        stillRunning.start(5000);
        const int exitCode = QApplication::exec();
        stillRunning.stop();
        QCOMPARE(exitCode, 0);
    }
};

QTEST_MAIN(TestAppWindows)
#include "test_app_windows.moc"
