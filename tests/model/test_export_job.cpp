// SPDX-License-Identifier: GPL-3.0-or-later
// Whole exports through the fake image tool: what the tool is given, how its output steps the progress,
// and how every way of ending leaves the model and the disk.

#include "ExportTestKit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace ExportTestKit;

namespace {

QStringList recordedArguments(const QString& recordPath)
{
    QStringList arguments;
    for (const auto& line : QString::fromUtf8(readFile(recordPath)).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("arg ")))
            arguments.append(line.mid(4));
    return arguments;
}

// Each text its own chunk of output, a moment apart.
QStringList chunks(const QStringList& texts)
{
    QStringList lines;
    for (const QString& text : texts)
        lines << QStringLiteral("out ") + text << QStringLiteral("sleep 100");
    return lines;
}

bool processIsGone(const QString& pidFile)
{
    const pid_t pid = readFile(pidFile).toInt();
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

class ExportJobTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startNeedsBothLocations();
    void toolGetsSixArgumentsAndALinkedStagedCopy();
    void stepsStopBelowOneAndSuccessFillsExactly();
    void failureKeepsStepsAndEarlierSize();
    void everyFailureSaysWhy_data();
    void everyFailureSaysWhy();
    void cancelStopsStagingOrToolAndLeavesNothing_data();
    void cancelStopsStagingOrToolAndLeavesNothing();
    void exportOutlivesItsModelsOwnerAndHoldsTheLoop();
    void sameNamesAndLaterChoicesDoNotMix();
};

void ExportJobTest::startNeedsBothLocations()
{
    Workspace w;
    w.setToolScript({ QStringLiteral("record ") + w.path(QStringLiteral("record")) });
    TestModel onlySource;
    onlySource.chooser->sourceAnswer = { true, QUrl::fromLocalFile(w.sourcePath(QStringLiteral("a.txt"))) };
    onlySource.model->selectSource();
    QVERIFY(!onlySource.model->canStartExport() && !onlySource.model->showsProgress());
    onlySource.model->startExport();
    QVERIFY(!onlySource.model->stagingInProgress() && !onlySource.model->canCancelExport());
    QTest::qWait(200);
    QVERIFY(!QFile::exists(w.path(QStringLiteral("record"))));
}

void ExportJobTest::toolGetsSixArgumentsAndALinkedStagedCopy()
{
    Workspace w;
    const QString record = w.path(QStringLiteral("record"));
    const QString source = w.sourcePath(QStringLiteral("Installer.app"));
    writeFile(source + QStringLiteral("/Contents/Info.txt"), "info");
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(source + QStringLiteral("/socket")).constData(),
        sizeof(address.sun_path) - 1);
    QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(socketFd);
    const QByteArray before = fingerprint(source + QStringLiteral("/Contents/Info.txt"));
    w.setToolScript({ QStringLiteral("record ") + record, QStringLiteral("wait-for ") + w.path(QStringLiteral("go")),
        QStringLiteral("image 1") });

    TestModel t;
    t.choose(source, w.destinationPath());
    t.model->startExport();
    // Staging runs in the background: the start returns at once and the export cannot be started twice.
    QVERIFY(t.model->stagingInProgress());
    QVERIFY(!t.model->exportInProgress());
    QVERIFY(!t.model->canStartExport());
    QVERIFY(t.model->canCancelExport());
    QTRY_VERIFY(t.model->exportInProgress());
    QVERIFY(!t.model->stagingInProgress());
    QCOMPARE(t.model->progress(), 0.0);

    QTRY_VERIFY(readFile(record).contains("argc"));
    const QStringList arguments = recordedArguments(record);
    QCOMPARE(arguments,
        QStringList({ QStringLiteral("makehybrid"), QStringLiteral("-o"),
            w.destinationPath() + QStringLiteral("/Installer.iso"), arguments.value(3), QStringLiteral("-iso"),
            QStringLiteral("-joliet") }));

    // The staging folder keeps the base name (the volume name comes from it) and ordinary permissions (it is the
    // image's root), inside a private job folder in the temporary folder, which lies on the source's file system.
    const QFileInfo staging(arguments[3]);
    const QFileInfo jobFolder(staging.absolutePath());
    QCOMPARE(staging.fileName(), QStringLiteral("Installer"));
    QVERIFY(jobFolder.fileName().startsWith(QLatin1String("velbrook-job-")));
    QCOMPARE(jobFolder.absolutePath(), QFileInfo(w.tempPath()).canonicalFilePath());
    QCOMPARE(jobFolder.permissions() & 0x0777, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat stagingStatus { };
    QCOMPARE(::stat(QFile::encodeName(staging.filePath()).constData(), &stagingStatus), 0);
    QCOMPARE(stagingStatus.st_mode & 0777, 0777 & ~mask);
    // Same file system: the staged file is the source's own inode, not a second copy of its bytes.
    struct stat stagedFile { };
    struct stat sourceFile { };
    QCOMPARE(
        ::stat(QFile::encodeName(staging.filePath() + QStringLiteral("/Installer.app/Contents/Info.txt")), &stagedFile),
        0);
    QCOMPARE(::stat(QFile::encodeName(source + QStringLiteral("/Contents/Info.txt")), &sourceFile), 0);
    QCOMPARE(stagedFile.st_ino, sourceFile.st_ino);

    w.touch(QStringLiteral("go"));
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->leftOutCount(), 1); // the socket
    QTRY_VERIFY(w.leftovers().isEmpty());
    QCOMPARE(fingerprint(source + QStringLiteral("/Contents/Info.txt")), before);
}

