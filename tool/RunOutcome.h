// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunFailure.h"
#include "common/ImageToolContract.h"

#include <functional>
#include <optional>
#include <string>

namespace hdiutil {

// The run ends exactly once: either the image is committed, or one failure line is printed, the temporary
// image is removed and the process exits. Any thread may end it; the first one wins.

// Remembers the first failure seen inside libisofs callbacks, which cannot end the run themselves.
void noteFailure(const RunFailure& failure);
std::optional<RunFailure> notedFailure();

// Creates the file `name` in the folder `folderFd` for writing and registers it for removal if the run fails;
// both happen before any failure can be reported, so the file cannot be left behind. A file of that name left
// by an earlier run is replaced. Returns openat's result.
int createTemporaryImage(int folderFd, const std::string& name);

// Removes the temporary image, prints the failure line and exits.
// Returns only if the image was already committed (a signal that came too late to matter).
void failRun(const RunFailure& failure, int status = imagetool::failedStatus);

// Runs `step` so that no failure can interleave with it, for steps that move the temporary image to another
// name and back.
void uninterrupted(const std::function<void()>& step);

// Runs `publish` (the final rename) so that no failure can interleave with it. `publish` returns an
// error message or nothing.
std::optional<std::string> commitImage(const std::function<std::optional<std::string>()>& publish);

// Blocks SIGINT, SIGTERM and SIGHUP in every thread and ends the run from a watcher thread when one arrives.
// Also ignores SIGXFSZ (so a file-size limit shows as a write error) and SIGPIPE. Call before starting threads.
void watchSignals();

} // namespace hdiutil
