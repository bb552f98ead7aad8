// SPDX-License-Identifier: GPL-3.0-or-later
// The small rules under an export: the information lookup, the image's name, measuring an item, reading the tool's
// progress, and taking the source and destination, and the source's symbol, from drops and dialogs.

#include "ExportTestKit.h"
#include "common/BundleInfo.h"
#include "common/ImageToolContract.h"
#include "model/ExportNames.h"
#include "model/FileSize.h"
#include "model/ToolProgressReader.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <unistd.h>

using namespace ExportTestKit;
using namespace Qt::StringLiterals;

namespace {

// Runs `work` with standard output sent to a file, and returns what it printed.
template <typename Work> QByteArray capturedStandardOutput(Work work)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "capture failed";
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(capture.handle(), STDOUT_FILENO);
    work();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

class ModelRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bundleInfoGivesTextOrTheWarningSign();
    void namesFollowTheSourcesLastElement_data();
    void namesFollowTheSourcesLastElement();
    void itemsMeasureTheirOwnEntry();
    void progressComesFromWholeProgressLines_data();
    void progressComesFromWholeProgressLines();
    void failureLinesReadBackAsWritten();
    void sourceSymbolIsLookedUpOncePerChoiceAwayFromTheMainThread();
    void dropTakesTheFirstLocalFile_data();
    void dropTakesTheFirstLocalFile();
    void anEmptyChoiceClearsTheLocation();
};

void ModelRulesTest::bundleInfoGivesTextOrTheWarningSign()
{
    const QString warning = QString::fromUtf8("\xE2\x9A\xA0\xEF\xB8\x8F");
    QTemporaryDir dir;
    const auto load = [&](const char* content) {
        TestFiles::writeFile(dir.filePath(u"Info.json"_s), content);
        return Bundle::load(dir.filePath(u"Info.json"_s));
    };
    const Bundle bundle = load(R"({"CFBundleName": "Velbrook", "CFBundleVersion": 7, "List": ["a"]})");
    QCOMPARE(bundleInfoString(bundle, u"CFBundleName"_s), u"Velbrook"_s);
    for (const char* key : { "CFBundleVersion", "List", "Missing" })
        QCOMPARE(bundleInfoString(bundle, QString::fromLatin1(key)), warning);
    QCOMPARE(bundleInfoString(Bundle {}, u"CFBundleName"_s), warning);
    QVERIFY(!load("{ not json").infoDictionary && !load("[1, 2]").infoDictionary
        && !Bundle::load(dir.filePath(u"missing.json"_s)).infoDictionary);
}

void ModelRulesTest::namesFollowTheSourcesLastElement_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("base");
    const char* const rows[][3] = {
        { "/Users/a/Installer.app", "Installer.app", "Installer" },
        { "/a/notes.tar.gz", "notes.tar.gz", "notes.tar" },
        { "/a/Data", "Data", "Data" },
        { "/home/u/.profile", ".profile", ".profile" },
        { "/a/.config.bak", ".config.bak", ".config" },
        { "/a/Folder.d/", "Folder.d", "Folder" },
        { "/a.b/c", "c", "c" },
        { "/a/Été 2026.v1.txt", "Été 2026.v1.txt", "Été 2026.v1" },
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]);
}

void ModelRulesTest::namesFollowTheSourcesLastElement()
{
    QFETCH(QString, source);
    QFETCH(QString, item);
    QFETCH(QString, base);
    QCOMPARE(itemName(source), item);
    QCOMPARE(baseName(source), base);
    QCOMPARE(outputImagePath(u"/Volumes/Stick"_s, base), u"/Volumes/Stick/"_s + base + ".iso");
}

void ModelRulesTest::progressComesFromWholeProgressLines_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    // What each read reports, -1 for nothing.
    QTest::addColumn<QList<int>>("reported");
    QTest::newRow("a line split across reads") << QByteArrayList { "1", "0%\n2", "0%", "\n" } << QList { -1, 1, -1, 2 };
    QTest::newRow("many lines in one read") << QByteArrayList { "10%\n20%\n30%\n", "100%\n" } << QList { 3, 10 };
    QTest::newRow("text and invalid UTF-8 between them")
        << QByteArrayList { "working\n\xC3", "\xA9\n40%\n", "\xFF\n" } << QList { -1, 4, -1 };
    QTest::newRow("a failure line") << QByteArrayList { "velbrook-hdiutil: makehybrid failed - 10%\n" } << QList { -1 };
    QTest::newRow("near misses") << QByteArrayList { "5%\n", "010%\n", "110%\n", "0%\n", " 10%\n", "10%\r\n", "10\n" }
                                 << QList { -1, -1, -1, -1, -1, -1, -1 };
    // A long line's end is no line of its own, however it ends.
    QTest::newRow("a long line") << QByteArrayList { QByteArray(40, '1'), "0%\n", "50%\n" } << QList { -1, -1, 5 };
}

