// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LibIsofs.h"

#include <functional>
#include <string>
#include <sys/stat.h>

namespace hdiutil {

// Adds everything below the folder `sourcePath` (absolute) to the image root, keeping names, permissions,
// owners, times, symbolic links and special files as they are. Hidden entries are included; symbolic links
// are never followed. Every regular file is opened once here so an unreadable one fails the run before any
// data is written. Regular files for which `leaveOut` is true are skipped. Throws RunFailure.
void addSourceTree(
    IsoImage* image, const std::string& sourcePath, const std::function<bool(const struct stat&)>& leaveOut);

} // namespace hdiutil
