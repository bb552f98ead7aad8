// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TreeRemoval.h"

#include "common/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace {

// One folder on the way down: the subfolders still to remove, by name only, so depth costs memory, not
// descriptors.
struct Level {
    std::string name;
    std::vector<std::string> subfolders;
};

UniqueFd openFolder(int parentFd, const char* name)
{
    struct stat status { };
    if (::fstatat(parentFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0)
        std::ignore = ::fchmodat(parentFd, name, (status.st_mode & 07777) | S_IRWXU, 0); // the open says why
    return UniqueFd(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool isFolder(int fd, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat status { };
    return ::fstatat(fd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// Unlinks everything in the folder but its subfolders, which it returns.
std::vector<std::string> removeFilesIn(int fd, bool& removedAll)
{
    std::vector<std::string> subfolders;
    const int listFd = ::dup(fd);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        removedAll = false;
        return subfolders;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (isFolder(fd, *entry))
            subfolders.emplace_back(entry->d_name);
        else if (::unlinkat(fd, entry->d_name, 0) != 0 && errno != ENOENT)
            removedAll = false;
    }
    ::closedir(dir);
    return subfolders;
}

} // namespace

bool removeTree(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string parentPath = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const UniqueFd parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid())
        return errno == ENOENT;

    struct stat status { };
    if (::fstatat(parent.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(status.st_mode))
        return ::unlinkat(parent.get(), name.c_str(), 0) == 0 || errno == ENOENT;

    bool removedAll = true;
    UniqueFd current = openFolder(parent.get(), name.c_str());
    if (!current.valid())
        return false;
    std::vector<Level> levels;
    levels.push_back({ name, removeFilesIn(current.get(), removedAll) });
    while (!levels.empty()) {
        Level& level = levels.back();
        if (!level.subfolders.empty()) {
            const std::string child = std::move(level.subfolders.back());
            level.subfolders.pop_back();
            UniqueFd childFd = openFolder(current.get(), child.c_str());
            if (!childFd.valid()) {
                removedAll = false;
                continue;
            }
            current = std::move(childFd);
            levels.push_back({ child, removeFilesIn(current.get(), removedAll) });
            continue;
        }
        const std::string emptied = std::move(level.name);
        levels.pop_back();
        if (levels.empty()) {
            current.reset();
            return ::unlinkat(parent.get(), emptied.c_str(), AT_REMOVEDIR) == 0 && removedAll;
        }
        // The job folder is private, so nobody can move a folder under us while we climb back.
        UniqueFd up(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!up.valid())
            return false;
        current = std::move(up);
        if (::unlinkat(current.get(), emptied.c_str(), AT_REMOVEDIR) != 0)
            removedAll = false;
    }
    return removedAll;
}
