// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"

namespace hdiutil {

// Writes the image described by `command`; `command.source` must be the absolute, resolved path of a folder or,
// with -item, of a file or folder, which the image then holds as `itemName`. Returns only when the complete image is
// at its final path. Throws RunFailure.
void makeHybrid(const MakeHybrid& command, const std::string& itemName);

} // namespace hdiutil
