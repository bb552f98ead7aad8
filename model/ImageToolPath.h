// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The absolute path of the disk image tool the export runs; fixed per platform, never looked up on PATH.
[[nodiscard]] QString defaultImageToolPath();

// Whether the tool's overwrite option keeps the old image until the new one is complete. Ours does; the system's
// tool on macOS removes the old image first, so there a replacing export writes beside it and renames over it.
#ifdef Q_OS_MACOS
constexpr bool imageToolReplacesWhole = false;
#else
constexpr bool imageToolReplacesWhole = true;
#endif

// Whether the tool images one item where it lies (ours, with -item), or only a folder whose contents become the
// image, so that the item must be staged in a folder of its own first (the system's tool on macOS).
#ifdef Q_OS_MACOS
constexpr bool imageToolTakesItem = false;
#else
constexpr bool imageToolTakesItem = true;
#endif

#ifndef Q_OS_MACOS
// The tool for an app whose executable is in `appDir`: the installed tool under the libexec folder if there is
// one, otherwise the tool beside the app, as in a build tree.
[[nodiscard]] QString imageToolPathForAppDir(const QString& appDir);
#endif
