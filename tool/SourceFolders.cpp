// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceFolders.h"

#include "common/ChildPath.h"

#include <algorithm>
#include <fcntl.h>

namespace hdiutil {

SourceFolders::SourceFolders(const std::string& rootPath)
{
    // Kept as "" for "/", so that every path below it is the root's and "/" and a name.
    m_folders.push_back({ root, rootPath == "/" ? std::string() : rootPath });
}

uint32_t SourceFolders::add(uint32_t parent, std::string name)
{
    m_folders.push_back({ parent, std::move(name) });
    return static_cast<uint32_t>(m_folders.size() - 1);
}

std::string SourceFolders::path(uint32_t folder) const
{
    if (folder == root)
        return m_folders[root].name;
    const Folder& f = m_folders[folder];
    return childPath(path(f.parent), f.name);
}

int SourceFolders::open(uint32_t folder)
{
    ++m_uses;
    for (Held& held : m_held) {
        if (held.fd.valid() && held.folder == folder) {
            held.lastUse = m_uses;
            return held.fd.get();
        }
    }
    int fd = -1;
    if (folder == root) {
        const std::string& rootPath = m_folders[root].name;
        // Only to open what is in it: a file item's folder may be one the user can search but not list.
        fd = ::open(rootPath.empty() ? "/" : rootPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    } else {
        const int parent = open(m_folders[folder].parent);
        if (parent < 0)
            return -1;
        fd = ::openat(parent, m_folders[folder].name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0)
        return -1;
    Held& oldest = *std::min_element(
        m_held.begin(), m_held.end(), [](const Held& a, const Held& b) { return a.lastUse < b.lastUse; });
    oldest.folder = folder;
    oldest.lastUse = m_uses;
    oldest.fd.reset(fd);
    return fd;
}

} // namespace hdiutil
