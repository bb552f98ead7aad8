// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The absolute path of the disk image tool the export runs; fixed per platform, never looked up on PATH.
[[nodiscard]] QString defaultImageToolPath();

#ifndef Q_OS_MACOS
// The tool for an app whose executable is in `appDir`: the installed tool under the libexec folder if there is
// one, otherwise the tool beside the app, as in a build tree.
[[nodiscard]] QString imageToolPathForAppDir(const QString& appDir);
#endif
