// SPDX-License-Identifier: GPL-3.0-or-later
// Whole exports through the fake image tool: what the tool is given, how its output steps the progress,
// and how every way of ending leaves the model and the disk.

#include "ExportTestKit.h"
#include "model/ExportJob.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <sys/stat.h>
#include <sys/time.h>

using namespace ExportTestKit;
using namespace Qt::StringLiterals;

class ExportJobTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toolGetsTheItemInPlaceOrAPrivateStagedCopy_data();
    void toolGetsTheItemInPlaceOrAPrivateStagedCopy();
    void stepsStopBelowOneSuccessFillsAndFailureKeeps();
    void everyFailureSaysWhy_data();
    void everyFailureSaysWhy();
    void cancelStopsStagingOrToolAndLeavesNothing_data();
    void cancelStopsStagingOrToolAndLeavesNothing();
    void exportOutlivesItsModelsOwnerAndHoldsTheLoop();
    void sameNamesAndLaterChoicesDoNotMix();
    void sourceChangedWhileImagingFailsNamingItAsChosen();
    void itemNamedInNoUtf8IsImagedByItsBytes();
    void replaceOnlyWhenAskedAndOnlyByAWholeImage();
    void replaceByRenameTouchesTheOldImageOnlyWithAWholeNewOne();
};

void ExportJobTest::toolGetsTheItemInPlaceOrAPrivateStagedCopy_data()
{
    QTest::addColumn<bool>("staged");
    QTest::newRow("in place") << false;
    QTest::newRow("staged, for a tool that needs a folder") << true;
}

void ExportJobTest::toolGetsTheItemInPlaceOrAPrivateStagedCopy()
{
    QFETCH(bool, staged);
    Workspace w;
    const QString record = w.path(u"record"_s);
    const QString source = w.sourcePath(u"Installer.app"_s);
    const QString file = source + u"/Contents/Info.txt"_s;
    writeFile(file, "info");
    QVERIFY(makeSocket(source + u"/socket"_s)); // staging leaves it out, and counts it; in place it is imaged
    const QByteArray before = fingerprint(file);
    w.setToolScript({ u"record "_s + record, u"wait-for "_s + w.path(u"go"_s), u"image 1"_s });

    TestModel t(QStringLiteral(FAKE_TOOL_PATH), staged ? StagingStep(stageSource) : platformStaging());
    t.choose(source, w.destinationPath());
    t.model->startExport();
    // The start returns at once, staging (if any) runs in the background, and the export cannot be started twice.
    QCOMPARE(t.model->stagingInProgress(), staged);
    QCOMPARE(t.model->exportInProgress(), !staged);
    QVERIFY(!t.model->canStartExport() && t.model->canCancelExport());
    QTRY_VERIFY(t.model->exportInProgress() && !t.model->stagingInProgress());

    QTRY_VERIFY(readFile(record).contains(staged ? "argc 6" : "argc 7"));
    const QStringList arguments = QString::fromUtf8(readFile(record)).chopped(1).split(u"\narg "_s).mid(1);
    const QString image = w.destinationPath() + u"/Installer.iso"_s;
    if (!staged) {
        QCOMPARE(
            arguments, QStringList({ u"makehybrid"_s, u"-o"_s, image, source, u"-iso"_s, u"-joliet"_s, u"-item"_s }));
        // Nothing is made outside the destination.
        QVERIFY(w.leftovers().isEmpty() && QDir(w.path(u"cache"_s)).isEmpty());
    } else {
        QCOMPARE(
            arguments, QStringList({ u"makehybrid"_s, u"-o"_s, image, arguments.value(3), u"-iso"_s, u"-joliet"_s }));
        // The staging folder keeps the base name (the volume name comes from it) and ordinary permissions (it is
        // the image's root), inside a private job folder in the temporary folder, on the source's file system.
        const QFileInfo staging(arguments[3]);
        const QFileInfo jobFolder(staging.absolutePath());
        QCOMPARE(staging.fileName(), u"Installer"_s);
        QVERIFY(jobFolder.fileName().startsWith(u"velbrook-job-"_s));
        QCOMPARE(jobFolder.absolutePath(), QFileInfo(w.path(u"tmp"_s)).canonicalFilePath());
        QCOMPARE(statusOf(jobFolder.filePath()).st_mode & 0777, 0700u);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QCOMPARE(statusOf(staging.filePath()).st_mode & 0777, 0777 & ~mask);
    }

    w.touch(u"go"_s);
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->leftOutCount(), staged ? 1 : 0);
    QTRY_VERIFY(w.leftovers().isEmpty());
    QCOMPARE(fingerprint(file), before);
}

