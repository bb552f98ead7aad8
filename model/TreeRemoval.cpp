// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeRemoval.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool removeEntry(int parentFd, const char* name)
{
    struct stat status { };
    if (::fstatat(parentFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(status.st_mode))
        return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT;

    ::fchmodat(parentFd, name, (status.st_mode & 07777) | S_IRWXU, 0);
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool removedAll = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        removedAll = removeEntry(fd, entry->d_name) && removedAll;
    }
    ::closedir(dir);
    return ::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 && removedAll;
}
} // namespace

bool removeTree(const std::string& path)
{
    return removeEntry(AT_FDCWD, path.c_str());
}
