// SPDX-License-Identifier: GPL-3.0-or-later
// Taking the source from a drop or a dialog, and the destination from a dialog.

#include "ExportTestKit.h"

#include <QTest>

using namespace ExportTestKit;

namespace {
QUrl fileUrl(const char* path)
{
    return QUrl::fromLocalFile(QString::fromUtf8(path));
}
} // namespace

class SourceIntakeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dropTakesTheFirstLocalFile_data();
    void dropTakesTheFirstLocalFile();
    void dropWithoutALocalFileIsRefused_data();
    void dropWithoutALocalFileIsRefused();
    void laterDropsReplaceEarlierOnes();
    void choosersKeepOnCancelAndClearOnAnEmptyAnswer();
};

void SourceIntakeTest::dropTakesTheFirstLocalFile_data()
{
    QTest::addColumn<QList<QUrl>>("items");
    QTest::addColumn<QString>("expectedPath");
    QTest::newRow("three files") << QList<QUrl> { fileUrl("/a/one.txt"), fileUrl("/a/two"), fileUrl("/a/three.app") }
                                 << QStringLiteral("/a/one.txt");
    QTest::newRow("web link first") << QList<QUrl> { QUrl(QStringLiteral("https://example.org/file.iso")),
        fileUrl("/a/folder") } << QStringLiteral("/a/folder");
    QTest::newRow("escaped and non-ASCII")
        << QList<QUrl> { QUrl(QStringLiteral("file:///tmp/My%20Disc/%C3%89t%C3%A9%20%F0%9F%93%80.app")) }
        << QStringLiteral("/tmp/My Disc/Été 📀.app");
    QTest::newRow("percent sign in the name")
        << QList<QUrl> { QUrl(QStringLiteral("file:///tmp/100%25%20done")) } << QStringLiteral("/tmp/100% done");
}

void SourceIntakeTest::dropTakesTheFirstLocalFile()
{
    QFETCH(QList<QUrl>, items);
    QFETCH(QString, expectedPath);
    TestModel t;
    QSignalSpy changed(t.model.get(), &ExportModel::selectedSourceURLChanged);
    QVERIFY(t.model->handleDrop(items));
    // Answered at once; the source itself arrives through the event loop.
    QCOMPARE(changed.count(), 0);
    QTRY_COMPARE(changed.count(), 1);
    QCOMPARE(locationPath(t.model->selectedSourceURL()), expectedPath);
}

void SourceIntakeTest::dropWithoutALocalFileIsRefused_data()
{
    QTest::addColumn<QList<QUrl>>("items");
    QTest::newRow("nothing") << QList<QUrl> {};
    QTest::newRow("web links") << QList<QUrl> { QUrl(QStringLiteral("https://example.org/")),
        QUrl(QStringLiteral("ftp://example.org/a.iso")) };
    QTest::newRow("not a URL") << QList<QUrl> { QUrl(QStringLiteral("just some text")) };
}

void SourceIntakeTest::dropWithoutALocalFileIsRefused()
{
    QFETCH(QList<QUrl>, items);
    TestModel t;
    QVERIFY(t.model->handleDrop({ fileUrl("/earlier") }));
    QTRY_VERIFY(t.model->selectedSourceURL().has_value());
    QSignalSpy changed(t.model.get(), &ExportModel::selectedSourceURLChanged);
    QVERIFY(!t.model->handleDrop(items));
    QTest::qWait(50);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(locationPath(t.model->selectedSourceURL()), QStringLiteral("/earlier"));
}

void SourceIntakeTest::laterDropsReplaceEarlierOnes()
{
    TestModel t;
    QVERIFY(t.model->handleDrop({ fileUrl("/first") }));
    QVERIFY(t.model->handleDrop({ fileUrl("/second") }));
    QVERIFY(t.model->handleDrop({ fileUrl("/third") }));
    QSignalSpy changed(t.model.get(), &ExportModel::selectedSourceURLChanged);
    QTRY_COMPARE(changed.count(), 3);
    QCOMPARE(locationPath(t.model->selectedSourceURL()), QStringLiteral("/third"));
}

void SourceIntakeTest::choosersKeepOnCancelAndClearOnAnEmptyAnswer()
{
    TestModel t;
    t.choose(QStringLiteral("/src/a.txt"), QStringLiteral("/dst"));
    QCOMPARE(t.chooser->sourceRequests, 1);
    QCOMPARE(t.chooser->destinationRequests, 1);

    t.chooser->sourceAnswer = { false, fileUrl("/ignored") };
    t.chooser->destinationAnswer = { false, fileUrl("/ignored") };
    t.model->selectSource();
    t.model->selectDestination();
    QCOMPARE(locationPath(t.model->selectedSourceURL()), QStringLiteral("/src/a.txt"));
    QCOMPARE(locationPath(t.model->selectedDestinationURL()), QStringLiteral("/dst"));
    QVERIFY(t.model->canStartExport());

    t.chooser->sourceAnswer = { true, std::nullopt };
    t.model->selectSource();
    QVERIFY(!t.model->selectedSourceURL());
    t.chooser->destinationAnswer = { true, std::nullopt };
    t.model->selectDestination();
    QVERIFY(!t.model->selectedDestinationURL());
    QVERIFY(!t.model->canStartExport());
}

QTEST_GUILESS_MAIN(SourceIntakeTest)
#include "test_source_intake.moc"
