// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageFile.h"

#include "RunFailure.h"
#include "RunOutcome.h"
#include "common/ImageToolContract.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/statvfs.h>
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

} // namespace

ImageFile::ImageFile(std::string imagePath, bool replace)
    : m_imagePath(std::move(imagePath))
    , m_folderPath(folderOf(m_imagePath))
    , m_name(m_imagePath.substr(m_imagePath.rfind('/') + 1))
    , m_passingStem(imagetool::passingStem(m_name, ::getpid()))
    , m_partName(m_passingStem + std::string(imagetool::partEnding))
    , m_replace(replace)
{
    const std::string& folder = m_folderPath;
    m_folder.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_folder.valid())
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write in", folder, errno);
    struct stat st;
    if (::fstatat(m_folder.get(), m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!m_replace)
            throw RunFailure("\"" + m_imagePath + "\" already exists (use -ov to replace it)");
        // Found now, not once the whole image is written and the rename is refused.
        if (S_ISDIR(st.st_mode))
            throw RunFailure("\"" + m_imagePath + "\" is a folder, which an image cannot replace");
        m_replaced = st;
    }
    if (::fstat(m_folder.get(), &m_folderStat) != 0)
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write in", folder, errno);
    m_file.reset(::openat(m_folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!m_file.valid() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        m_named = true;
        m_file.reset(createTemporaryImage(m_folder.get(), m_partName));
    }
    if (!m_file.valid() || ::fstat(m_file.get(), &m_fileStat) != 0)
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write in", folder, errno);
    // How the image will be published is settled now, so one that could not be is never written.
    if (m_named && !m_replace)
        m_renameRefusesToReplace = renameCanRefuseToReplace();
    m_volume = describeVolume(m_folder.get());
    setDirect(true);
}

void ImageFile::setDirect(bool direct)
{
    const int flags = ::fcntl(m_file.get(), F_GETFL);
    // Refused (EINVAL) by file systems without direct writes, such as ramfs and some FUSE and network ones.
    m_direct
        = flags >= 0 && ::fcntl(m_file.get(), F_SETFL, direct ? flags | O_DIRECT : flags & ~O_DIRECT) == 0 && direct;
}

bool ImageFile::renameCanRefuseToReplace() const
{
    // FUSE and network file systems often refuse the flag itself, with EINVAL, whatever the names.
    const int folder = m_folder.get();
    const std::string probe = m_passingStem + std::string(imagetool::probeEnding);
    bool refuses = false;
    int error = 0;
    uninterrupted([&] {
        // A probe name left by a dead process of our id would answer EEXIST before the file system is asked.
        ::unlinkat(folder, probe.c_str(), 0);
        if (::renameat2(folder, m_partName.c_str(), folder, probe.c_str(), RENAME_NOREPLACE) != 0)
            return;
        refuses = true;
        if (::renameat2(folder, probe.c_str(), folder, m_partName.c_str(), RENAME_NOREPLACE) != 0) {
            error = errno;
            ::unlinkat(folder, probe.c_str(), 0);
        }
    });
    if (error != 0)
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write in", m_folderPath, error);
    return refuses;
}

void ImageFile::reserve(uint64_t size)
{
    const std::string needs = m_name + " needs " + sizeForPeople(size) + " but " + m_folderPath;
    if (m_volume.largestFile && size > *m_volume.largestFile) {
        throw RunFailure(
            needs + " holds files up to " + sizeForPeople(*m_volume.largestFile) + " (" + m_volume.kind + ")",
            { .kind = imagetool::FailureKind::FileTooLarge,
                .path = m_folderPath,
                .needed = size,
                .limit = *m_volume.largestFile });
    }
    // Where the file system can reserve space, that answers both questions at once, and a disk that fills
    // meanwhile cannot end the run halfway.
    if (::fallocate(m_file.get(), 0, 0, static_cast<off_t>(size)) == 0)
        return;
    const int error = errno;
    if (error == EFBIG)
        throw RunFailure("image exceeds the file size limit (" + m_imagePath + ")");
    struct statvfs space { };
    // Some FUSE file systems report no size at all; then only the writes can tell.
    if (::fstatvfs(m_folder.get(), &space) != 0 || space.f_blocks == 0)
        return;
    const uint64_t available = uint64_t { space.f_bavail } * space.f_frsize;
    if (error == ENOSPC || size > available)
        throw RunFailure(needs + " has " + sizeForPeople(available) + " free",
            { .kind = imagetool::FailureKind::NoRoom, .path = m_folderPath, .needed = size, .limit = available });
}