void ExportJobTest::stepsStopBelowOneSuccessFillsAndFailureKeeps()
{
    Workspace w;
    writeFile(w.sourcePath(u"a.txt"_s), "a");
    // Each line in a write of its own, back to back, then the tool works on: the bar follows the lines, however the
    // pipe groups them.
    QStringList script;
    for (int percent = 10; percent <= 100; percent += 10)
        script << u"out %1%\\n"_s.arg(percent);
    w.setToolScript(script << u"wait-for "_s + w.path(u"go"_s) << u"image 3145728"_s);
    TestModel t;
    QList<double> values;
    QList<bool> animated;
    connect(t.model.get(), &ExportModel::progressChanged, this,
        [&](bool animate) { values << t.model->progress(), animated << animate; });
    t.choose(w.sourcePath(u"a.txt"_s), w.destinationPath());
    t.model->startExport();
    QTRY_COMPARE_WITH_TIMEOUT(t.model->progress(), 0.9, 15000);
    QVERIFY(std::is_sorted(values.begin(), values.end()) && !animated.contains(true));
    w.touch(u"go"_s);
    QTRY_COMPARE_WITH_TIMEOUT(t.model->progress(), 1.0, 15000);
    QCOMPARE(animated.last(), true);
    QCOMPARE(t.model->isoFileSize(), 3145728);
    QCOMPARE(t.model->exportedImagePath(), w.destinationPath() + u"/a.iso"_s);
    // The export stays marked as running for a moment after the tool's end.
    QVERIFY(t.model->exportInProgress() && !t.model->canStartExport());
    waitUntilIdle(*t.model);
    QVERIFY(t.model->showsProgress() && t.model->canStartExport());

    // Lines that are no progress lines step nothing; a failure keeps the last step, and the bar goes.
    QFile::remove(w.destinationPath() + u"/a.iso"_s);
    w.setToolScript({ u"out 30%\\nworking\\n\\xC3\\n5%\\n"_s, u"exit 1"_s });
    t.model->startExport();
    QTRY_VERIFY_WITH_TIMEOUT(t.model->lastExportFailure(), 15000);
    QVERIFY(t.model->exportInProgress()); // the end step still follows the tool's exit
    waitUntilIdle(*t.model);
    QCOMPARE(t.model->progress(), 0.3);
    QCOMPARE(t.model->isoFileSize(), 3145728); // the earlier image's
    QVERIFY(!t.model->showsProgress());
}

void ExportJobTest::everyFailureSaysWhy_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("reason");
    QTest::newRow("tool's own line") << u"tool says"_s << u"disk full"_s;
    QTest::newRow("tool silent") << u"tool exits 3"_s << u"exit status 3"_s;
    QTest::newRow("tool killed") << u"tool killed"_s << u"signal 9"_s;
    // Its passing names cut to fit, as the tool cuts them.
    QTest::newRow("tool killed, longest image name") << u"tool killed, long name"_s << u"signal 9"_s;
    QTest::newRow("tool missing") << u"no tool"_s << u"cannot start the image tool"_s;
    QTest::newRow("image exists") << u"image exists"_s << u"a.iso already exists in "_s;
    QTest::newRow("destination gone") << u"no destination"_s << u"No such file or directory"_s;
    QTest::newRow("destination is a file") << u"destination is a file"_s << u"is not a folder"_s;
    QTest::newRow("source gone") << u"no source"_s << u"cannot open "_s;
    QTest::newRow("dangling link") << u"dangling link"_s << u"cannot follow the link"_s;
    QTest::newRow("image name too long") << u"long name"_s << u"longer than 255 bytes"_s;
    QTest::newRow("the whole file system") << u"root"_s << u"The whole file system cannot be exported"_s;
}

