// SPDX-License-Identifier: GPL-3.0-or-later
// Whole exports through the fake image tool: what the tool is given, how its output steps the progress,
// and how every way of ending leaves the model and the disk.

#include "ExportTestKit.h"
#include "model/StagingFolder.h"

#include <QFileInfo>
#include <QTest>
#include <sys/stat.h>

using namespace ExportTestKit;

namespace {

struct ProgressChange {
    double value;
    bool animated;
    bool inProgress;
};

// Every progress change, with whether the view should animate it and whether the export was running.
class ProgressLog {
public:
    explicit ProgressLog(ExportModel& model)
    {
        QObject::connect(&model, &ExportModel::progressChanged, &model, [this, &model](bool animated) {
            changes.append({ model.progress(), animated, model.exportInProgress() });
        });
    }
    QList<ProgressChange> changes;
};

QStringList recordedArguments(const QString& recordPath)
{
    QStringList arguments;
    for (const auto& line : QString::fromUtf8(readFile(recordPath)).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("arg ")))
            arguments.append(line.mid(4));
    return arguments;
}

QStringList chunks(int count, const QString& text = QStringLiteral("working\\n"))
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("out ") + text << QStringLiteral("sleep 100");
    return lines;
}

void waitUntilIdle(ExportModel& model)
{
    QTRY_VERIFY_WITH_TIMEOUT(!model.exportInProgress(), 15000);
}

} // namespace

class ExportJobTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshModelOffersNothing();
    void startNeedsBothLocations();
    void toolGetsSixArgumentsAndAPrivateStagedCopy();
    void imageIsNamedAfterTheBaseName_data();
    void imageIsNamedAfterTheBaseName();
    void stepsStopBelowOneAndSuccessFillsExactly();
    void oneChunkThenSuccessMeasuresTheImage();
    void failureKeepsStepsAndEarlierSize();
    void toolKilledBySignalIsAFailure();
    void chunksCutInsideACharacterStepNothing();
    void failedLaunchLeavesNoStagingBehind();
    void failedCopyChangesNothingAndLeavesNoStaging();
    void modelOutlivesItsOwnerWhileTheToolRuns();
    void twoModelsExportSameNamedSourcesAtOnce();
    void newChoicesDuringAnExportDoNotAffectIt();
    void stagingRefusesNamesThatAreNoFolder_data();
    void stagingRefusesNamesThatAreNoFolder();
};

void ExportJobTest::freshModelOffersNothing()
{
    TestModel t;
    QVERIFY(!t.model->selectedSourceURL());
    QVERIFY(!t.model->selectedDestinationURL());
    QVERIFY(!t.model->canStartExport());
    QVERIFY(!t.model->showsProgress());
    QCOMPARE(t.model->isoFileSize(), 0);
}

