// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileStream.h"
#include "LibIsofs.h"

#include <functional>
#include <string>
#include <sys/stat.h>

namespace hdiutil {

// Adds everything below the folder `sourcePath` (absolute) to the image root, keeping names, permissions,
// owners, times, symbolic links and special files as they are. Hidden entries are included; symbolic links
// are never followed. Regular files become streams of `files`, whose root must be `sourcePath`; those for which
// `leaveOut` is true are skipped. Throws RunFailure.
void addSourceTree(IsoImage* image, SourceFiles& files, const std::string& sourcePath,
    const std::function<bool(const struct stat&)>& leaveOut);

} // namespace hdiutil