void ExportJobTest::everyFailureSaysWhy()
{
    QFETCH(QString, road);
    QFETCH(QString, reason);
    Workspace w;
    const qsizetype longName = road == u"long name"_s ? 253 : road == u"tool killed, long name"_s ? 251 : 0;
    QString source = w.sourcePath(longName > 0 ? QString(longName, u'n') : u"a.txt"_s);
    QString destination = w.destinationPath();
    const QString tool = road == u"no tool"_s ? w.path(u"no-such-tool"_s) : QStringLiteral(FAKE_TOOL_PATH);
    if (road != u"no source"_s && road != u"dangling link"_s)
        writeFile(source, "a");
    const QMap<QString, QStringList> scripts {
        { u"tool says"_s, { u"err velbrook-hdiutil: makehybrid failed - disk full\\n"_s, u"exit 1"_s } },
        { u"tool exits 3"_s, { u"exit 3"_s } }, { u"tool killed"_s, { u"part"_s, u"signal 9"_s } },
        { u"tool killed, long name"_s, { u"part"_s, u"signal 9"_s } }
    };
    w.setToolScript(scripts.value(road, { u"image 2048"_s }));
    if (road == u"image exists"_s)
        writeFile(destination + u"/a.iso"_s, "earlier");
    else if (road == u"no destination"_s)
        destination = w.path(u"gone"_s);
    else if (road == u"destination is a file"_s)
        writeFile(destination = w.path(u"plain-file"_s), "x");
    else if (road == u"no source"_s)
        source = w.sourcePath(u"gone.txt"_s);
    else if (road == u"dangling link"_s)
        QVERIFY(QFile::link(w.path(u"nowhere"_s), source = w.sourcePath(u"link"_s)));
    else if (road == u"root"_s)
        QVERIFY(QFile::link(u"/"_s, source = w.sourcePath(u"link"_s)));
    const QStringList destinationBefore = w.destinationEntries();
    const QByteArray sourceBefore = fingerprint(source);

    TestModel t(tool);
    t.choose(source, destination);
    t.model->startExport();
    waitUntilIdle(*t.model);
    const QString why = t.model->lastExportFailure() ? t.model->lastExportFailure()->reason : QString();
    QVERIFY2(why.contains(reason), qPrintable(why));
    QVERIFY(!t.model->lastExportFailure()->cancelled && t.model->progress() < 1.0 && t.model->isoFileSize() == 0);
    QTRY_VERIFY(w.leftovers().isEmpty());
    // No image, not even the half-written one a killed tool left under a name.
    QCOMPARE(w.destinationEntries(), destinationBefore);
    QCOMPARE(fingerprint(source), sourceBefore);
}

void ExportJobTest::cancelStopsStagingOrToolAndLeavesNothing_data()
{
    QTest::addColumn<bool>("duringStaging");
    QTest::newRow("while staging") << true;
    QTest::newRow("while the tool runs on the item in place") << false;
}

void ExportJobTest::cancelStopsStagingOrToolAndLeavesNothing()
{
    QFETCH(bool, duringStaging);
    Workspace w;
    const QString file = w.sourcePath(u"Data/file"_s);
    writeFile(file, "x");
    const QByteArray before = fingerprint(file);
    const QString pidFile = w.path(u"pid"_s);
    w.setToolScript({ u"pid "_s + pidFile, u"wait-for "_s + w.path(u"never"_s) });
    HeldStaging held;
    TestModel t(QStringLiteral(FAKE_TOOL_PATH), duringStaging ? held.step() : platformStaging());
    t.choose(w.sourcePath(u"Data"_s), w.destinationPath());
    t.model->startExport();
    if (duringStaging) {
        // Staging is held up, yet the event loop runs: the main thread is not the one waiting.
        bool ticked = false;
        QTimer::singleShot(0, t.model.get(), [&ticked] { ticked = true; });
        QTRY_VERIFY(ticked && t.model->stagingInProgress());
    } else {
        QTRY_VERIFY(!readFile(pidFile).isEmpty());
    }

    t.model->cancelExport();
    // At once, without the end step that follows a tool's exit.
    QVERIFY(!t.model->stagingInProgress() && !t.model->exportInProgress() && t.model->canStartExport());
    QVERIFY(t.model->lastExportFailure() && t.model->lastExportFailure()->cancelled);
    QTRY_VERIFY(w.leftovers().isEmpty());
    QTRY_VERIFY(duringStaging ? !QFile::exists(pidFile) : processIsGone(pidFile));
    QVERIFY(w.destinationEntries().isEmpty());
    QCOMPARE(fingerprint(file), before);
}

