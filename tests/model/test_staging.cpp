// SPDX-License-Identifier: GPL-3.0-or-later
// Staging a source: what the staged tree holds, how it is made, where it goes, and that it always goes again.

#include "TestFiles.h"
#include "common/StopSignals.h"
#include "model/JobFolder.h"
#include "model/SourceStaging.h"
#include "model/StagedCopy.h"
#include "model/TreeRemoval.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace TestFiles;

namespace {

struct stat statusOf(const QString& path)
{
    struct stat status { };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

void makeSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::strncpy(address.sun_path, encoded.constData(), sizeof(address.sun_path) - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

// Lowers a resource limit until the returned guard goes.
auto lowered(int resource, rlim_t soft)
{
    rlimit saved {};
    ::getrlimit(resource, &saved);
    rlimit limit = saved;
    limit.rlim_cur = soft;
    ::setrlimit(resource, &limit);
    return qScopeGuard([resource, saved] { ::setrlimit(resource, &saved); });
}

} // namespace

class StagingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderIsStagedWholeAndLinkedWhereItCanBe();
    void linkSourceIsStagedAsWhatItPointsTo();
    void copiesStaySparseAndMeetTheSizeLimitWithAReason();
    void tooSmallTemporaryFolderFailsAtOnce();
    void deepTreesNeedFewDescriptors();
    void onlyDeadJobFoldersAreSwept();
    void jobFoldersGoOnlyWhereTheyCan();
};

void StagingTest::folderIsStagedWholeAndLinkedWhereItCanBe()
{
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("Data"));
    writeFile(source + QStringLiteral("/file"), "bytes");
    writeFile(source + QStringLiteral("/.hidden"), "h");
    writeFile(source + QStringLiteral("/locked/inner"), "i");
    QVERIFY(QFile::link(QStringLiteral("file"), source + QStringLiteral("/relative")));
    QCOMPARE(::mkfifo(QFile::encodeName(source + QStringLiteral("/pipe")).constData(), 0600), 0);
    makeSocket(source + QStringLiteral("/socket"));
    int specials = 1;
    if (::mknod(QFile::encodeName(source + QStringLiteral("/null")).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        ++specials;
    QCOMPARE(::chmod(QFile::encodeName(source + QStringLiteral("/file")).constData(), 0640), 0);
    QCOMPARE(::chmod(QFile::encodeName(source + QStringLiteral("/locked")).constData(), 0500), 0);
    const struct stat fileBefore = statusOf(source + QStringLiteral("/file"));

    const QString staged = scratch.filePath(QStringLiteral("staged"));
    std::atomic<bool> stop { false };
    StagingTally tally;
    QCOMPARE(stageItem(source, staged, stop, tally), std::nullopt);

    QCOMPARE(readFile(staged + QStringLiteral("/file")), QByteArray("bytes"));
    QCOMPARE(readFile(staged + QStringLiteral("/.hidden")), QByteArray("h"));
    QCOMPARE(readFile(staged + QStringLiteral("/locked/inner")), QByteArray("i"));
    QCOMPARE(QFileInfo(staged + QStringLiteral("/relative")).symLinkTarget(), staged + QStringLiteral("/file"));
    QVERIFY(S_ISFIFO(statusOf(staged + QStringLiteral("/pipe")).st_mode));
    QVERIFY(!QFileInfo::exists(staged + QStringLiteral("/socket")));
    QVERIFY(!QFileInfo::exists(staged + QStringLiteral("/null")));
    QCOMPARE(tally.leftOut, specials);
    QCOMPARE(statusOf(staged + QStringLiteral("/locked")).st_mode & 07777, 0500u);
    // One file system: every file is the source's own inode, untouched by staging.
    QCOMPARE(tally.copied, 0);
    QCOMPARE(tally.cloned + tally.linked, 3);
    const struct stat fileAfter = statusOf(source + QStringLiteral("/file"));
    QCOMPARE(fileAfter.st_mode, fileBefore.st_mode);
    QCOMPARE(fileAfter.st_mtim.tv_nsec, fileBefore.st_mtim.tv_nsec);

    // Removal unlinks the staged names only, also below a read-only folder.
    QVERIFY(removeTree(QFile::encodeName(staged).toStdString()));
    QVERIFY(!QFileInfo::exists(staged));
    QCOMPARE(readFile(source + QStringLiteral("/file")), QByteArray("bytes"));
    QCOMPARE(readFile(source + QStringLiteral("/locked/inner")), QByteArray("i"));
}

void StagingTest::linkSourceIsStagedAsWhatItPointsTo()
{
    QTemporaryDir scratch;
    writeFile(scratch.filePath(QStringLiteral("Photos/a.jpg")), "jpeg");
    QVERIFY(QFile::link(scratch.filePath(QStringLiteral("Photos")), scratch.filePath(QStringLiteral("PhotosLink"))));
    QVERIFY(QFile::link(scratch.filePath(QStringLiteral("nowhere")), scratch.filePath(QStringLiteral("Dangling"))));
    QVERIFY(QFile::link(scratch.filePath(QStringLiteral("LoopB")), scratch.filePath(QStringLiteral("LoopA"))));
    QVERIFY(QFile::link(scratch.filePath(QStringLiteral("LoopA")), scratch.filePath(QStringLiteral("LoopB"))));
    std::atomic<bool> stop { false };
    StagingTally tally;

    const QString staged = scratch.filePath(QStringLiteral("staged/PhotosLink"));
    QDir().mkpath(scratch.filePath(QStringLiteral("staged")));
    QCOMPARE(stageItem(scratch.filePath(QStringLiteral("PhotosLink")), staged, stop, tally), std::nullopt);
    QVERIFY(S_ISDIR(statusOf(staged).st_mode));
    QCOMPARE(readFile(staged + QStringLiteral("/a.jpg")), QByteArray("jpeg"));

    for (const char* name : { "Dangling", "LoopA" }) {
        const auto error = stageItem(scratch.filePath(QString::fromLatin1(name)),
            scratch.filePath(QStringLiteral("staged/")) + QString::fromLatin1(name), stop, tally);
        QVERIFY(error && error->contains(QLatin1String("cannot follow the link")));
    }
}

void StagingTest::copiesStaySparseAndMeetTheSizeLimitWithAReason()
{
    QTemporaryDir scratch;
    // Another file system than the scratch area, so staging there has to copy.
    const QTemporaryDir other(QStringLiteral("/dev/shm/velbrook-test-XXXXXX"));
    if (!other.isValid() || statusOf(other.path()).st_dev == statusOf(scratch.path()).st_dev)
        QSKIP("needs /dev/shm on a file system of its own");
    const QString elsewhere = other.path();
    const QString source = scratch.filePath(QStringLiteral("disk.img"));
    constexpr qint64 apparentSize = 200 << 20;
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.seek(apparentSize - 4) && file.write("tail") == 4);
    file.close();
    std::atomic<bool> stop { false };
    StagingTally tally;
    QCOMPARE(stageItem(source, elsewhere + QStringLiteral("/disk.img"), stop, tally), std::nullopt);
    QCOMPARE(tally.copied, 1);
    const struct stat status = statusOf(elsewhere + QStringLiteral("/disk.img"));
    QCOMPARE(qint64(status.st_size), apparentSize);
    QVERIFY(qint64(status.st_blocks) * 512 < (1 << 20));
    QCOMPARE(readFile(elsewhere + QStringLiteral("/disk.img")).right(8), QByteArray("\0\0\0\0tail", 8));

    // As in the application: a write beyond the file-size limit fails with a reason instead of killing.
    writeFile(scratch.filePath(QStringLiteral("big")), QByteArray(1 << 20, 'b'));
    StopSignals signalsAsInTheApplication;
    std::optional<QString> error;
    {
        const auto smallFiles = lowered(RLIMIT_FSIZE, 4096);
        error = stageItem(scratch.filePath(QStringLiteral("big")), elsewhere + QStringLiteral("/big"), stop, tally);
    }
    QVERIFY(error && error->contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
}

void StagingTest::tooSmallTemporaryFolderFailsAtOnce()
{
    QTemporaryDir scratch;
    const QString small = scratch.filePath(QStringLiteral("small"));
    QDir().mkpath(small);
    // A private mount namespace, so the small file system is this process's alone.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("velbrook-test", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1m") != 0)
        QSKIP("needs to mount a small file system (root)");
    writeFile(scratch.filePath(QStringLiteral("Data/big")), QByteArray(4 << 20, 'b'));
    QDir().mkpath(scratch.filePath(QStringLiteral("destination")));
    qputenv("TMPDIR", QFile::encodeName(small));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(small));

    std::atomic<bool> stop { false };
    const StagingResult result
        = stageSource(scratch.filePath(QStringLiteral("Data")), scratch.filePath(QStringLiteral("destination")), stop);
    ::umount(QFile::encodeName(small).constData());
    qunsetenv("TMPDIR");
    qunsetenv("XDG_CACHE_HOME");
    QVERIFY(!result.jobFolder);
    QVERIFY2(result.error.contains(QStringLiteral("staging needs 4 MB in ") + small), qPrintable(result.error));
    QCOMPARE(result.tally.copied, 0);
}

void StagingTest::deepTreesNeedFewDescriptors()
{
    QTemporaryDir scratch;
    QString deepest = scratch.filePath(QStringLiteral("Deep"));
    for (int level = 0; level < 1100; ++level)
        deepest += QStringLiteral("/d");
    writeFile(deepest + QStringLiteral("/leaf"), "leaf");
    const auto fewDescriptors = lowered(RLIMIT_NOFILE, 64);
    std::atomic<bool> stop { false };
    StagingTally tally;
    const QString staged = scratch.filePath(QStringLiteral("staged"));
    QCOMPARE(stageItem(scratch.filePath(QStringLiteral("Deep")), staged, stop, tally), std::nullopt);
    QCOMPARE(tally.cloned + tally.linked + tally.copied, 1);
    QVERIFY(removeTree(QFile::encodeName(staged).toStdString()));
    QVERIFY(!QFileInfo::exists(staged));
}

void StagingTest::onlyDeadJobFoldersAreSwept()
{
    QTemporaryDir scratch;
    const QString temp = scratch.path();
    writeFile(temp + QStringLiteral("/velbrook-job-dead01/Data/Data/file"), "x");
    QCOMPARE(::chmod(QFile::encodeName(temp + QStringLiteral("/velbrook-job-dead01/Data/Data")).constData(), 0500), 0);
    writeFile(temp + QStringLiteral("/velbrook-job-file"), "not a folder");
    writeFile(temp + QStringLiteral("/velbrook-other/keep"), "not a job");
    writeFile(temp + QStringLiteral("/velbrook-job-held01/keep"), "someone is on it");
    const int held = ::open(QFile::encodeName(temp + QStringLiteral("/velbrook-job-held01")).constData(), O_RDONLY);
    QCOMPARE(::flock(held, LOCK_EX), 0);
    const auto live = JobFolder::create(temp, QStringLiteral("Live"));
    QVERIFY(live);

    QCOMPARE(removeStaleJobFolders(temp), 1);
    ::close(held);
    QVERIFY(!QFileInfo::exists(temp + QStringLiteral("/velbrook-job-dead01")));
    QVERIFY(QFileInfo::exists(temp + QStringLiteral("/velbrook-job-file")));
    QVERIFY(QFileInfo::exists(temp + QStringLiteral("/velbrook-other/keep")));
    QVERIFY(QFileInfo::exists(temp + QStringLiteral("/velbrook-job-held01/keep")));
    QVERIFY(QFileInfo::exists(live->stagingPath()));
}

void StagingTest::jobFoldersGoOnlyWhereTheyCan()
{
    QTemporaryDir scratch;
    for (const QString& name : { QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b") }) {
        QString error;
        QVERIFY(!JobFolder::create(scratch.path(), name, &error));
        QVERIFY(!error.isEmpty());
    }
    QVERIFY(QDir(scratch.path()).isEmpty());

    // Never the working directory, whatever TMPDIR says.
    const QByteArray saved = qgetenv("TMPDIR");
    const QList<QPair<QByteArray, QString>> cases { { QFile::encodeName(scratch.path()), scratch.path() },
        { "relative/tmp", QStringLiteral("/tmp") }, { "/no/such/folder", QStringLiteral("/tmp") },
        { QByteArray(), QStringLiteral("/tmp") } };
    for (const auto& [variable, expected] : cases) {
        qputenv("TMPDIR", variable);
        QCOMPARE(temporaryDirectory(), expected);
    }
    qputenv("TMPDIR", saved);
}

QTEST_GUILESS_MAIN(StagingTest)
#include "test_staging.moc"
