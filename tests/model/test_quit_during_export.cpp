// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting while the image tool runs: the tool is stopped, the staging goes, no child is left behind.

#include "ExportTestKit.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <csignal>

using namespace ExportTestKit;

class QuitDuringExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quittingStopsTheToolAndRemovesTheStaging_data();
    void quittingStopsTheToolAndRemovesTheStaging();
    void runningExportKeepsTheEventLoopUntilItEnds();
};

void QuitDuringExportTest::quittingStopsTheToolAndRemovesTheStaging_data()
{
    QTest::addColumn<bool>("toolIgnoresTerminate");
    QTest::newRow("tool stops when asked") << false;
    QTest::newRow("tool has to be killed") << true;
}

void QuitDuringExportTest::quittingStopsTheToolAndRemovesTheStaging()
{
    QFETCH(bool, toolIgnoresTerminate);
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("Data/file")), "x");
    const QString pidFile = w.path(QStringLiteral("pid"));
    QStringList script { QStringLiteral("pid ") + pidFile,
        QStringLiteral("wait-for ") + w.path(QStringLiteral("never")) };
    if (toolIgnoresTerminate)
        script.prepend(QStringLiteral("ignore-term"));
    w.setToolScript(script);

    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("Data")), w.destinationPath());
    t.model->startExport();
    QTRY_VERIFY(!readFile(pidFile).isEmpty());
    const pid_t toolPid = readFile(pidFile).toInt();
    QVERIFY(toolPid > 0);
    QCOMPARE(w.leftovers().size(), 1);

    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();

    QCOMPARE(::kill(toolPid, 0), -1);
    QCOMPARE(errno, ESRCH);
    QVERIFY(w.leftovers().isEmpty());
    QVERIFY(QFile::exists(w.sourcePath(QStringLiteral("Data/file"))));
    QVERIFY(QDir(w.destinationPath()).isEmpty());
}

void QuitDuringExportTest::runningExportKeepsTheEventLoopUntilItEnds()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript({ QStringLiteral("sleep 300"), QStringLiteral("image 2048") });
    std::weak_ptr<ExportModel> model;
    {
        TestModel t;
        t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
        t.model->startExport();
        model = t.model;
    }

    // Nothing else holds the loop, as after the last window has closed: it ends when the export does.
    bool gaveUp = false;
    QTimer::singleShot(30000, QCoreApplication::instance(), [&gaveUp] {
        gaveUp = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    QVERIFY(!gaveUp);
    QCOMPARE(QFileInfo(w.destinationPath() + QStringLiteral("/a.iso")).size(), 2048);
    QVERIFY(w.leftovers().isEmpty());
}

QTEST_GUILESS_MAIN(QuitDuringExportTest)
#include "test_quit_during_export.moc"