void ModelRulesTest::progressComesFromWholeProgressLines()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(QList<int>, reported);
    ToolProgressReader reader;
    QList<int> got;
    for (const QByteArray& read : reads)
        got << reader.take(read).value_or(-1);
    QCOMPARE(got, reported);
}

void ModelRulesTest::failureLinesReadBackAsWritten()
{
    using imagetool::Failure;
    using Kind = imagetool::FailureKind;
    const std::string reason = "cannot read \"/a [b]\": Permission denied";
    // Every byte of a path comes back, whatever it holds, and only the fields given are written.
    for (const Failure& failure : { Failure { Kind::Unreadable, "/a [b]/%20 ]\n\xff=1", 13 },
             Failure { Kind::TooManyFolders, "/src", 0, 140001, 65535 }, Failure { Kind::Changed, "/x" } }) {
        const std::string line = imagetool::failureLine(reason, failure);
        QVERIFY2(
            line.find('\n') == line.size() - 1 && (line.find(" limit=") != std::string::npos) == (failure.limit != 0),
            line.c_str());
        const auto report = imagetool::parseFailureLine(std::string_view(line).substr(0, line.size() - 1));
        QVERIFY(report && report->reason == reason && report->failure == failure);
    }
    // Lines read as all reason: an older tool's, one whose tail is no kind's fields, and one that is no failure line.
    const std::string prefix(imagetool::failurePrefix);
    for (const std::string& told : { reason, reason + " [unreadable path=%2]", reason + " [unreadable error]",
             reason + " [ path=/x]", reason + " [unreadable error=x13]" }) {
        const auto report = imagetool::parseFailureLine(prefix + told);
        QVERIFY2(report && report->reason == told && report->failure == Failure {}, told.c_str());
    }
    QVERIFY(!imagetool::parseFailureLine(reason));
    // A newer tool's kind is read as none known, its reason still apart from its fields.
    const auto newer = imagetool::parseFailureLine(prefix + "out of luck [unlucky path=/x odds=3]");
    QVERIFY(newer && newer->reason == "out of luck" && newer->failure.kind == Kind::Unknown);
}

void ModelRulesTest::sourceSymbolIsLookedUpOncePerChoiceAwayFromTheMainThread()
{
    // A source on a mount that hangs stands in as a reader that blocks until let go.
    struct Reads {
        QSemaphore hung;
        std::atomic<int> count = 0;
        std::atomic<bool> onMainThread = false;
    };
    const auto reads = std::make_shared<Reads>();
    auto chooser = std::make_shared<ScriptedChooser>();
    const auto model = ExportModel::create(
        u"/no/tool"_s, chooser, {}, [reads, mainThread = QThread::currentThread()](const Location& location) {
            ++reads->count;
            reads->onMainThread = reads->onMainThread || QThread::currentThread() == mainThread;
            if (location->fileName() == u"hung"_s)
                reads->hung.acquire();
            return location->fileName();
        });
    QStringList shown;
    connect(model.get(), &ExportModel::sourceSymbolNameChanged, this, [&] { shown << model->sourceSymbolName(); });
    const auto choose = [&](const QString& path) {
        chooser->sourceAnswer = { true, QUrl::fromLocalFile(path) };
        model->selectSource();
    };

    QCOMPARE(model->sourceSymbolName(), u"plus.square.dashed"_s);
    choose(u"/mnt/hung"_s);
    QCOMPARE(model->sourceSymbolName(), u"questionmark.square.dashed"_s);
    // The main thread goes on: another choice is taken and answered while the first lookup hangs.
    choose(u"/mnt/b"_s);
    QTRY_COMPARE(model->sourceSymbolName(), u"b"_s);
    reads->hung.release();
    choose(u"/mnt/c"_s);
    QTRY_COMPARE(model->sourceSymbolName(), u"c"_s);
    QCOMPARE(shown, QStringList({ u"questionmark.square.dashed"_s, u"b"_s, u"questionmark.square.dashed"_s, u"c"_s }));
    QVERIFY(reads->count == 3 && !reads->onMainThread);
}

