// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageFile.h"

#include "RunFailure.h"
#include "RunOutcome.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

// Never replaces an existing file. Falls back to link+unlink where the file system lacks the rename flag.
int renameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return -1;
    if (::link(from, to) != 0)
        return -1;
    ::unlink(from);
    return 0;
}

} // namespace

ImageFile::ImageFile(std::string imagePath, bool replace)
    : m_imagePath(std::move(imagePath))
    , m_folder(folderOf(m_imagePath))
    , m_replace(replace)
{
    struct stat st;
    if (!m_replace && ::lstat(m_imagePath.c_str(), &st) == 0)
        throw RunFailure("\"" + m_imagePath + "\" already exists (use -ov to replace it)");
    std::string pattern = m_folder + "/.velbrook-hdiutil-XXXXXX";
    m_fd = createTemporaryImage(pattern);
    if (m_fd < 0)
        throw RunFailure(systemError("cannot write in", m_folder, errno));
    m_temporaryPath = pattern;
}

ImageFile::~ImageFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void ImageFile::write(const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
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

void ImageFile::publish()
{
    // mkostemp creates the file private; the image gets the permissions a plain new file would.
    if (::fchmod(m_fd, creationMode()) != 0)
        throw RunFailure(systemError("cannot set permissions of", m_imagePath, errno));
    // Without this a crash soon after exit 0 could leave a complete-looking name over incomplete data.
    // It costs the time to flush the image, which the kernel would spend soon afterwards anyway.
    if (::fsync(m_fd) != 0)
        throw RunFailure(systemError("cannot write", m_imagePath, errno));
    if (::close(m_fd) != 0) {
        m_fd = -1;
        throw RunFailure(systemError("cannot write", m_imagePath, errno));
    }
    m_fd = -1;

    const auto error = commitImage([this]() -> std::optional<std::string> {
        const int result = m_replace ? ::rename(m_temporaryPath.c_str(), m_imagePath.c_str())
                                     : renameNoReplace(m_temporaryPath.c_str(), m_imagePath.c_str());
        if (result == 0)
            return std::nullopt;
        if (errno == EEXIST)
            return "\"" + m_imagePath + "\" appeared while imaging (use -ov to replace it)";
        return systemError("cannot move the image to", m_imagePath, errno);
    });
    if (error)
        throw RunFailure(*error);

    // Best effort: the image is already complete under its name.
    const int folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

} // namespace hdiutil