void ExportJobTest::stepsStopBelowOneAndSuccessFillsExactly()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript(chunks(QStringList(12, QStringLiteral("working\\n"))) << QStringLiteral("image 3145728"));
    TestModel t;
    QList<double> values;
    QList<bool> animated;
    connect(t.model.get(), &ExportModel::progressChanged, this, [&](bool animate) {
        values << t.model->progress();
        animated << animate;
    });
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    t.model->startExport();
    QTRY_COMPARE_WITH_TIMEOUT(t.model->progress(), 1.0, 15000);

    // Ten steps of double additions, nothing for the eleventh and twelfth chunk, then exactly 1.0, animated.
    QCOMPARE(values,
        QList<double>({ 0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6, 0.7, 0.7999999999999999, 0.8999999999999999,
            0.9999999999999999, 1.0 }));
    QCOMPARE(animated.count(true), 1);
    QVERIFY(animated.last());
    QCOMPARE(t.model->isoFileSize(), 3145728);
    QCOMPARE(t.model->isoFileSizeInMegabytes(), 3);
    QCOMPARE(t.model->exportedImagePath(), w.destinationPath() + QStringLiteral("/a.iso"));
    // The export stays marked as running for a moment after the tool's end.
    QTest::qWait(300);
    QVERIFY(t.model->exportInProgress() && !t.model->canStartExport());
    waitUntilIdle(*t.model);
    QVERIFY(t.model->showsProgress() && t.model->canStartExport());
}

void ExportJobTest::failureKeepsStepsAndEarlierSize()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    w.setToolScript({ QStringLiteral("image 5000") });
    t.model->startExport();
    waitUntilIdle(*t.model);
    QFile::remove(w.destinationPath() + QStringLiteral("/a.iso"));

    // "é" split over two chunks steps nothing; an emoji in one piece and two plain chunks step three times.
    w.setToolScript(chunks({ QStringLiteral("ab\\xC3"), QStringLiteral("\\xA9\\n"),
                        QStringLiteral("\\xF0\\x9F\\x92\\xBF\\n"), QStringLiteral("x\\n"), QStringLiteral("y\\n") })
        << QStringLiteral("exit 1"));
    t.model->startExport();
    QTRY_VERIFY_WITH_TIMEOUT(t.model->lastExportFailure(), 15000);
    QVERIFY(t.model->exportInProgress()); // the end step still follows the tool's exit
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 0.30000000000000004);
    QCOMPARE(t.model->isoFileSize(), 5000);
    QVERIFY(!t.model->showsProgress());
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::everyFailureSaysWhy_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("reason");
    QTest::newRow("tool's own line") << "tool says"
                                     << "disk full";
    QTest::newRow("tool silent") << "tool exits 3"
                                 << "exit status 3";
    QTest::newRow("tool killed") << "tool killed"
                                 << "signal 9";
    QTest::newRow("tool missing") << "no tool"
                                  << "cannot start the image tool";
    QTest::newRow("image exists") << "image exists"
                                  << "a.iso already exists in ";
    QTest::newRow("destination gone") << "no destination"
                                      << "No such file or directory";
    QTest::newRow("destination is a file") << "destination is a file"
                                           << "is not a folder";
    QTest::newRow("source gone") << "no source"
                                 << "cannot open ";
    QTest::newRow("dangling link") << "dangling link"
                                   << "cannot follow the link";
    QTest::newRow("image name too long") << "long name"
                                         << "longer than 255 bytes";
}

