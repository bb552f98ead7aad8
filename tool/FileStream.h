// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LibIsofs.h"

#include <string>
#include <sys/stat.h>

namespace hdiutil {

// A libisofs stream over one local file, read in large blocks rather than the 2 KiB libisofs asks for.
// Any problem (cannot open, read error, size or mtime changed since the scan, by the end of the read) is noted
// with noteFailure(), so the run fails instead of the image holding anything but the file as scanned.
// Returns a new stream holding one reference, or nullptr when out of memory.
IsoStream* newFileStream(std::string path, const struct stat& st);

} // namespace hdiutil
