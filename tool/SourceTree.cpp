// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceTree.h"

#include "RunFailure.h"
#include "SourceFiles.h"
#include "UntouchedOpen.h"
#include "common/ChildPath.h"
#include "common/UniqueFd.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace hdiutil {

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void setTimes(IsoNode* node, time_t modified, time_t accessed, time_t changed, time_t latest)
{
    iso_node_set_mtime(node, std::min(modified, latest));
    iso_node_set_atime(node, std::min(accessed, latest));
    iso_node_set_ctime(node, std::min(changed, latest));
}

void copyAttributes(IsoNode* node, const struct stat& st, time_t latest)
{
    iso_node_set_permissions(node, st.st_mode & 07777);
    iso_node_set_uid(node, st.st_uid);
    iso_node_set_gid(node, st.st_gid);
    setTimes(node, st.st_mtime, st.st_atime, st.st_ctime, latest);
}

void check(int result, const std::string& path)
{
    if (result < 0)
        throw RunFailure(isofsError("cannot add \"" + path + "\"", result));
}

std::vector<std::string> entryNames(int dirFd, const std::string& path)
{
    const int readFd = ::dup(dirFd);
    DIR* dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir) {
        const int error = errno;
        if (readFd >= 0)
            ::close(readFd);
        throw systemFailure(imagetool::FailureKind::Unreadable, "cannot list", path, error);
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw systemFailure(imagetool::FailureKind::Unreadable, "cannot list", path, error);
    // libisofs keeps children sorted and looks for each new name from the front of the list: adding them
    // in descending order makes every insert immediate instead of a scan of the whole folder.
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

std::string linkTarget(int dirFd, const std::string& name, const std::string& path, off_t sizeHint)
{
    std::string target(static_cast<size_t>(std::max<off_t>(sizeHint, 64)) + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlinkat(dirFd, name.c_str(), target.data(), target.size());
        if (n < 0)
            throw systemFailure(imagetool::FailureKind::Unreadable, "cannot read link", path, errno);
        if (static_cast<size_t>(n) < target.size()) {
            target.resize(static_cast<size_t>(n));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

void addFile(IsoImage* image, SourceFiles& files, IsoDir* parent, uint32_t folder, const std::string& name,
    const struct stat& st, const std::string& path, time_t latest)
{
    IsoStream* stream = files.newStream(folder, st);
    if (!stream)
        throw RunFailure("out of memory");
    IsoFile* file = nullptr;
    check(iso_image_add_new_file(image, parent, name.c_str(), stream, &file), path);
    auto* node = reinterpret_cast<IsoNode*>(file);
    SourceFiles::setNode(stream, node);
    copyAttributes(node, st, latest);
}

// Found from the walk, before anything is written: past the limit, a path table numbers parents wrongly, and a
// reader that follows it (as Windows does) finds the disc corrupt.
void refuseTooManyFolders(uint64_t folders, const std::string& path)
{
    if (folders <= imagetool::mostFolders)
        return;
    const auto grouped = [](uint64_t number) {
        std::array<char, 32> text {};
        std::snprintf(text.data(), text.size(), "%'llu", static_cast<unsigned long long>(number));
        return std::string(text.data());
    };
    throw RunFailure("\"" + path + "\" has " + grouped(folders) + " folders; an ISO 9660 image holds at most "
            + grouped(imagetool::mostFolders),
        { .kind = imagetool::FailureKind::TooManyFolders,
            .path = path,
            .needed = folders,
            .limit = imagetool::mostFolders });
}

UniqueFd openFolder(const std::string& path, struct stat& st)
{
    UniqueFd fd(openUntouched(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        throw systemFailure(imagetool::FailureKind::Unreadable, "cannot open folder", path, errno);
    if (::fstat(fd.get(), &st) != 0)
        throw systemFailure(imagetool::FailureKind::Unreadable, "cannot read", path, errno);
    return fd;
}

// Holds the descriptor of the folder being listed and no other, whatever the depth: a parent's is closed while
// its subfolder is walked and found again through "..".
class TreeWalk {
public:
    TreeWalk(IsoImage* image, SourceFiles& files, const WalkRules& rules)
        : m_image(image)
        , m_files(files)
        , m_rules(rules)
    { }

    void addChildren(IsoDir* dir, uint32_t folder, UniqueFd& dirFd, const struct stat& dirSt, const std::string& path)
    {
        for (const std::string& name : entryNames(dirFd.get(), path))
            addEntry(dir, folder, dirFd, dirSt, name, childPath(path, name));
    }

private:
    void addEntry(IsoDir* parent, uint32_t parentFolder, UniqueFd& parentFd, const struct stat& parentSt,
        const std::string& name, const std::string& path)
    {
        struct stat st;
        if (::fstatat(parentFd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            throw systemFailure(imagetool::FailureKind::Unreadable, "cannot read", path, errno);

        if (S_ISDIR(st.st_mode)) {
            UniqueFd fd(openUntouched(parentFd.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!fd.valid())
                throw systemFailure(imagetool::FailureKind::Unreadable, "cannot open folder", path, errno);
            expectSame(fd.get(), st, path);
            IsoDir* dir = nullptr;
            check(iso_image_add_new_dir(m_image, parent, name.c_str(), &dir), path);
            copyAttributes(reinterpret_cast<IsoNode*>(dir), st, m_rules.latestTime);
            parentFd.reset();
            addChildren(dir, m_files.folders().add(parentFolder, name), fd, st, path);
            parentFd.reset(::openat(fd.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!parentFd.valid())
                throw systemFailure(imagetool::FailureKind::Unreadable, "cannot open folder", path + "/..", errno);
            expectSame(parentFd.get(), parentSt, path + "/..");
            return;
        }
        if (S_ISREG(st.st_mode)) {
            if (!m_rules.leaveOut(st, parentSt, name))
                addFile(m_image, m_files, parent, parentFolder, name, st, path, m_rules.latestTime);
            return;
        }
        IsoNode* node = nullptr;
        if (S_ISLNK(st.st_mode)) {
            const std::string target = linkTarget(parentFd.get(), name, path, st.st_size);
            IsoSymlink* link = nullptr;
            check(iso_image_add_new_symlink(m_image, parent, name.c_str(), target.c_str(), &link), path);
            node = reinterpret_cast<IsoNode*>(link);
        } else {
            IsoSpecial* special = nullptr;
            check(iso_image_add_new_special(m_image, parent, name.c_str(), st.st_mode, st.st_rdev, &special), path);
            node = reinterpret_cast<IsoNode*>(special);
        }
        copyAttributes(node, st, m_rules.latestTime);
    }

    // A folder moved or swapped mid-walk would put the wrong entries under a name.
    static void expectSame(int fd, const struct stat& expected, const std::string& path)
    {
        struct stat now;
        if (::fstat(fd, &now) != 0)
            throw systemFailure(imagetool::FailureKind::Unreadable, "cannot read", path, errno);
        if (!sameFile(now, expected))
            throw RunFailure("changed while imaging (folder moved) \"" + path + "\"",
                { .kind = imagetool::FailureKind::Changed, .path = path });
    }

    IsoImage* m_image;
    SourceFiles& m_files;
    const WalkRules& m_rules;
};

} // namespace

void addSourceTree(IsoImage* image, SourceFiles& files, const std::string& sourcePath, const WalkRules& rules)
{
    struct stat st;
    UniqueFd fd = openFolder(sourcePath, st);
    IsoDir* root = iso_image_get_root(image);
    copyAttributes(reinterpret_cast<IsoNode*>(root), st, rules.latestTime);
    TreeWalk(image, files, rules)
        .addChildren(root, SourceFolders::root, fd, st, sourcePath == "/" ? std::string() : sourcePath);
    refuseTooManyFolders(files.folders().count(), sourcePath);
    files.orderForWriting();
}

SourceRoot sourceRoot(const std::string& sourcePath, bool item)
{
    struct stat st;
    if (!item || ::stat(sourcePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return { sourcePath, {} };
    const size_t slash = sourcePath.rfind('/');
    return { slash == 0 ? std::string("/") : sourcePath.substr(0, slash), sourcePath.substr(slash + 1) };
}

void addSourceItem(
    IsoImage* image, SourceFiles& files, const std::string& itemPath, const std::string& name, const WalkRules& rules)
{
    // The folder the item would be put in to image it, made now by this user.
    IsoNode* root = reinterpret_cast<IsoNode*>(iso_image_get_root(image));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    time_t now = 0;
    iso_nowtime(&now, 0);
    iso_node_set_permissions(root, 0777 & ~mask);
    iso_node_set_uid(root, ::getuid());
    iso_node_set_gid(root, ::getgid());
    setTimes(root, now, now, now, rules.latestTime);

    struct stat st;
    if (files.rootFileName().empty()) {
        UniqueFd fd = openFolder(itemPath, st);
        IsoDir* dir = nullptr;
        check(iso_image_add_new_dir(image, iso_image_get_root(image), name.c_str(), &dir), itemPath);
        copyAttributes(reinterpret_cast<IsoNode*>(dir), st, rules.latestTime);
        TreeWalk(image, files, rules).addChildren(dir, SourceFolders::root, fd, st, itemPath);
        refuseTooManyFolders(files.folders().count() + 1, itemPath); // and the image's root, which holds the item
    } else {
        if (::stat(itemPath.c_str(), &st) != 0)
            throw systemFailure(imagetool::FailureKind::Unreadable, "cannot read", itemPath, errno);
        if (!S_ISREG(st.st_mode))
            throw RunFailure("changed while imaging (no longer a file) \"" + itemPath + "\"",
                { .kind = imagetool::FailureKind::Changed, .path = itemPath });
        struct stat folder;
        const int folderFd = files.folders().open(SourceFolders::root);
        if (folderFd < 0 || ::fstat(folderFd, &folder) != 0)
            throw systemFailure(imagetool::FailureKind::Unreadable, "cannot open folder", itemPath + "/..", errno);
        if (!rules.leaveOut(st, folder, files.rootFileName()))
            addFile(image, files, iso_image_get_root(image), SourceFolders::root, name, st, itemPath, rules.latestTime);
    }
    files.orderForWriting();
}

} // namespace hdiutil
