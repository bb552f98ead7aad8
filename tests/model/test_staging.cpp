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
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace TestFiles;
using namespace Qt::StringLiterals;

namespace {

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
    void folderIsStagedWholeWithFewDescriptorsAndLinkedWhereItCanBe();
    void linkSourceIsStagedAsWhatItPointsTo();
    void copiesStaySparseAndMeetTheSizeLimitWithAReason();
    void copiesGoToDiskWithRoomNeverIntoTheSource();
    void jobFoldersGoOnlyWhereTheyShouldAndOnlyDeadOnesAreSwept();
};

void StagingTest::folderIsStagedWholeWithFewDescriptorsAndLinkedWhereItCanBe()
{
    QTemporaryDir scratch;
    const QString source = scratch.filePath(u"Data"_s);
    writeFile(source + u"/file"_s, "bytes");
    writeFile(source + u"/.hidden"_s, "h");
    writeFile(source + u"/locked/inner"_s, "i");
    // Deeper than the descriptors allow, were staging or removal to hold one per level.
    writeFile(source + QString(u"/d"_s).repeated(1100) + u"/leaf"_s, "leaf");
    const auto fewDescriptors = lowered(RLIMIT_NOFILE, 64);
    QVERIFY(QFile::link(u"file"_s, source + u"/relative"_s));
    QCOMPARE(::mkfifo(QFile::encodeName(source + u"/pipe"_s).constData(), 0600), 0);
    QVERIFY(makeSocket(source + u"/socket"_s));
    int specials = 1;
    if (::mknod(QFile::encodeName(source + u"/null"_s).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        ++specials;
    QCOMPARE(::chmod(QFile::encodeName(source + u"/file"_s).constData(), 0640), 0);
    QCOMPARE(::chmod(QFile::encodeName(source + u"/locked"_s).constData(), 0500), 0);
    const struct stat fileBefore = statusOf(source + u"/file"_s);

    const QString staged = scratch.filePath(u"staged"_s);
    StagingControl control;
    StagingTally tally;
    QCOMPARE(stageItem(source, staged, control, tally), std::nullopt);

    QCOMPARE(readFile(staged + u"/file"_s) + readFile(staged + u"/.hidden"_s) + readFile(staged + u"/locked/inner"_s),
        QByteArray("byteshi"));
    QCOMPARE(QFileInfo(staged + u"/relative"_s).symLinkTarget(), staged + u"/file"_s);
    QVERIFY(S_ISFIFO(statusOf(staged + u"/pipe"_s).st_mode) && statusOf(staged + u"/locked"_s).st_mode % 01000 == 0500);
    QVERIFY(!QFileInfo::exists(staged + u"/socket"_s) && !QFileInfo::exists(staged + u"/null"_s));
    QCOMPARE(tally.leftOut, specials);
    // One file system: every file is the source's own inode, untouched by staging.
    QCOMPARE(tally.copied, 0);
    QCOMPARE(tally.cloned + tally.linked, 4);
    const struct stat fileAfter = statusOf(source + u"/file"_s);
    QVERIFY(fileAfter.st_mode == fileBefore.st_mode && fileAfter.st_mtim.tv_nsec == fileBefore.st_mtim.tv_nsec);

    // Removal unlinks the staged names only, also below a read-only folder.
    QVERIFY(removeTree(QFile::encodeName(staged).toStdString()));
    QVERIFY(!QFileInfo::exists(staged));
    QCOMPARE(readFile(source + u"/file"_s) + readFile(source + u"/locked/inner"_s), QByteArray("bytesi"));
}

void StagingTest::linkSourceIsStagedAsWhatItPointsTo()
{
    QTemporaryDir scratch;
    writeFile(scratch.filePath(u"Photos/a.jpg"_s), "jpeg");
    QVERIFY(QFile::link(scratch.filePath(u"Photos"_s), scratch.filePath(u"PhotosLink"_s)));
    QVERIFY(QFile::link(scratch.filePath(u"LoopB"_s), scratch.filePath(u"LoopA"_s)));
    QVERIFY(QFile::link(scratch.filePath(u"LoopA"_s), scratch.filePath(u"LoopB"_s)));
    StagingControl control;
    StagingTally tally;

    const QString staged = scratch.filePath(u"staged/PhotosLink"_s);
    QDir().mkpath(scratch.filePath(u"staged"_s));
    QCOMPARE(stageItem(scratch.filePath(u"PhotosLink"_s), staged, control, tally), std::nullopt);
    QVERIFY(S_ISDIR(statusOf(staged).st_mode));
    QCOMPARE(readFile(staged + u"/a.jpg"_s), QByteArray("jpeg"));

    const auto error = stageItem(scratch.filePath(u"LoopA"_s), scratch.filePath(u"staged/LoopA"_s), control, tally);
    QVERIFY(error && error->contains(u"cannot follow the link"_s));
}

void StagingTest::copiesStaySparseAndMeetTheSizeLimitWithAReason()
{
    QTemporaryDir scratch;
    // Another file system than the scratch area, so staging there has to copy.
    const QTemporaryDir other(u"/dev/shm/velbrook-test-XXXXXX"_s);
    if (!other.isValid() || statusOf(other.path()).st_dev == statusOf(scratch.path()).st_dev)
        QSKIP("needs /dev/shm on a file system of its own");
    const QString elsewhere = other.path();
    const QString source = scratch.filePath(u"disk.img"_s);
    constexpr qint64 apparentSize = 200 << 20;
    QFile file(source);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.seek(apparentSize - 4) && file.write("tail") == 4);
    file.close();
    StagingControl control;
    StagingTally tally;
    QCOMPARE(stageItem(source, elsewhere + u"/disk.img"_s, control, tally), std::nullopt);
    const struct stat status = statusOf(elsewhere + u"/disk.img"_s);
    QVERIFY(tally.copied == 1 && qint64(status.st_size) == apparentSize && status.st_blocks * 512 < (1 << 20));
    QCOMPARE(readFile(elsewhere + u"/disk.img"_s).right(8), QByteArray("\0\0\0\0tail", 8));

    // As in the application: a write beyond the file-size limit fails with a reason instead of killing.
    writeFile(scratch.filePath(u"big"_s), QByteArray(1 << 20, 'b'));
    StopSignals signalsAsInTheApplication;
    std::optional<QString> error;
    {
        const auto smallFiles = lowered(RLIMIT_FSIZE, 4096);
        error = stageItem(scratch.filePath(u"big"_s), elsewhere + u"/big"_s, control, tally);
    }
    QVERIFY(error && error->contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
}

void StagingTest::copiesGoToDiskWithRoomNeverIntoTheSource()
{
    QTemporaryDir scratch;
    const QString ram = scratch.filePath(u"ram"_s), stick = scratch.filePath(u"stick"_s);
    QDir().mkpath(ram), QDir().mkpath(stick);
    // A private mount namespace, so the RAM-backed temporary folder and the stick are this process's alone.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("velbrook-test", QFile::encodeName(ram).constData(), "tmpfs", 0, "size=1m") != 0
        || ::mount("velbrook-test", QFile::encodeName(stick).constData(), "tmpfs", 0, "size=8m") != 0)
        QSKIP("needs to mount small file systems (root)");
    const auto unmount = qScopeGuard([&] {
        ::umount(QFile::encodeName(ram).constData()), ::umount(QFile::encodeName(stick).constData());
        qunsetenv("TMPDIR"), qunsetenv("XDG_CACHE_HOME");
    });
    writeFile(stick + u"/Data/big"_s, QByteArray(4 << 20, 'b'));
    writeFile(scratch.filePath(u"home/Data/small"_s), "s");
    QDir().mkpath(scratch.filePath(u"destination"_s));
    StagingControl control;
    const auto stage = [&](const QString& source, const QString& cache) {
        qputenv("TMPDIR", QFile::encodeName(ram));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        control.bytesCopied = 0;
        return stageSource(source, scratch.filePath(u"destination"_s), control);
    };

    // From a stick: the disk's cache folder, although the temporary folder is RAM, and too small; the copy says
    // how far it has got.
    const StagingResult fromStick = stage(stick + u"/Data"_s, scratch.filePath(u"cache"_s));
    QVERIFY2(fromStick.jobFolder && fromStick.jobFolder->stagingPath().startsWith(scratch.filePath(u"cache/"_s))
            && fromStick.tally.copied && control.bytesCopied == 4 << 20 && control.bytesToCopy >= 4 << 20,
        qPrintable(fromStick.error));
    // Nowhere with room: every place tried, and nothing copied.
    const StagingResult nowhere = stage(stick + u"/Data"_s, ram);
    QVERIFY2(!nowhere.jobFolder && nowhere.tally.copied == 0
            && nowhere.error.startsWith(u"staging needs 4 MB, but only 1 MB in "_s + ram + u"/"_s)
            && nowhere.error.endsWith(u", 1 MB in "_s + ram + u" are free"_s),
        qPrintable(nowhere.error));
    // The home folder with its cache folder inside: copied to the temporary folder, and nothing made inside it.
    const QString home = scratch.filePath(u"home"_s);
    const StagingResult fromHome = stage(home, home + u"/.cache"_s);
    QVERIFY2(fromHome.jobFolder && fromHome.jobFolder->stagingPath().startsWith(ram), qPrintable(fromHome.error));
    QCOMPARE(QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList { u"Data"_s });
}

void StagingTest::jobFoldersGoOnlyWhereTheyShouldAndOnlyDeadOnesAreSwept()
{
    QTemporaryDir scratch;
    const QString temp = scratch.path();
    for (const QString& name : { QString(), u"."_s, u".."_s, u"a/b"_s }) {
        QString error;
        QVERIFY(!JobFolder::create(temp, name, &error) && !error.isEmpty());
    }
    QVERIFY(QDir(temp).isEmpty());
    // Never the working directory, whatever TMPDIR says.
    const QByteArray saved = qgetenv("TMPDIR");
    for (const QByteArray& unusable : { QByteArray("relative/tmp"), QByteArray("/no/such/folder"), QByteArray() }) {
        qputenv("TMPDIR", unusable);
        QCOMPARE(temporaryDirectory(), u"/tmp"_s);
    }
    qputenv("TMPDIR", QFile::encodeName(temp));
    QCOMPARE(temporaryDirectory(), temp);
    qputenv("TMPDIR", saved);

    writeFile(temp + u"/velbrook-job-dead01/Data/Data/file"_s, "x");
    QCOMPARE(::chmod(QFile::encodeName(temp + u"/velbrook-job-dead01/Data/Data"_s).constData(), 0500), 0);
    writeFile(temp + u"/velbrook-job-file"_s, "not a folder");
    writeFile(temp + u"/velbrook-other/keep"_s, "not a job");
    writeFile(temp + u"/velbrook-job-held01/keep"_s, "someone is on it");
    const int held = ::open(QFile::encodeName(temp + u"/velbrook-job-held01"_s).constData(), O_RDONLY);
    QCOMPARE(::flock(held, LOCK_EX), 0);
    const auto live = JobFolder::create(temp, u"Live"_s);
    QCOMPARE(removeStaleJobFolders(temp), 1);
    ::close(held);
    QVERIFY(!QFileInfo::exists(temp + u"/velbrook-job-dead01"_s) && live && QFileInfo::exists(live->stagingPath()));
    for (const QString& kept : { u"velbrook-job-file"_s, u"velbrook-other/keep"_s, u"velbrook-job-held01/keep"_s })
        QVERIFY2(QFileInfo::exists(temp + u'/' + kept), qPrintable(kept));
}

QTEST_GUILESS_MAIN(StagingTest)
#include "test_staging.moc"
