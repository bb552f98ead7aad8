// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LibIsofs.h"
#include "SourceFiles.h"

#include <ctime>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace hdiutil {

// What a walk of the source leaves out, and the latest time it records.
struct WalkRules {
    // For a regular file with status `st`, named `name` in the folder with status `folder`.
    std::function<bool(const struct stat& st, const struct stat& folder, std::string_view name)> leaveOut;
    // Later times are recorded as this one, so that an image made later of the same tree is the same bytes.
    time_t latestTime = std::numeric_limits<time_t>::max();
};

// Adds everything below the folder `sourcePath` (absolute) to the image root, keeping names, permissions,
// owners, times, symbolic links and special files as they are. Hidden entries are included; symbolic links
// are never followed. Regular files become streams of `files`, whose root must be `sourcePath`; those that `rules`
// leave out are skipped. Throws RunFailure.
void addSourceTree(IsoImage* image, SourceFiles& files, const std::string& sourcePath, const WalkRules& rules);

// Where the files of a source are read from: the folder at the root of its walk and, for a file item, the file's
// name in that folder.
struct SourceRoot {
    std::string folder;
    std::string fileName;
};
// For `sourcePath` (absolute, resolved), a folder or, as an item, a file or folder.
[[nodiscard]] SourceRoot sourceRoot(const std::string& sourcePath, bool item);

// Adds the file or folder `itemPath` (absolute, resolved) as the one entry of the image root, named `name`, as
// addSourceTree would add it from a new folder holding only it: the root gets a new folder's attributes, made now
// (libisofs's now). `files`' root must be sourceRoot(itemPath, true). Throws RunFailure.
void addSourceItem(
    IsoImage* image, SourceFiles& files, const std::string& itemPath, const std::string& name, const WalkRules& rules);

} // namespace hdiutil
