// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever kills the application mid-export, nothing stays behind: no job folder (after the next start, when it
// could not clean up itself), no image tool, no image.

#include "ExportTestKit.h"

#include <QProcess>
#include <QTest>

using namespace ExportTestKit;
using namespace Qt::StringLiterals;

class ExportKillsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedApplicationLeavesNothing_data();
    void killedApplicationLeavesNothing();
};

void ExportKillsTest::killedApplicationLeavesNothing_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("whileStaging");
    QTest::addColumn<bool>("toolIgnoresTerminate");
    for (const int signalNumber : { SIGTERM, SIGINT, SIGHUP, SIGKILL })
        for (const bool whileStaging : { true, false })
            QTest::addRow("%s while %s", sigabbrev_np(signalNumber), whileStaging ? "staging" : "imaging in place")
                << signalNumber << whileStaging << false;
    // A stuck tool is killed after a grace period.
    QTest::newRow("TERM while a stuck tool runs") << SIGTERM << false << true;
}

void ExportKillsTest::killedApplicationLeavesNothing()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, whileStaging);
    QFETCH(bool, toolIgnoresTerminate);
    Workspace w;
    writeFile(w.sourcePath(u"Data/file"_s), "x");
    const QString pidFile = w.path(u"tool-pid"_s);
    QStringList script { u"pid "_s + pidFile, u"wait-for "_s + w.path(u"never"_s), u"image 2048"_s };
    if (toolIgnoresTerminate)
        script.prepend(u"ignore-term"_s);
    w.setToolScript(script);

    QProcess driver;
    driver.start(QStringLiteral(EXPORT_DRIVER_PATH),
        QStringList { QStringLiteral(FAKE_TOOL_PATH), w.sourcePath(u"Data"_s), w.destinationPath() }
            << (whileStaging ? QStringList { w.path(u"never"_s) } : QStringList()));
    const QByteArray state = whileStaging ? "staged\n" : "running\n";
    QByteArray said;
    while (!said.contains(state) && driver.waitForReadyRead(15000))
        said += driver.readAllStandardOutput();
    QVERIFY(said.contains(state));
    if (!whileStaging)
        QTRY_VERIFY(!readFile(pidFile).isEmpty());
    // A job folder while staging; nothing outside the destination while the item is imaged in place.
    QCOMPARE(w.leftovers().size(), whileStaging ? 1 : 0);

    ::kill(pid_t(driver.processId()), signalNumber);
    QVERIFY(driver.waitForFinished(15000));
    // Caught signals end in an orderly quit; after a kill nothing could clean up, and the next start does.
    QCOMPARE(driver.exitStatus() == QProcess::NormalExit && driver.exitCode() == 0, signalNumber != SIGKILL);
    if (signalNumber == SIGKILL)
        QCOMPARE(QProcess::execute(QStringLiteral(EXPORT_DRIVER_PATH), { u"--sweep"_s }), 0);
    QVERIFY2(w.leftovers().isEmpty(), qPrintable(w.leftovers().join(QLatin1Char(' '))));
    if (!whileStaging)
        QTRY_VERIFY(processIsGone(pidFile));
    QVERIFY(w.destinationEntries().isEmpty());
    QCOMPARE(readFile(w.sourcePath(u"Data/file"_s)), QByteArray("x"));
}

QTEST_GUILESS_MAIN(ExportKillsTest)
#include "test_export_kills.moc"