void ExportJobTest::startNeedsBothLocations()
{
    Workspace w;
    w.setToolScript({ QStringLiteral("record ") + w.path(QStringLiteral("record")) });
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");

    TestModel onlySource;
    onlySource.chooser->sourceAnswer = { true, QUrl::fromLocalFile(w.sourcePath(QStringLiteral("a.txt"))) };
    onlySource.model->selectSource();
    TestModel onlyDestination;
    onlyDestination.chooser->destinationAnswer = { true, QUrl::fromLocalFile(w.destinationPath()) };
    onlyDestination.model->selectDestination();

    for (auto* model : { onlySource.model.get(), onlyDestination.model.get() }) {
        QVERIFY(!model->canStartExport());
        QSignalSpy inProgress(model, &ExportModel::exportInProgressChanged);
        model->startExport();
        QVERIFY(!model->exportInProgress());
        QCOMPARE(inProgress.count(), 0);
    }
    QTest::qWait(200);
    QVERIFY(!QFile::exists(w.path(QStringLiteral("record"))));
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::toolGetsSixArgumentsAndAPrivateStagedCopy()
{
    Workspace w;
    const QString record = w.path(QStringLiteral("record"));
    const QString source = w.sourcePath(QStringLiteral("Installer.app"));
    writeFile(source + QStringLiteral("/Contents/Info.txt"), "info");
    writeFile(source + QStringLiteral("/.hidden"), "secret");
    QVERIFY(QFile::link(QStringLiteral("Contents/Info.txt"), source + QStringLiteral("/shortcut")));
    w.setToolScript({ QStringLiteral("record ") + record, QStringLiteral("wait-for ") + w.path(QStringLiteral("go")),
        QStringLiteral("image 1") });

    TestModel t;
    t.choose(source, w.destinationPath());
    QVERIFY(t.model->canStartExport());
    t.model->startExport();
    QVERIFY(t.model->exportInProgress());
    QVERIFY(!t.model->canStartExport());
    QVERIFY(t.model->showsProgress());
    QCOMPARE(t.model->progress(), 0.0);

    QTRY_VERIFY(readFile(record).contains("argc"));
    const QStringList arguments = recordedArguments(record);
    QCOMPARE(arguments.size(), 6);
    QCOMPARE(arguments[0], QStringLiteral("makehybrid"));
    QCOMPARE(arguments[1], QStringLiteral("-o"));
    QCOMPARE(arguments[2], w.destinationPath() + QStringLiteral("/Installer.iso"));
    QCOMPARE(arguments[4], QStringLiteral("-iso"));
    QCOMPARE(arguments[5], QStringLiteral("-joliet"));

    // The staging folder keeps the base name (the volume name comes from it) inside a private job folder.
    const QFileInfo staging(arguments[3]);
    QCOMPARE(staging.fileName(), QStringLiteral("Installer"));
    QCOMPARE(QFileInfo(staging.absolutePath()).absolutePath(), QFileInfo(w.tempPath()).canonicalFilePath());
    QCOMPARE(
        QFileInfo(staging.absolutePath()).permissions() & 0x0777, QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    const QByteArray listing = readFile(record);
    QVERIFY(listing.contains("folder Installer.app\n"));
    QVERIFY(listing.contains("file Installer.app/Contents/Info.txt = info\n"));
    QVERIFY(listing.contains("file Installer.app/.hidden = secret\n"));
    QVERIFY(listing.contains("link Installer.app/shortcut -> Contents/Info.txt\n"));

    // While the tool runs the staged copy is there; once it has exited, the whole job folder is gone.
    QVERIFY(staging.exists());
    w.touch(QStringLiteral("go"));
    waitUntilIdle(*t.model);
    QVERIFY(w.leftovers().isEmpty());
    QVERIFY(QFile::exists(source + QStringLiteral("/.hidden")));
}

void ExportJobTest::imageIsNamedAfterTheBaseName_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("image");
    QTest::newRow("bundle") << QStringLiteral("Installer.app") << QStringLiteral("Installer.iso");
    QTest::newRow("last extension only") << QStringLiteral("notes.tar.gz") << QStringLiteral("notes.tar.iso");
    QTest::newRow("no extension") << QStringLiteral("Data") << QStringLiteral("Data.iso");
    QTest::newRow("hidden name") << QStringLiteral(".profile") << QStringLiteral(".profile.iso");
    QTest::newRow("spaces and accents") << QStringLiteral("Été 2026.v1.txt") << QStringLiteral("Été 2026.v1.iso");
}

void ExportJobTest::imageIsNamedAfterTheBaseName()
{
    QFETCH(QString, item);
    QFETCH(QString, image);
    Workspace w;
    writeFile(w.sourcePath(item), "content");
    w.setToolScript({ QStringLiteral("image 10") });

    TestModel t;
    t.choose(w.sourcePath(item), w.destinationPath());
    t.model->startExport();
    waitUntilIdle(*t.model);
    QCOMPARE(QDir(w.destinationPath()).entryList(QDir::Files | QDir::Hidden), QStringList { image });
    QCOMPARE(t.model->isoFileSize(), 10);
}

void ExportJobTest::stepsStopBelowOneAndSuccessFillsExactly()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript(chunks(12) << QStringLiteral("image 2048"));

    TestModel t;
    ProgressLog log(*t.model);
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    t.model->startExport();
    waitUntilIdle(*t.model);

    // Ten steps of double additions, nothing for the eleventh and twelfth chunk, then exactly 1.0, animated.
    const QList<double> steps = { 0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6, 0.7, 0.7999999999999999,
        0.8999999999999999, 0.9999999999999999 };
    QCOMPARE(log.changes.size(), steps.size() + 1);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QCOMPARE(log.changes[i].value, steps[i]);
        QVERIFY(!log.changes[i].animated);
    }
    QVERIFY(log.changes.last().value == 1.0);
    QVERIFY(log.changes.last().animated);
    QVERIFY(t.model->showsProgress());
    QVERIFY(t.model->canStartExport());
}

