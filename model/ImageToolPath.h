// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The absolute path of the disk image tool the export runs; fixed per platform, never looked up on PATH.
[[nodiscard]] QString defaultImageToolPath();