void ModelRulesTest::itemsMeasureTheirOwnEntry()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"image.iso"_s), folder = dir.filePath(u"folder"_s);
    const QString link = dir.filePath(u"link"_s);
    QVERIFY(TestFiles::writeFile(file, {}) && QFile::resize(file, qint64(5) << 30)); // beyond 32 bits
    QVERIFY(QDir().mkpath(folder));
    const qint64 emptyFolder = QFileInfo(folder).size();
    TestFiles::writeFile(folder + u"/big"_s, QByteArray(1 << 20, 'b'));
    QCOMPARE(::symlink(QFile::encodeName(file).constData(), QFile::encodeName(link).constData()), 0);

    QByteArray printed = capturedStandardOutput([&] {
        QCOMPARE(fileSize(QUrl::fromLocalFile(file)), qint64(5) << 30);
        QCOMPARE(sizeInMegabytes(fileSize(QUrl::fromLocalFile(file))), 5120);
        // Whole megabytes, cut and not rounded.
        QCOMPARE(QList({ sizeInMegabytes(5242879), sizeInMegabytes(1572864) }), QList<qint64>({ 4, 1 }));
        QCOMPARE(QStringList({ readableSize(1023), readableSize(1572863), readableSize(qint64(10) << 30) }),
            QStringList({ u"0 KB"_s, u"1.4 MB"_s, u"10 GB"_s }));
        // Not summed, not followed: the folder's own entry, the link's own length.
        QCOMPARE(fileSize(QUrl::fromLocalFile(folder)), emptyFolder);
        QCOMPARE(fileSize(QUrl::fromLocalFile(link)), QFile::encodeName(file).size());
    });
    QVERIFY(printed.isEmpty());

    printed = capturedStandardOutput([&] { QCOMPARE(fileSize(QUrl::fromLocalFile(dir.filePath("missing"))), 0); });
    // One line, with the reason after the text.
    QVERIFY2(printed.startsWith("Error getting file size: ") && printed.size() > 26 && printed.count('\n') == 1
            && printed.endsWith('\n'),
        printed.constData());
}

void ModelRulesTest::dropTakesTheFirstLocalFile_data()
{
    QTest::addColumn<QList<QUrl>>("items");
    QTest::addColumn<QString>("expectedPath");
    const auto fileUrl = [](const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); };
    QTest::newRow("three files") << QList<QUrl> { fileUrl("/a/one.txt"), fileUrl("/a/two"), fileUrl("/a/three.app") }
                                 << u"/a/one.txt"_s;
    QTest::newRow("web link first") << QList<QUrl> { QUrl(u"https://example.org/file.iso"_s), fileUrl("/a/folder") }
                                    << u"/a/folder"_s;
    QTest::newRow("escaped, non-ASCII and percent")
        << QList<QUrl> { QUrl(u"file:///tmp/100%25%20%C3%89t%C3%A9%20%F0%9F%93%80.app"_s) } << u"/tmp/100% Été 📀.app"_s;
    QTest::newRow("web links only") << QList<QUrl> { QUrl(u"https://example.org/"_s) } << QString();
    QTest::newRow("no path, another machine's, then this one's")
        << QList<QUrl> { QUrl(u"file:"_s), QUrl(u"file://otherhost/x"_s), QUrl(u"file://localhost/a/b"_s) }
        << u"/a/b"_s;
    QTest::newRow("nothing") << QList<QUrl> {} << QString();
}

void ModelRulesTest::dropTakesTheFirstLocalFile()
{
    QFETCH(QList<QUrl>, items);
    QFETCH(QString, expectedPath);
    TestModel t;
    QVERIFY(t.model->handleDrop({ QUrl(u"file:///earlier"_s) }));
    QTRY_VERIFY(t.model->selectedSourceURL().has_value());
    QSignalSpy changed(t.model.get(), &ExportModel::selectedSourceURLChanged);
    QCOMPARE(t.model->handleDrop(items), !expectedPath.isEmpty());
    // Answered at once; the source itself arrives through the event loop, in the order of the drops.
    QCOMPARE(changed.count(), 0);
    QTest::qWait(50);
    QCOMPARE(locationPath(t.model->selectedSourceURL()), expectedPath.isEmpty() ? u"/earlier"_s : expectedPath);
}

void ModelRulesTest::anEmptyChoiceClearsTheLocation()
{
    TestModel t;
    t.choose(u"/src/a.txt"_s, u"/dst"_s);
    t.chooser->sourceAnswer = t.chooser->destinationAnswer = { true, std::nullopt };
    t.model->selectSource();
    t.model->selectDestination();
    QVERIFY(!t.model->selectedSourceURL() && !t.model->selectedDestinationURL());
}

QTEST_GUILESS_MAIN(ModelRulesTest)
#include "test_model_rules.moc"