void ExportJobTest::exportOutlivesItsModelsOwnerAndHoldsTheLoop()
{
    Workspace w;
    writeFile(w.sourcePath(u"a.txt"_s), "a");
    w.setToolScript({ u"sleep 300"_s, u"image 2048"_s });
    std::weak_ptr<ExportModel> survivor;
    {
        TestModel t;
        t.choose(w.sourcePath(u"a.txt"_s), w.destinationPath());
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
    QCOMPARE(QFileInfo(w.destinationPath() + u"/a.iso"_s).size(), 2048);
    QVERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::sameNamesAndLaterChoicesDoNotMix()
{
    Workspace w;
    writeFile(w.sourcePath(u"one/Data/file"_s), "first");
    writeFile(w.sourcePath(u"two/Data/file"_s), "second");
    QDir().mkpath(w.path(u"elsewhere"_s));
    w.setToolScript({ u"wait-for "_s + w.path(u"go"_s), u"image-of-source"_s });

    // Two exports of sources of the same name at once, and new locations chosen while the first runs.
    TestModel first;
    TestModel second;
    first.choose(w.sourcePath(u"one/Data"_s), w.destinationPath());
    second.choose(w.sourcePath(u"two/Data"_s), w.path(u"elsewhere"_s));
    first.model->startExport();
    second.model->startExport();
    first.choose(w.sourcePath(u"two/Data"_s), w.path(u"elsewhere"_s));
    QTRY_VERIFY(first.model->exportInProgress() && second.model->exportInProgress() && !first.model->canStartExport());
    w.touch(u"go"_s);
    waitUntilIdle(*first.model);
    waitUntilIdle(*second.model);
    QCOMPARE(readFile(w.destinationPath() + u"/Data.iso"_s) + readFile(w.path(u"elsewhere"_s) + u"/Data.iso"_s),
        QByteArray("Data/file = first\nData/file = second\n"));
    QTRY_VERIFY(w.leftovers().isEmpty());
}

void ExportJobTest::sourceChangedWhileImagingFailsNamingItAsChosen()
{
#ifndef IMAGE_TOOL_PATH
    QSKIP("built without the image tool");
#else
    // With the real tool, on the source itself: every file rewritten once the image is being written, through a
    // link the user chose it by.
    Workspace w;
    QStringList files;
    for (const char fill : { 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h' }) {
        files << w.sourcePath(u"Data/"_s + QChar::fromLatin1(fill));
        QFile hole(files.last());
        writeFile(hole.fileName(), QByteArray(1, fill));
        QVERIFY(hole.resize(qint64 { 64 } << 20));
    }
    const QString chosen = w.sourcePath(u"Chosen"_s);
    QVERIFY(QFile::link(w.sourcePath(u"Data"_s), chosen));
    TestModel t(QStringLiteral(IMAGE_TOOL_PATH));
    t.choose(chosen, w.destinationPath());
    t.model->startExport();
    QTRY_VERIFY(t.model->progress() > 0.0);
    for (const QString& file : files)
        QCOMPARE(::utimes(QFile::encodeName(file).constData(), nullptr), 0);
    waitUntilIdle(*t.model);
    const auto& failure = t.model->lastExportFailure();
    const QString why = failure ? failure->reason : QString();
    QVERIFY2(why.contains(u"changed while imaging"_s) && why.contains(chosen + u'/'), qPrintable(why));
    // And the file it names for the window to say in its own words, as the user chose it too.
    const QString told = failure->tool.path;
    QVERIFY2(failure->tool.kind == imagetool::FailureKind::Changed && told.startsWith(chosen + u'/')
            && files.contains(w.sourcePath(u"Data"_s) + told.sliced(chosen.size())) && !why.contains(u" ["_s),
        qPrintable(told));
    QVERIFY(w.destinationEntries().isEmpty() && w.leftovers().isEmpty());
#endif
}

void ExportJobTest::itemNamedInNoUtf8IsImagedByItsBytes()
{
#ifndef IMAGE_TOOL_PATH
    QSKIP("built without the image tool");
#else
    // Latin-1, which no QString holds: the tool is given the item as a descriptor, and names it by its bytes.
    Workspace w;
    const QByteArray item = QFile::encodeName(w.sourcePath(QString())) + "caf\xe9";
    QCOMPARE(::mkdir(item.constData(), 0755), 0);
    const auto removeItem = qScopeGuard([&item] { ::rmdir(item.constData()); }); // QTemporaryDir cannot
    TestModel t(QStringLiteral(IMAGE_TOOL_PATH));
    t.choose(w.sourcePath(u"unused"_s), w.destinationPath());
    QVERIFY(t.model->handleDrop({ locationOf(item) }));
    QTRY_COMPARE(locationBytes(*t.model->selectedSourceURL()), item);
    t.model->startExport();
    waitUntilIdle(*t.model);
    const auto& failure = t.model->lastExportFailure();
    QVERIFY2(!failure, qPrintable(failure ? failure->reason : QString()));
    const QByteArray image = readFile(t.model->exportedImagePath());
    QVERIFY(image.contains("caf\xe9"));
#endif
}

void ExportJobTest::replaceOnlyWhenAskedAndOnlyByAWholeImage()
{
#ifndef IMAGE_TOOL_PATH
    QSKIP("built without the image tool");
#else
    Workspace w;
    QFile big(w.sourcePath(u"Data/big"_s));
    writeFile(big.fileName(), {});
    QVERIFY(big.resize(qint64 { 1 } << 30)); // a hole: imaging reads a while, the disk holds little
    const QString image = w.destinationPath() + u"/Data.iso"_s;
    writeFile(image, "the old image");
    TestModel t(QStringLiteral(IMAGE_TOOL_PATH));
    t.choose(w.sourcePath(u"Data"_s), w.destinationPath());
    t.model->startExport();
    waitUntilIdle(*t.model);
    QVERIFY(t.model->canReplaceImage() && t.model->lastExportFailure()->imageExists);
    // Another choice withdraws the offer; the same again brings it back.
    t.choose(w.sourcePath(u"Other"_s), w.destinationPath());
    QVERIFY(!t.model->canReplaceImage());
    t.choose(w.sourcePath(u"Data"_s), w.destinationPath());

    // A replace cancelled while the tool writes leaves the old image as it was, and nothing beside it.
    t.model->replaceImage();
    QTRY_VERIFY(t.model->progress() > 0.0);
    t.model->cancelExport();
    waitUntilIdle(*t.model);
    QTRY_COMPARE(w.destinationEntries(), QStringList { u"Data.iso"_s });
    QCOMPARE(readFile(image), QByteArray("the old image"));

    QVERIFY(big.resize(1 << 20));
    t.model->startExport();
    waitUntilIdle(*t.model);
    t.model->replaceImage();
    waitUntilIdle(*t.model);
    QVERIFY(!t.model->lastExportFailure() && readFile(image).mid(16 * 2048 + 1, 5) == "CD001"
        && w.destinationEntries() == QStringList { u"Data.iso"_s });
#endif
}

void ExportJobTest::replaceByRenameTouchesTheOldImageOnlyWithAWholeNewOne()
{
    // A tool that would remove the old image first writes apart: only a whole new one is renamed over the old.
    Workspace w;
    writeFile(w.sourcePath(u"Data/file"_s), "x");
    const QString image = w.destinationPath() + u"/Data.iso"_s, never = u"wait-for "_s + w.path(u"never"_s);
    for (const QStringList& script : { QStringList { u"image 100"_s, u"exit 1"_s }, { u"image 100"_s, never },
             { u"record "_s + w.path(u"record"_s), u"image 13"_s } }) {
        writeFile(image, "the old image");
        w.setToolScript(script);
        QPointer<ExportJob> job = new ExportJob(QUrl::fromLocalFile(w.sourcePath(u"Data"_s)), w.destinationPath(),
            QStringLiteral(FAKE_TOOL_PATH), stageSource, ExportJob::Replacing::ByRename);
        job->start();
        if (script.contains(never) && QTest::qWaitFor([&w] { return w.destinationEntries().size() == 2; }))
            job->cancel(); // while it writes
        QTRY_VERIFY(!job);
        QCOMPARE(w.destinationEntries(), QStringList { u"Data.iso"_s });
        QCOMPARE(readFile(image), script.last() == u"image 13"_s ? QByteArray(13, '\0') : "the old image");
    }
    QVERIFY(readFile(w.path(u"record"_s)).contains("/.Data.iso.") && !readFile(w.path(u"record"_s)).contains("-ov"));
}

QTEST_GUILESS_MAIN(ExportJobTest)
#include "test_export_job.moc"
