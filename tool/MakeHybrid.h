// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"

namespace hdiutil {

// Writes the image described by `command`; `command.source` must be the absolute, resolved path of a folder.
// Returns only when the complete image is at its final path. Throws RunFailure.
void makeHybrid(const MakeHybrid& command);

} // namespace hdiutil