void ExportJobTest::oneChunkThenSuccessMeasuresTheImage()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript(chunks(1) << QStringLiteral("image 3145728"));

    TestModel t;
    ProgressLog log(*t.model);
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    t.model->startExport();
    QTRY_COMPARE(t.model->progress(), 1.0);

    QCOMPARE(log.changes.size(), 2);
    QCOMPARE(log.changes[0].value, 0.1);
    QVERIFY(log.changes[1].animated);
    QCOMPARE(t.model->isoFileSize(), 3145728);
    QCOMPARE(t.model->isoFileSizeInMegabytes(), 3);
    // The export stays marked as running for a moment after the tool's end.
    QVERIFY(log.changes[1].inProgress);
    QTest::qWait(300);
    QVERIFY(t.model->exportInProgress());
    QVERIFY(!t.model->canStartExport());
    waitUntilIdle(*t.model);
    QVERIFY(t.model->showsProgress());
    QVERIFY(w.leftovers().isEmpty());
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
    QCOMPARE(t.model->isoFileSize(), 5000);

    QFile::remove(w.destinationPath() + QStringLiteral("/a.iso"));
    w.setToolScript(chunks(3) << QStringLiteral("exit 1"));
    t.model->startExport();
    QCOMPARE(t.model->progress(), 0.0);
    QTRY_COMPARE(t.model->progress(), 0.30000000000000004);
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 0.30000000000000004);
    QCOMPARE(t.model->isoFileSize(), 5000);
    QVERIFY(!t.model->showsProgress());
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::toolKilledBySignalIsAFailure()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    // The image is complete on disk, but a tool that dies by a signal has not succeeded.
    w.setToolScript(QStringList { QStringLiteral("image 4096") } << chunks(1) << QStringLiteral("signal 9"));
    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    t.model->startExport();
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 0.1);
    QCOMPARE(t.model->isoFileSize(), 0);
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::chunksCutInsideACharacterStepNothing()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    // "é" split over two writes: neither part is valid text on its own. Then an emoji in one piece.
    w.setToolScript({ QStringLiteral("out ab\\xC3"), QStringLiteral("sleep 150"), QStringLiteral("out \\xA9\\n"),
        QStringLiteral("sleep 150"), QStringLiteral("out \\xF0\\x9F\\x92\\xBF\\n"), QStringLiteral("sleep 150"),
        QStringLiteral("exit 1") });
    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    t.model->startExport();
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 0.1);
}

void ExportJobTest::failedLaunchLeavesNoStagingBehind()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("Data/file")), "x");
    TestModel t(w.path(QStringLiteral("no-such-tool")));
    t.choose(w.sourcePath(QStringLiteral("Data")), w.destinationPath());

    for (int attempt = 0; attempt < 2; ++attempt) {
        QSignalSpy inProgress(t.model.get(), &ExportModel::exportInProgressChanged);
        t.model->startExport();
        QVERIFY(!t.model->exportInProgress());
        QCOMPARE(inProgress.count(), 2); // on after the copy, off at the failed launch
        QCOMPARE(t.model->progress(), 0.0);
        QVERIFY2(w.leftovers().isEmpty(), qPrintable(w.leftovers().join(QLatin1Char(' '))));
    }
    QTest::qWait(1200);
    QVERIFY(!t.model->exportInProgress());
    QVERIFY(QFile::exists(w.sourcePath(QStringLiteral("Data/file"))));
}

void ExportJobTest::failedCopyChangesNothingAndLeavesNoStaging()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    writeFile(w.sourcePath(QStringLiteral("Gone/file")), "x");
    const QString record = w.path(QStringLiteral("record"));
    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
    w.setToolScript({ QStringLiteral("image 100") });
    t.model->startExport();
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 1.0);

    // The source vanishes between its choice and the export: the copy fails, the tool never runs.
    t.choose(w.sourcePath(QStringLiteral("Gone")), w.destinationPath());
    QVERIFY(QDir(w.sourcePath(QStringLiteral("Gone"))).removeRecursively());
    w.setToolScript({ QStringLiteral("record ") + record });
    QSignalSpy inProgress(t.model.get(), &ExportModel::exportInProgressChanged);
    t.model->startExport();
    QVERIFY(!t.model->exportInProgress());
    QCOMPARE(inProgress.count(), 0);
    QCOMPARE(t.model->progress(), 1.0);
    QCOMPARE(t.model->isoFileSize(), 100);
    QVERIFY(w.leftovers().isEmpty());
    QTest::qWait(200);
    QVERIFY(!QFile::exists(record));
}

