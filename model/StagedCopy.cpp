// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StagedCopy.h"

#include "common/ChildPath.h"
#include "common/UniqueFd.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct StagingFailure {
    const char* what; // a text to translate, with the path as %1
    std::string path;
    int error = 0; // errno, or none
};
struct Stopped { };

// Large enough to keep the kernel busy, small enough that a cancel is noticed at once.
constexpr size_t copyChunk = 16 << 20;

[[noreturn]] void fail(const char* what, const std::string& path, int error = errno)
{
    throw StagingFailure { what, path, error };
}

std::vector<std::string> entryNames(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot open %1"), folder);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot read %1"), folder, readError);
    return names;
}

class Stager {
public:
    Stager(StagingControl& control, StagingTally& tally)
        : m_control(control)
        , m_tally(tally)
    { }

    void stageEntry(const std::string& from, const std::string& to, const struct stat& status)
    {
        if (m_control.stop.load(std::memory_order_relaxed))
            throw Stopped {};
        if (S_ISLNK(status.st_mode))
            stageLink(from, to, status);
        else if (S_ISDIR(status.st_mode))
            stageFolder(from, to, status);
        else if (S_ISREG(status.st_mode))
            stageFile(from, to, status);
        else if (S_ISFIFO(status.st_mode))
            stageFifo(from, to, status);
        else
            ++m_tally.leftOut;
    }

private:
    void stageFolder(const std::string& from, const std::string& to, const struct stat& status)
    {
        // Owner-writable while it fills; the source's own permissions are set once everything is in.
        if (::mkdir(to.c_str(), 0700) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot create %1"), to);
        for (const auto& name : entryNames(from)) {
            const std::string child = childPath(from, name);
            struct stat childStatus { };
            if (::lstat(child.c_str(), &childStatus) != 0)
                fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot examine %1"), child);
            stageEntry(child, childPath(to, name), childStatus);
        }
        if (::chmod(to.c_str(), status.st_mode & 07777) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot set the permissions of %1"), to);
        setTimes(to, status, 0);
    }

    void stageFile(const std::string& from, const std::string& to, const struct stat& status)
    {
        if (m_tryClone && clone(from, to, status)) {
            ++m_tally.cloned;
            return;
        }
        // A hard link shares the source's inode: safe because nothing but reading ever happens to a staged file.
        if (m_tryLink) {
            if (::link(from.c_str(), to.c_str()) == 0) {
                ++m_tally.linked;
                return;
            }
            if (errno == EEXIST)
                fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot create %1"), to);
            // Another file system never starts working; refusals such as protected_hardlinks are per file.
            if (errno == EXDEV)
                m_tryLink = false;
        }
        copy(from, to, status);
        ++m_tally.copied;
    }

    bool clone(const std::string& from, const std::string& to, const struct stat& status)
    {
        auto [in, out] = openPair(from, to);
        if (::ioctl(out.get(), FICLONE, in.get()) != 0) {
            // File systems without reflinks say so for every file; ask once.
            m_tryClone = false;
            out.reset();
            ::unlink(to.c_str());
            return false;
        }
        finishFile(std::move(out), to, status);
        return true;
    }

    void copy(const std::string& from, const std::string& to, const struct stat& status)
    {
        auto [in, out] = openPair(from, to);
        copyData(in.get(), out.get(), status.st_size, from, to);
        if (::ftruncate(out.get(), status.st_size) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot write %1"), to);
        finishFile(std::move(out), to, status);
    }

    // The source to read and a new private file to fill; the file's own permissions come once it is complete.
    static std::pair<UniqueFd, UniqueFd> openPair(const std::string& from, const std::string& to)
    {
        UniqueFd in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!in.valid())
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot open %1"), from);
        UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!out.valid())
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot create %1"), to);
        return { std::move(in), std::move(out) };
    }

    // Copies only the parts that hold data, so holes stay holes.
    void copyData(int in, int out, off_t size, const std::string& from, const std::string& to)
    {
        off_t position = 0;
        while (position < size) {
            off_t data = ::lseek(in, position, SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                return; // a hole up to the end
            if (data < 0)
                data = position; // no hole support: copy everything
            off_t hole = ::lseek(in, data, SEEK_HOLE);
            if (hole < 0 || hole > size)
                hole = size;
            copyRange(in, out, data, hole - data, from, to);
            position = hole;
        }
    }

    void copyRange(int in, int out, off_t start, off_t length, const std::string& from, const std::string& to)
    {
        off_t inOffset = start;
        off_t outOffset = start;
        while (length > 0) {
            if (m_control.stop.load(std::memory_order_relaxed))
                throw Stopped {};
            const size_t want = size_t(std::min<off_t>(length, off_t(copyChunk)));
            ssize_t n = -1;
            if (m_tryKernelCopy) {
                n = ::copy_file_range(in, &inOffset, out, &outOffset, want, 0);
                if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                    m_tryKernelCopy = false;
                    continue;
                }
                if (n < 0)
                    fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot write %1"), to);
            } else {
                n = copyThroughBuffer(in, out, inOffset, want, from, to);
                inOffset += n;
                outOffset += n;
            }
            if (n == 0)
                return; // the file shrank while it was staged; the image tool will notice
            length -= n;
            m_control.bytesCopied.fetch_add(n, std::memory_order_relaxed);
        }
    }

    ssize_t copyThroughBuffer(
        int in, int out, off_t offset, size_t want, const std::string& from, const std::string& to)
    {
        m_buffer.resize(std::min(want, size_t(1 << 20)));
        const ssize_t n = ::pread(in, m_buffer.data(), m_buffer.size(), offset);
        if (n < 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot read %1"), from);
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::pwrite(out, m_buffer.data() + written, size_t(n - written), offset + written);
            if (w < 0 && errno != EINTR)
                fail(errno == EFBIG ? QT_TRANSLATE_NOOP("StagedCopy", "the file size limit stops writing %1")
                                    : QT_TRANSLATE_NOOP("StagedCopy", "cannot write %1"),
                    to);
            if (w > 0)
                written += w;
        }
        return n;
    }

    static void finishFile(UniqueFd out, const std::string& to, const struct stat& status)
    {
        if (::fchmod(out.get(), status.st_mode & 07777) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot set the permissions of %1"), to);
        const struct timespec times[2] = { status.st_atim, status.st_mtim };
        if (::futimens(out.get(), times) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot set the times of %1"), to);
        if (::close(out.release()) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot write %1"), to);
    }

    static void stageLink(const std::string& from, const std::string& to, const struct stat& status)
    {
        std::string target(size_t(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, '\0');
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot read the link %1"), from);
        target.resize(size_t(length));
        if (::symlink(target.c_str(), to.c_str()) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot create %1"), to);
        setTimes(to, status, AT_SYMLINK_NOFOLLOW);
    }

    static void stageFifo(const std::string&, const std::string& to, const struct stat& status)
    {
        if (::mkfifo(to.c_str(), status.st_mode & 07777) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot create %1"), to);
        setTimes(to, status, 0);
    }

    static void setTimes(const std::string& path, const struct stat& status, int flags)
    {
        const struct timespec times[2] = { status.st_atim, status.st_mtim };
        if (::utimensat(AT_FDCWD, path.c_str(), times, flags) != 0)
            fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot set the times of %1"), path);
    }

    StagingControl& m_control;
    StagingTally& m_tally;
    bool m_tryClone = true;
    bool m_tryLink = true;
    bool m_tryKernelCopy = true;
    std::vector<char> m_buffer;
};

bool isInside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// What a source names: a link is followed to what it points to, so the image holds content, not a link.
std::string resolvedSource(const QString& from, struct stat& status)
{
    std::string path = QFile::encodeName(from).toStdString();
    if (::lstat(path.c_str(), &status) != 0)
        fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot open %1"), path);
    if (!S_ISLNK(status.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved) || ::stat(resolved, &status) != 0)
        fail(QT_TRANSLATE_NOOP("StagedCopy", "cannot follow the link %1"), path);
    return resolved;
}

} // namespace

QString StagingTally::methods() const
{
    QStringList used;
    if (cloned > 0)
        used << QStringLiteral("clone");
    if (linked > 0)
        used << QStringLiteral("hard link");
    if (copied > 0)
        used << QStringLiteral("copy");
    return used.isEmpty() ? QStringLiteral("none") : used.join(QStringLiteral(" + "));
}

std::optional<QString> stageItem(const QString& from, const QString& to, StagingControl& control, StagingTally& tally)
{
    try {
        struct stat status { };
        const std::string source = resolvedSource(from, status);
        if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode))
            throw StagingFailure {
                QT_TRANSLATE_NOOP("StagedCopy", "cannot export %1: only files, folders and bundles can be"), source
            };
        const QString canonicalTargetFolder = QFileInfo(QFileInfo(to).absolutePath()).canonicalFilePath();
        if (S_ISDIR(status.st_mode) && isInside(canonicalTargetFolder, QFile::decodeName(source.c_str())))
            throw StagingFailure { QT_TRANSLATE_NOOP("StagedCopy", "cannot copy %1 into itself"), source };
        Stager(control, tally).stageEntry(source, QFile::encodeName(to).toStdString(), status);
        return std::nullopt;
    } catch (const Stopped&) {
        return std::nullopt;
    } catch (const StagingFailure& failure) {
        const QString text
            = QCoreApplication::translate("StagedCopy", failure.what).arg(QFile::decodeName(failure.path.c_str()));
        if (failure.error == 0)
            return text;
        return QCoreApplication::translate("StagedCopy", "%1: %2")
            .arg(text, QString::fromLocal8Bit(std::strerror(failure.error)));
    }
}

namespace {

qint64 allocatedBytes(const std::string& path, const struct stat& status, const std::atomic<bool>& stop)
{
    if (stop.load(std::memory_order_relaxed))
        return 0;
    if (S_ISREG(status.st_mode))
        return qint64(status.st_blocks) * 512;
    if (!S_ISDIR(status.st_mode))
        return 0;
    std::vector<std::string> names;
    try {
        names = entryNames(path);
    } catch (const StagingFailure&) {
        return 0; // staging itself will report it
    }
    qint64 total = 0;
    for (const auto& name : names) {
        const std::string child = childPath(path, name);
        struct stat childStatus { };
        if (::lstat(child.c_str(), &childStatus) == 0)
            total += allocatedBytes(child, childStatus, stop);
    }
    return total;
}

} // namespace

qint64 copySize(const QString& path, const std::atomic<bool>& stop)
{
    const std::string encoded = QFile::encodeName(path).toStdString();
    struct stat status { };
    if (::stat(encoded.c_str(), &status) != 0)
        return 0;
    return allocatedBytes(encoded, status, stop);
}
