// SPDX-License-Identifier: GPL-3.0-or-later
// A whole export with the real image tool: the image lands at <destination>/<base name>.iso, complete,
// and named after the source.

#include "ExportTestKit.h"

#include <QTest>

using namespace ExportTestKit;

namespace {
constexpr qint64 sectorSize = 2048;

// The volume id of the primary volume descriptor (sector 16, bytes 40..71), read straight from the image.
QByteArray primaryVolumeId(const QByteArray& image)
{
    return image.mid(16 * sectorSize + 40, 32).trimmed();
}
} // namespace

class ExportWithImageToolTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportWritesARealImageNamedAfterTheSource();
    void existingImageIsLeftAsItWas();
};

void ExportWithImageToolTest::exportWritesARealImageNamedAfterTheSource()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("Holiday.v2/photo one.jpg")), QByteArray(700000, 'p'));
    writeFile(w.sourcePath(QStringLiteral("Holiday.v2/.hidden")), "h");

    TestModel t(QStringLiteral(IMAGE_TOOL_PATH));
    t.choose(w.sourcePath(QStringLiteral("Holiday.v2")), w.destinationPath());
    QSignalSpy progress(t.model.get(), &ExportModel::progressChanged);
    t.model->startExport();
    QTRY_VERIFY_WITH_TIMEOUT(
        t.model->exportedImagePath() == w.destinationPath() + QStringLiteral("/Holiday.iso"), 60000);
    waitUntilIdle(*t.model);

    const QString imagePath = w.destinationPath() + QStringLiteral("/Holiday.iso");
    QCOMPARE(
        QDir(w.destinationPath()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("Holiday.iso") });
    const QByteArray image = readFile(imagePath);
    QCOMPARE(t.model->isoFileSize(), image.size());
    QVERIFY(image.size() > 700000);
    QCOMPARE(image.size() % sectorSize, 0);
    QCOMPARE(image.mid(16 * sectorSize + 1, 5), QByteArray("CD001"));
    QCOMPARE(primaryVolumeId(image), QByteArray("HOLIDAY"));
    // File data starts on a sector of its own.
    const qsizetype data = image.indexOf(QByteArray(sectorSize, 'p'));
    QVERIFY(data > 0);
    QCOMPARE(data % sectorSize, 0);
    QCOMPARE(image.mid(data, 700001), QByteArray(700000, 'p') + '\0');
    QCOMPARE(t.model->progress(), 1.0);
    QVERIFY(progress.count() >= 2); // tool progress lines stepped the bar before it filled
    QTRY_VERIFY(w.leftovers().isEmpty());
}

void ExportWithImageToolTest::existingImageIsLeftAsItWas()
{
    Workspace w;
    writeFile(w.sourcePath(QStringLiteral("Data/file")), "x");
    writeFile(w.destinationPath() + QStringLiteral("/Data.iso"), "the user's earlier image");

    TestModel t(QStringLiteral(IMAGE_TOOL_PATH));
    t.choose(w.sourcePath(QStringLiteral("Data")), w.destinationPath());
    t.model->startExport();
    QTRY_VERIFY_WITH_TIMEOUT(t.model->lastExportFailure(), 60000);
    waitUntilIdle(*t.model);

    QCOMPARE(readFile(w.destinationPath() + QStringLiteral("/Data.iso")), QByteArray("the user's earlier image"));
    QCOMPARE(QDir(w.destinationPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    QVERIFY(t.model->progress() < 1.0);
    QCOMPARE(t.model->isoFileSize(), 0);
    QVERIFY(w.leftovers().isEmpty());
}

QTEST_GUILESS_MAIN(ExportWithImageToolTest)
#include "test_export_with_image_tool.moc"
