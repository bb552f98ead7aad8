// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring an item: its own size as the file system reports it, and 0 with one diagnostic line on failure.

#include "model/FileSize.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool makeFileOfSize(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

} // namespace

class FileSizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void itemsMeasureTheirOwnEntry_data();
    void itemsMeasureTheirOwnEntry();
};

void FileSizeTest::itemsMeasureTheirOwnEntry_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("megabytes");
    QTest::addColumn<bool>("printsError");
    QTest::newRow("five megabytes") << "file" << qint64(5242880) << qint64(5) << false;
    QTest::newRow("one byte short of five") << "file" << qint64(5242879) << qint64(4) << false;
    QTest::newRow("beyond 32 bits") << "file" << qint64(5) * 1024 * 1024 * 1024 << qint64(5120) << false;
    QTest::newRow("empty file, silently") << "file" << qint64(0) << qint64(0) << false;
    QTest::newRow("missing, one line") << "missing" << qint64(0) << qint64(0) << true;
    // Not summed, not followed: the folder's own entry, the link's own length (dangling or not).
    QTest::newRow("folder holding 10 MB") << "folder" << qint64(-1) << qint64(0) << false;
    QTest::newRow("link to 3 MB") << "link" << qint64(-1) << qint64(0) << false;
}

void FileSizeTest::itemsMeasureTheirOwnEntry()
{
    QFETCH(QString, item);
    QFETCH(qint64, bytes);
    QFETCH(qint64, megabytes);
    QFETCH(bool, printsError);
    QTemporaryDir dir;
    const QString path = dir.filePath(item);
    if (item == QLatin1String("file")) {
        QVERIFY(makeFileOfSize(path, bytes));
    } else if (item == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
        bytes = QFileInfo(path).size();
        QVERIFY(makeFileOfSize(path + QStringLiteral("/big"), 10 * 1048576));
    } else if (item == QLatin1String("link")) {
        const QByteArray target = QFile::encodeName(dir.filePath(QStringLiteral("a-rather-long-target-name.iso")));
        QVERIFY(makeFileOfSize(QFile::decodeName(target), 3 * 1048576));
        QCOMPARE(::symlink(target.constData(), QFile::encodeName(path).constData()), 0);
        bytes = target.size();
    }

    qint64 measured = -1;
    const QByteArray printed = capturedStandardOutput([&] { measured = fileSize(QUrl::fromLocalFile(path)); });
    QCOMPARE(measured, bytes);
    QCOMPARE(sizeInMegabytes(measured), item == QLatin1String("file") ? megabytes : bytes / 1048576);
    if (printsError) {
        QVERIFY(printed.startsWith("Error getting file size: "));
        QVERIFY(printed.size() > qsizetype(qstrlen("Error getting file size: ")) + 1);
        QCOMPARE(printed.count('\n'), 1);
        QVERIFY(printed.endsWith('\n'));
    } else {
        QVERIFY(printed.isEmpty());
    }
}

QTEST_GUILESS_MAIN(FileSizeTest)
#include "test_file_size.moc"