void ExportJobTest::everyFailureSaysWhy()
{
    QFETCH(QString, road);
    QFETCH(QString, reason);
    Workspace w;
    QString source = w.sourcePath(QStringLiteral("a.txt"));
    QString destination = w.destinationPath();
    QString tool = QStringLiteral(FAKE_TOOL_PATH);
    QStringList script { QStringLiteral("image 2048") };
    if (road == QLatin1String("tool says"))
        script = { QStringLiteral("err velbrook-hdiutil: makehybrid failed - disk full\\n"), QStringLiteral("exit 1") };
    else if (road == QLatin1String("tool exits 3"))
        script = { QStringLiteral("exit 3") };
    else if (road == QLatin1String("tool killed"))
        script = { QStringLiteral("part"), QStringLiteral("signal 9") };
    else if (road == QLatin1String("no tool"))
        tool = w.path(QStringLiteral("no-such-tool"));
    else if (road == QLatin1String("image exists"))
        writeFile(destination + QStringLiteral("/a.iso"), "earlier");
    else if (road == QLatin1String("no destination"))
        destination = w.path(QStringLiteral("gone"));
    else if (road == QLatin1String("destination is a file"))
        writeFile(destination = w.path(QStringLiteral("plain-file")), "x");
    else if (road == QLatin1String("no source"))
        source = w.sourcePath(QStringLiteral("gone.txt"));
    else if (road == QLatin1String("dangling link"))
        QVERIFY(QFile::link(w.path(QStringLiteral("nowhere")), source = w.sourcePath(QStringLiteral("link"))));
    else if (road == QLatin1String("long name"))
        source = w.sourcePath(QString(253, QLatin1Char('n')));
    if (!QFileInfo::exists(source) && road != QLatin1String("no source") && road != QLatin1String("dangling link"))
        writeFile(source, "a");
    w.setToolScript(script);
    const QStringList destinationBefore = w.destinationEntries();
    const QByteArray sourceBefore = fingerprint(source);

    TestModel t(tool);
    t.choose(source, destination);
    t.model->startExport();
    waitUntilIdle(*t.model);
    QVERIFY2(t.failureReason().contains(reason), qPrintable(t.failureReason()));
    QVERIFY(!t.model->lastExportFailure()->cancelled);
    QVERIFY(t.model->progress() < 1.0);
    QCOMPARE(t.model->isoFileSize(), 0);
    QTRY_VERIFY(w.leftovers().isEmpty());
    QCOMPARE(w.destinationEntries(), destinationBefore);
    QCOMPARE(fingerprint(source), sourceBefore);

    // A new start forgets the old reason.
    w.setToolScript({ QStringLiteral("wait-for ") + w.path(QStringLiteral("go")) });
    t.model->startExport();
    QVERIFY(!t.model->lastExportFailure());
    t.model->cancelExport();
}

void ExportJobTest::cancelStopsStagingOrToolAndLeavesNothing_data()
{
    QTest::addColumn<bool>("duringStaging");
    QTest::newRow("while staging") << true;
    QTest::newRow("while the tool runs") << false;
}

