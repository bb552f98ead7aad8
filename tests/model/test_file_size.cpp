// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring an item: its own size as the file system reports it, and 0 with one diagnostic line on failure.

#include "model/FileSize.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <unistd.h>

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

QString makeFileOfSize(const QTemporaryDir& dir, const QString& name, qint64 size)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        return {};
    return path;
}

} // namespace

class FileSizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filesMeasureTheirBytesAndShowWholeMegabytes_data();
    void filesMeasureTheirBytesAndShowWholeMegabytes();
    void missingItemPrintsOneLineAndGivesZero();
    void emptyFileGivesZeroSilently();
    void folderGivesItsOwnEntryNotItsContents();
    void linkGivesItsOwnSizeNotItsTarget();
};

void FileSizeTest::filesMeasureTheirBytesAndShowWholeMegabytes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("megabytes");
    QTest::newRow("five") << qint64(5242880) << qint64(5);
    QTest::newRow("one byte short of five") << qint64(5242879) << qint64(4);
    QTest::newRow("one and a half") << qint64(1572864) << qint64(1);
    QTest::newRow("under one") << qint64(1) << qint64(0);
    QTest::newRow("beyond 32 bits") << qint64(5) * 1024 * 1024 * 1024 << qint64(5120);
}

void FileSizeTest::filesMeasureTheirBytesAndShowWholeMegabytes()
{
    QFETCH(qint64, bytes);
    QFETCH(qint64, megabytes);
    QTemporaryDir dir;
    const QString path = makeFileOfSize(dir, QStringLiteral("image.iso"), bytes);
    QVERIFY(!path.isEmpty());
    qint64 measured = -1;
    const QByteArray printed = capturedStandardOutput([&] { measured = fileSize(QUrl::fromLocalFile(path)); });
    QCOMPARE(measured, bytes);
    QCOMPARE(sizeInMegabytes(measured), megabytes);
    QVERIFY(printed.isEmpty());
}

void FileSizeTest::missingItemPrintsOneLineAndGivesZero()
{
    QTemporaryDir dir;
    qint64 measured = -1;
    const QByteArray printed
        = capturedStandardOutput([&] { measured = fileSize(QUrl::fromLocalFile(dir.filePath("missing.iso"))); });
    QCOMPARE(measured, 0);
    QVERIFY(printed.startsWith("Error getting file size: "));
    QVERIFY(printed.size() > qsizetype(qstrlen("Error getting file size: ")) + 1);
    QCOMPARE(printed.count('\n'), 1);
    QVERIFY(printed.endsWith('\n'));
}

void FileSizeTest::emptyFileGivesZeroSilently()
{
    QTemporaryDir dir;
    const QString path = makeFileOfSize(dir, QStringLiteral("empty"), 0);
    qint64 measured = -1;
    const QByteArray printed = capturedStandardOutput([&] { measured = fileSize(QUrl::fromLocalFile(path)); });
    QCOMPARE(measured, 0);
    QVERIFY(printed.isEmpty());
}

void FileSizeTest::folderGivesItsOwnEntryNotItsContents()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QUrl folder = QUrl::fromLocalFile(dir.filePath(QStringLiteral("folder")));
    const qint64 emptyFolder = fileSize(folder);
    QVERIFY(!makeFileOfSize(dir, QStringLiteral("folder/big"), 10 * 1048576).isEmpty());
    QCOMPARE(fileSize(folder), emptyFolder);
    QVERIFY(fileSize(folder) < 10 * 1048576);
}

void FileSizeTest::linkGivesItsOwnSizeNotItsTarget()
{
    QTemporaryDir dir;
    const QString target = makeFileOfSize(dir, QStringLiteral("a-rather-long-target-name.iso"), 3 * 1048576);
    const QString link = dir.filePath(QStringLiteral("link"));
    QVERIFY(::symlink(target.toLocal8Bit().constData(), link.toLocal8Bit().constData()) == 0);
    QCOMPARE(fileSize(QUrl::fromLocalFile(link)), target.toLocal8Bit().size());

    // A dangling link is still an item that can be examined.
    QVERIFY(QFile::remove(target));
    QCOMPARE(fileSize(QUrl::fromLocalFile(link)), target.toLocal8Bit().size());
}

QTEST_GUILESS_MAIN(FileSizeTest)
#include "test_file_size.moc"