void ExportJobTest::modelOutlivesItsOwnerWhileTheToolRuns()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("a.txt")), "a");
    w.setToolScript({ QStringLiteral("wait-for ") + w.path(QStringLiteral("go")), QStringLiteral("out done\\n"),
        QStringLiteral("image 4096") });
    std::weak_ptr<ExportModel> survivor;
    {
        TestModel t;
        t.choose(w.sourcePath(QStringLiteral("a.txt")), w.destinationPath());
        t.model->startExport();
        QVERIFY(t.model->exportInProgress());
        survivor = t.model;
    }
    QVERIFY(!survivor.expired());
    w.touch(QStringLiteral("go"));
    QTRY_VERIFY_WITH_TIMEOUT(survivor.expired(), 15000);
    QCOMPARE(QFileInfo(w.destinationPath() + QStringLiteral("/a.iso")).size(), 4096);
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::twoModelsExportSameNamedSourcesAtOnce()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("one/Data/file")), "first");
    writeFile(w.sourcePath(QStringLiteral("two/Data/file")), "second");
    QDir().mkpath(w.path(QStringLiteral("destination/one")));
    QDir().mkpath(w.path(QStringLiteral("destination/two")));
    w.setToolScript({ QStringLiteral("wait-for ") + w.path(QStringLiteral("go")), QStringLiteral("image-of-staging") });

    TestModel first;
    TestModel second;
    first.choose(w.sourcePath(QStringLiteral("one/Data")), w.path(QStringLiteral("destination/one")));
    second.choose(w.sourcePath(QStringLiteral("two/Data")), w.path(QStringLiteral("destination/two")));
    first.model->startExport();
    second.model->startExport();
    QVERIFY(first.model->exportInProgress());
    QVERIFY(second.model->exportInProgress());
    w.touch(QStringLiteral("go"));
    waitUntilIdle(*first.model);
    waitUntilIdle(*second.model);

    QCOMPARE(first.model->progress(), 1.0);
    QCOMPARE(second.model->progress(), 1.0);
    QCOMPARE(readFile(w.path(QStringLiteral("destination/one/Data.iso"))),
        QByteArray("file Data/file = first\nfolder Data\n"));
    QCOMPARE(readFile(w.path(QStringLiteral("destination/two/Data.iso"))),
        QByteArray("file Data/file = second\nfolder Data\n"));
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::newChoicesDuringAnExportDoNotAffectIt()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("first.txt")), "1");
    writeFile(w.sourcePath(QStringLiteral("second.txt")), "2");
    QDir().mkpath(w.path(QStringLiteral("elsewhere")));
    w.setToolScript({ QStringLiteral("wait-for ") + w.path(QStringLiteral("go")), QStringLiteral("image-of-staging") });

    TestModel t;
    t.choose(w.sourcePath(QStringLiteral("first.txt")), w.destinationPath());
    t.model->startExport();
    t.choose(w.sourcePath(QStringLiteral("second.txt")), w.path(QStringLiteral("elsewhere")));
    QCOMPARE(t.model->selectedSourceURL(), QUrl::fromLocalFile(w.sourcePath(QStringLiteral("second.txt"))));
    QVERIFY(!t.model->canStartExport());
    w.touch(QStringLiteral("go"));
    waitUntilIdle(*t.model);

    QCOMPARE(readFile(w.destinationPath() + QStringLiteral("/first.iso")), QByteArray("file first.txt = 1\n"));
    QVERIFY(QDir(w.path(QStringLiteral("elsewhere"))).isEmpty());
}

void ExportJobTest::stagingRefusesNamesThatAreNoFolder_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::newRow("empty") << QString();
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("slash") << QStringLiteral("a/b");
}

void ExportJobTest::stagingRefusesNamesThatAreNoFolder()
{
    QFETCH(QString, baseName);
    Workspace w;
    writeFile(w.path(QStringLiteral("tmp/unrelated")), "keep");
    {
        const auto folder = StagingFolder::create(w.tempPath(), baseName);
        QVERIFY(!folder);
    }
    QCOMPARE(w.leftovers(), QStringList { QStringLiteral("unrelated") });
}

QTEST_GUILESS_MAIN(ExportJobTest)
#include "test_export_job.moc"