void ExportJobTest::cancelStopsStagingOrToolAndLeavesNothing()
{
    QFETCH(bool, duringStaging);
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("Data/file")), "x");
    const QByteArray before = fingerprint(w.sourcePath(QStringLiteral("Data/file")));
    const QString pidFile = w.path(QStringLiteral("pid"));
    w.setToolScript(
        { QStringLiteral("pid ") + pidFile, QStringLiteral("wait-for ") + w.path(QStringLiteral("never")) });
    HeldStaging held;
    if (!duringStaging)
        held.release();

    TestModel t(QStringLiteral(FAKE_TOOL_PATH), held.step());
    t.choose(w.sourcePath(QStringLiteral("Data")), w.destinationPath());
    t.model->startExport();
    if (duringStaging) {
        // Staging is held up, yet the event loop runs: the main thread is not the one waiting.
        bool ticked = false;
        QTimer::singleShot(0, t.model.get(), [&ticked] { ticked = true; });
        QTRY_VERIFY(ticked);
        QVERIFY(t.model->stagingInProgress());
    } else {
        QTRY_VERIFY(!readFile(pidFile).isEmpty());
    }

    t.model->cancelExport();
    // At once, without the end step that follows a tool's exit.
    QVERIFY(!t.model->stagingInProgress());
    QVERIFY(!t.model->exportInProgress());
    QVERIFY(t.model->canStartExport());
    QVERIFY(t.model->lastExportFailure() && t.model->lastExportFailure()->cancelled);
    QTRY_VERIFY(w.leftovers().isEmpty());
    if (duringStaging)
        QVERIFY(!QFile::exists(pidFile));
    else
        QTRY_VERIFY(processIsGone(pidFile));
    QVERIFY(w.destinationEntries().isEmpty());
    QCOMPARE(fingerprint(w.sourcePath(QStringLiteral("Data/file"))), before);
}

void ExportJobTest::exportOutlivesItsModelsOwnerAndHoldsTheLoop()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript({ QStringLiteral("sleep 300"), QStringLiteral("image 2048") });
    std::weak_ptr<ExportModel> survivor;
    {
        TestModel t;
        t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
        t.model->startExport();
        survivor = t.model;
    }
    QVERIFY(!survivor.expired());

    // Nothing else holds the loop, as after the last window has closed: it ends when the export does.
    bool gaveUp = false;
    QTimer::singleShot(30000, QCoreApplication::instance(), [&gaveUp] {
        gaveUp = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    QVERIFY(!gaveUp);
    QTRY_VERIFY(survivor.expired()); // once the end step has run
    QCOMPARE(QFileInfo(w.destinationPath() + QStringLiteral("/a.iso")).size(), 2048);
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::sameNamesAndLaterChoicesDoNotMix()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("one/Data/file")), "first");
    writeFile(w.sourcePath(QStringLiteral("two/Data/file")), "second");
    writeFile(w.sourcePath(QStringLiteral("later.txt")), "later");
    QDir().mkpath(w.path(QStringLiteral("elsewhere")));
    w.setToolScript({ QStringLiteral("wait-for ") + w.path(QStringLiteral("go")), QStringLiteral("image-of-staging") });

    // Two windows export sources of the same name into two folders, and one of them picks new locations meanwhile.
    TestModel first;
    TestModel second;
    first.choose(w.sourcePath(QStringLiteral("one/Data")), w.destinationPath());
    second.choose(w.sourcePath(QStringLiteral("two/Data")), w.path(QStringLiteral("elsewhere")));
    first.model->startExport();
    second.model->startExport();
    first.choose(w.sourcePath(QStringLiteral("later.txt")), w.path(QStringLiteral("elsewhere")));
    QVERIFY(!first.model->canStartExport());
    QTRY_VERIFY(first.model->exportInProgress() && second.model->exportInProgress());
    w.touch(QStringLiteral("go"));
    waitUntilIdle(*first.model);
    waitUntilIdle(*second.model);

    QCOMPARE(w.destinationEntries(), QStringList { QStringLiteral("Data.iso") });
    QCOMPARE(readFile(w.destinationPath() + QStringLiteral("/Data.iso")),
        QByteArray("file Data/file = first\nfolder Data\n"));
    QCOMPARE(
        readFile(w.path(QStringLiteral("elsewhere/Data.iso"))), QByteArray("file Data/file = second\nfolder Data\n"));
    QTRY_VERIFY(w.leftovers().isEmpty());
}

QTEST_GUILESS_MAIN(ExportJobTest)
#include "test_export_job.moc"
