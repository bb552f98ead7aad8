// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ItemCopy.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct CopyFailure {
    std::string what;
};

[[noreturn]] void fail(const std::string& action, const std::string& path, int error = errno)
{
    throw CopyFailure { action + " " + path + ": " + std::strerror(error) };
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return m_fd; }
    [[nodiscard]] int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

void setTimes(const std::string& path, const struct stat& status, int flags)
{
    const struct timespec times[2] = { status.st_atim, status.st_mtim };
    if (::utimensat(AT_FDCWD, path.c_str(), times, flags) != 0)
        fail("cannot set the times of", path);
}

// In-kernel copy where the file systems allow it (no round trip through user space, reflinks on some).
bool copyBytesInKernel(int in, int out, off_t size, const std::string& to)
{
    off_t copied = 0;
    while (copied < size) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(size - copied), 0);
        if (n < 0) {
            if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
                return false;
            fail("cannot write", to);
        }
        if (n == 0)
            break; // the file shrank while it was copied; the rest is copied by the read loop
        copied += n;
    }
    return true;
}

void copyBytesThroughBuffer(int in, int out, const std::string& from, const std::string& to)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot read", from);
        }
        if (n == 0)
            return;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer.data() + written, size_t(n - written));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                fail("cannot write", to);
            }
            written += w;
        }
    }
}

void copyFile(const std::string& from, const std::string& to, const struct stat& status)
{
    FileDescriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0)
        fail("cannot open", from);
    FileDescriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0)
        fail("cannot create", to);
    if (!copyBytesInKernel(in.get(), out.get(), status.st_size, to) || ::lseek(in.get(), 0, SEEK_CUR) < status.st_size)
        copyBytesThroughBuffer(in.get(), out.get(), from, to);
    if (::fchmod(out.get(), status.st_mode & 07777) != 0)
        fail("cannot set the permissions of", to);
    const struct timespec times[2] = { status.st_atim, status.st_mtim };
    if (::futimens(out.get(), times) != 0)
        fail("cannot set the times of", to);
    if (::close(out.release()) != 0)
        fail("cannot write", to);
}

void copyLink(const std::string& from, const std::string& to, const struct stat& status)
{
    std::string target(size_t(status.st_size > 0 ? status.st_size : PATH_MAX) + 1, '\0');
    const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
    if (length < 0)
        fail("cannot read the link", from);
    target.resize(size_t(length));
    if (::symlink(target.c_str(), to.c_str()) != 0)
        fail("cannot create", to);
    setTimes(to, status, AT_SYMLINK_NOFOLLOW);
}

void copyEntry(const std::string& from, const std::string& to);

void copyFolder(const std::string& from, const std::string& to, const struct stat& status)
{
    // Owner-writable while it fills; the source's own permissions are set once everything is in.
    if (::mkdir(to.c_str(), 0700) != 0)
        fail("cannot create", to);
    DIR* dir = ::opendir(from.c_str());
    if (!dir)
        fail("cannot open", from);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0)
        fail("cannot read", from, readError);
    for (const auto& name : names)
        copyEntry(from + '/' + name, to + '/' + name);
    if (::chmod(to.c_str(), status.st_mode & 07777) != 0)
        fail("cannot set the permissions of", to);
    setTimes(to, status, 0);
}

void copyEntry(const std::string& from, const std::string& to)
{
    struct stat status { };
    if (::lstat(from.c_str(), &status) != 0)
        fail("cannot examine", from);
    if (S_ISLNK(status.st_mode))
        copyLink(from, to, status);
    else if (S_ISDIR(status.st_mode))
        copyFolder(from, to, status);
    else if (S_ISREG(status.st_mode))
        copyFile(from, to, status);
    else if (S_ISFIFO(status.st_mode)) {
        if (::mkfifo(to.c_str(), status.st_mode & 07777) != 0)
            fail("cannot create", to);
        setTimes(to, status, 0);
    } else {
        throw CopyFailure { "cannot copy the device or socket " + from };
    }
}

bool isInside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

} // namespace

bool copyItem(const QString& from, const QString& to, QString* error)
{
    const QString canonicalSource = QFileInfo(from).canonicalFilePath();
    const QString canonicalTargetFolder = QFileInfo(QFileInfo(to).absolutePath()).canonicalFilePath();
    if (!canonicalSource.isEmpty() && QFileInfo(from).isDir() && !QFileInfo(from).isSymLink()
        && isInside(canonicalTargetFolder, canonicalSource)) {
        if (error)
            *error = QStringLiteral("cannot copy %1 into itself").arg(from);
        return false;
    }
    try {
        copyEntry(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString());
        return true;
    } catch (const CopyFailure& failure) {
        if (error)
            *error = QString::fromStdString(failure.what);
        return false;
    }
}
