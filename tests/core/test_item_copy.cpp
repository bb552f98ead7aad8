// SPDX-License-Identifier: GPL-3.0-or-later
// The staged copy: everything in a folder or bundle, links as links, attributes kept, and the folders
// it is made in, removed whole afterwards.

#include "model/ItemCopy.h"
#include "model/StagingFolder.h"
#include "model/TreeRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat statusOf(const QString& path)
{
    struct stat status { };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

void setModificationTime(const QString& path, time_t seconds)
{
    const struct timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

class ItemCopyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderIsCopiedWholeWithLinksAndAttributes();
    void singleFileIsCopiedWithItsAttributes();
    void existingTargetIsNeverOverwritten();
    void folderIsNeverCopiedIntoItself();
    void socketInsideTheSourceFailsTheCopy();
    void stagingFolderIsPrivateAndRemovedWhole();
    void readOnlyStagedFoldersAreRemovedToo();
};

void ItemCopyTest::folderIsCopiedWholeWithLinksAndAttributes()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("Tool.app"));
    writeFile(source + QStringLiteral("/Contents/MacOS/tool"), "#!/bin/sh\n");
    QFile::setPermissions(source + QStringLiteral("/Contents/MacOS/tool"),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    writeFile(source + QStringLiteral("/.DS_hidden"), "hidden");
    writeFile(source + QStringLiteral("/Résumé 📀.txt"), QByteArray(300000, 'x'));
    QDir().mkpath(source + QStringLiteral("/Empty"));
    QVERIFY(::symlink("Contents/MacOS/tool", QFile::encodeName(source + "/relative").constData()) == 0);
    QVERIFY(::symlink("/nowhere/at/all", QFile::encodeName(source + "/dangling").constData()) == 0);
    QVERIFY(::symlink("Contents", QFile::encodeName(source + "/folder-link").constData()) == 0);
    setModificationTime(source + QStringLiteral("/Contents/MacOS/tool"), 1000000000);
    setModificationTime(source + QStringLiteral("/relative"), 1100000000);
    setModificationTime(source + QStringLiteral("/Contents"), 1200000000);
    setModificationTime(source, 1300000000);

    const QString copy = dir.filePath(QStringLiteral("staging/Tool.app"));
    QDir().mkpath(dir.filePath(QStringLiteral("staging")));
    QString error;
    QVERIFY2(copyItem(source, copy, &error), qPrintable(error));

    QCOMPARE(readFile(copy + QStringLiteral("/.DS_hidden")), QByteArray("hidden"));
    QCOMPARE(readFile(copy + QStringLiteral("/Résumé 📀.txt")), QByteArray(300000, 'x'));
    QVERIFY(QFileInfo(copy + QStringLiteral("/Empty")).isDir());
    QCOMPARE(QFileInfo(copy + QStringLiteral("/relative")).symLinkTarget(),
        QFileInfo(copy + QStringLiteral("/Contents/MacOS/tool")).absoluteFilePath());
    QCOMPARE(
        QFile::encodeName(QFile::symLinkTarget(copy + QStringLiteral("/dangling"))), QByteArray("/nowhere/at/all"));
    QVERIFY(QFileInfo(copy + QStringLiteral("/folder-link")).isSymLink());

    const auto tool = statusOf(copy + QStringLiteral("/Contents/MacOS/tool"));
    QCOMPARE(tool.st_mode & 07777, mode_t(0705));
    QCOMPARE(tool.st_mtim.tv_sec, time_t(1000000000));
    QCOMPARE(statusOf(copy + QStringLiteral("/relative")).st_mtim.tv_sec, time_t(1100000000));
    QCOMPARE(statusOf(copy + QStringLiteral("/Contents")).st_mtim.tv_sec, time_t(1200000000));
    QCOMPARE(statusOf(copy).st_mtim.tv_sec, time_t(1300000000));
    QCOMPARE(statusOf(copy).st_mode & 07777, statusOf(source).st_mode & 07777);
}

