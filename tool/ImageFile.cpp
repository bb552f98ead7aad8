// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageFile.h"

#include "RunFailure.h"
#include "RunOutcome.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace hdiutil {

namespace {

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Never replaces an existing file. Falls back to link+unlink where the file system lacks the rename flag.
int renameNoReplace(int folderFd, const char* from, const char* to)
{
    if (::renameat2(folderFd, from, folderFd, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return -1;
    if (::linkat(folderFd, from, folderFd, to, 0) != 0)
        return -1;
    ::unlinkat(folderFd, from, 0);
    return 0;
}

} // namespace

ImageFile::ImageFile(std::string imagePath, bool replace)
    : m_imagePath(std::move(imagePath))
    , m_name(m_imagePath.substr(m_imagePath.rfind('/') + 1))
    , m_partName("." + m_name + "." + std::to_string(::getpid()) + ".part")
    , m_replace(replace)
{
    const std::string folder = folderOf(m_imagePath);
    m_folder.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_folder.valid())
        throw RunFailure(systemError("cannot write in", folder, errno));
    struct stat st;
    if (::fstatat(m_folder.get(), m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!m_replace)
            throw RunFailure("\"" + m_imagePath + "\" already exists (use -ov to replace it)");
        m_replaced = st;
    }
    m_file.reset(::openat(m_folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!m_file.valid() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        m_named = true;
        m_file.reset(createTemporaryImage(m_folder.get(), m_partName));
    }
    if (!m_file.valid() || ::fstat(m_file.get(), &m_fileStat) != 0)
        throw RunFailure(systemError("cannot write in", folder, errno));
}

bool ImageFile::isOwnFile(const struct stat& st) const
{
    return sameFile(st, m_fileStat) || (m_replaced && sameFile(st, *m_replaced));
}

void ImageFile::write(const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_file.get(), data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            if (error == EFBIG)
                throw RunFailure("image exceeds the file size limit (" + m_imagePath + ")");
            throw RunFailure(systemError("cannot write", m_imagePath, error));
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

int ImageFile::linkUnnamed(const std::string& name) const
{
    // AT_EMPTY_PATH would need privileges; the /proc link gives the same without them.
    const std::string self = "/proc/self/fd/" + std::to_string(m_file.get());
    if (::linkat(AT_FDCWD, self.c_str(), m_folder.get(), name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    const int error = errno;
    if (error == ENOENT && ::linkat(m_file.get(), "", m_folder.get(), name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    errno = error;
    return -1;
}

std::optional<std::string> ImageFile::link()
{
    const int folder = m_folder.get();
    int result = 0;
    if (m_named) {
        result = m_replace ? ::renameat(folder, m_partName.c_str(), folder, m_name.c_str())
                           : renameNoReplace(folder, m_partName.c_str(), m_name.c_str());
    } else if (!m_replace) {
        result = linkUnnamed(m_name);
    } else {
        // A link never replaces a name, so the image takes a passing name (one a caller cleans up after a crash)
        // and is renamed over IMAGE.
        ::unlinkat(folder, m_partName.c_str(), 0);
        result = linkUnnamed(m_partName);
        if (result == 0 && ::renameat(folder, m_partName.c_str(), folder, m_name.c_str()) != 0) {
            const int error = errno;
            ::unlinkat(folder, m_partName.c_str(), 0);
            errno = error;
            result = -1;
        }
    }
    if (result == 0)
        return std::nullopt;
    if (errno == EEXIST)
        return "\"" + m_imagePath + "\" appeared while imaging (use -ov to replace it)";
    return systemError("cannot move the image to", m_imagePath, errno);
}

void ImageFile::publish()
{
    // The file was created private; the image gets the permissions a plain new file would.
    if (::fchmod(m_file.get(), creationMode()) != 0)
        throw RunFailure(systemError("cannot set permissions of", m_imagePath, errno));
    // Without this a crash soon after exit 0 could leave a complete-looking name over incomplete data.
    // It costs the time to flush the image, which the kernel would spend soon afterwards anyway.
    if (::fsync(m_file.get()) != 0)
        throw RunFailure(systemError("cannot write", m_imagePath, errno));
    // An unnamed file must stay open until it is linked.
    if (m_named && ::close(m_file.release()) != 0)
        throw RunFailure(systemError("cannot write", m_imagePath, errno));

    const auto error = commitImage([this] { return link(); });
    if (error)
        throw RunFailure(*error);
    m_file.reset();
    // Best effort: the image is already complete under its name.
    ::fsync(m_folder.get());
}

} // namespace hdiutil
