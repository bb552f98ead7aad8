// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/UniqueFd.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hdiutil {

// The scanned folders, each kept as its parent and its name rather than a whole path, and a few of them held
// open so that files are opened relative to their folder, without walking the path again.
class SourceFolders {
public:
    static constexpr uint32_t root = 0;

    explicit SourceFolders(const std::string& rootPath);

    [[nodiscard]] uint32_t add(uint32_t parent, std::string name);
    [[nodiscard]] std::string path(uint32_t folder) const;
    // The folders scanned, the walk's root among them.
    [[nodiscard]] size_t count() const { return m_folders.size(); }
    // A descriptor of `folder`, owned here and valid until the next call; -1 with errno set when it cannot be
    // opened.
    [[nodiscard]] int open(uint32_t folder);

private:
    struct Folder {
        uint32_t parent;
        std::string name;
    };
    struct Held {
        uint32_t folder = 0;
        uint64_t lastUse = 0;
        UniqueFd fd;
    };

    std::vector<Folder> m_folders;
    // Files are read in inode order, which keeps most of a folder's files together: a handful of folders held
    // open serve nearly every file, and stay well inside a small descriptor limit.
    std::array<Held, 6> m_held;
    uint64_t m_uses = 0;
};

} // namespace hdiutil