void ItemCopyTest::singleFileIsCopiedWithItsAttributes()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("notes.tar.gz"));
    writeFile(source, "archive");
    QFile::setPermissions(source, QFile::ReadOwner);
    setModificationTime(source, 1234567890);

    const QString copy = dir.filePath(QStringLiteral("copy.tar.gz"));
    QVERIFY(copyItem(source, copy));
    QCOMPARE(readFile(copy), QByteArray("archive"));
    QCOMPARE(statusOf(copy).st_mode & 07777, mode_t(0400));
    QCOMPARE(statusOf(copy).st_mtim.tv_sec, time_t(1234567890));
}

void ItemCopyTest::existingTargetIsNeverOverwritten()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("source")), "new");
    writeFile(dir.filePath(QStringLiteral("target")), "old");
    QString error;
    QVERIFY(!copyItem(dir.filePath(QStringLiteral("source")), dir.filePath(QStringLiteral("target")), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(dir.filePath(QStringLiteral("target"))), QByteArray("old"));
}

void ItemCopyTest::folderIsNeverCopiedIntoItself()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("home/file")), "x");
    QDir().mkpath(dir.filePath(QStringLiteral("home/tmp/job")));
    QString error;
    QVERIFY(!copyItem(dir.filePath(QStringLiteral("home")), dir.filePath(QStringLiteral("home/tmp/job/home")), &error));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("home/tmp/job/home"))));
    QVERIFY(!error.isEmpty());
}

void ItemCopyTest::socketInsideTheSourceFailsTheCopy()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("folder/file")), "x");
    const QByteArray socketPath = QFile::encodeName(dir.filePath(QStringLiteral("folder/socket")));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    QString error;
    QVERIFY(!copyItem(dir.filePath(QStringLiteral("folder")), dir.filePath(QStringLiteral("copy")), &error));
    QVERIFY(error.contains(QStringLiteral("socket")));
    ::close(fd);
}

void ItemCopyTest::stagingFolderIsPrivateAndRemovedWhole()
{
    QTemporaryDir temp;
    writeFile(temp.filePath(QStringLiteral("Data")), "someone else's file of the same name");
    QString jobFolder;
    {
        const auto staging = StagingFolder::create(temp.path(), QStringLiteral("Data"));
        QVERIFY(staging);
        jobFolder = staging->jobFolder();
        QCOMPARE(QFileInfo(staging->path()).fileName(), QStringLiteral("Data"));
        QCOMPARE(QFileInfo(staging->path()).absolutePath(), jobFolder);
        QCOMPARE(QFileInfo(jobFolder).absolutePath(), QFileInfo(temp.path()).absoluteFilePath());
        QCOMPARE(statusOf(jobFolder).st_mode & 0777, mode_t(0700));
        writeFile(staging->path() + QStringLiteral("/Data/inner/file"), "staged");

        const auto second = StagingFolder::create(temp.path(), QStringLiteral("Data"));
        QVERIFY(second);
        QVERIFY(second->path() != staging->path());
    }
    QVERIFY(!QFileInfo::exists(jobFolder));
    QCOMPARE(
        QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { QStringLiteral("Data") });
    QCOMPARE(readFile(temp.filePath(QStringLiteral("Data"))), QByteArray("someone else's file of the same name"));
}

void ItemCopyTest::readOnlyStagedFoldersAreRemovedToo()
{
    QTemporaryDir temp;
    const QString locked = temp.filePath(QStringLiteral("tree/locked"));
    writeFile(locked + QStringLiteral("/file"), "x");
    QVERIFY(::symlink("/etc", QFile::encodeName(locked + "/outside").constData()) == 0);
    QCOMPARE(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    QVERIFY(removeTree(QFile::encodeName(temp.filePath(QStringLiteral("tree"))).toStdString()));
    QVERIFY(!QFileInfo::exists(temp.filePath(QStringLiteral("tree"))));
    QVERIFY(QFileInfo(QStringLiteral("/etc")).isDir());
}

QTEST_GUILESS_MAIN(ItemCopyTest)
#include "test_item_copy.moc"