bool ImageFile::isOwnFile(const struct stat& st, const struct stat& folder, std::string_view name) const
{
    // The image it replaces only where it is that image: another link to the same file is the user's own.
    return sameFile(st, m_fileStat)
        || (m_replaced && sameFile(st, *m_replaced) && sameFile(folder, m_folderStat) && name == m_name);
}

void ImageFile::write(const unsigned char* data, size_t size)
{
    // The unaligned end of the image goes through the page cache, and the fsync before naming takes it too.
    if (m_direct && (size % directAlignment != 0 || reinterpret_cast<uintptr_t>(data) % directAlignment != 0))
        setDirect(false);
    while (size > 0) {
        const ssize_t n = ::write(m_file.get(), data, size);
        if (n < 0 && errno == EINTR)
            continue;
        // Some file systems take the flag and refuse the writes, or want a larger alignment.
        if (n < 0 && errno == EINVAL && m_direct) {
            setDirect(false);
            continue;
        }
        if (n < 0) {
            const int error = errno;
            if (error == EFBIG)
                throw RunFailure("image exceeds the file size limit (" + m_imagePath + ")");
            throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write", m_imagePath, error);
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

int ImageFile::renameOverClaim() const
{
    // An exclusive create takes IMAGE's name without touching a file that is there, and the finished image is
    // renamed over that empty claim at once. Runs uninterrupted, so a failure never finds the claim alone.
    const int folder = m_folder.get();
    const int claim
        = ::openat(folder, m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, creationMode());
    if (claim < 0)
        return -1;
    // Closed first: FUSE keeps a file renamed over while open under a hidden name of its own.
    ::close(claim);
    if (::renameat(folder, m_partName.c_str(), folder, m_name.c_str()) == 0)
        return 0;
    const int error = errno;
    ::unlinkat(folder, m_name.c_str(), 0);
    errno = error;
    return -1;
}

std::optional<std::string> ImageFile::link()
{
    const int folder = m_folder.get();
    int result = 0;
    if (m_named && m_replace) {
        result = ::renameat(folder, m_partName.c_str(), folder, m_name.c_str());
    } else if (m_named && m_renameRefusesToReplace) {
        result = ::renameat2(folder, m_partName.c_str(), folder, m_name.c_str(), RENAME_NOREPLACE);
    } else if (m_named) {
        result = renameOverClaim();
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
    // Where the file system has no permission bits, refusing them loses nothing.
    if (::fchmod(m_file.get(), creationMode()) != 0 && m_volume.storesPermissions)
        throw RunFailure(systemError("cannot set permissions of", m_imagePath, errno));
    // Without this a crash soon after exit 0 could leave a complete-looking name over incomplete data.
    // It costs the time to flush the image, which the kernel would spend soon afterwards anyway.
    if (::fsync(m_file.get()) != 0)
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write", m_imagePath, errno);
    // An unnamed file must stay open until it is linked.
    if (m_named && ::close(m_file.release()) != 0)
        throw systemFailure(imagetool::FailureKind::CannotWrite, "cannot write", m_imagePath, errno);

    const auto error = commitImage([this] { return link(); });
    if (error)
        throw RunFailure(*error);
    m_file.reset();
    // Best effort: the image is already complete under its name.
    ::fsync(m_folder.get());
}

} // namespace hdiutil
